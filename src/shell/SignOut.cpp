// Signing out as the player sees it: the signed-out look, the sign-in button
// blocked for five seconds, and a Mojang account signed out at its server.
// The account values and the cache are accounts::SignOutAccount's.

#include "accounts/MojangService.h"
#include "shell/SignIn.h"

namespace kestrel::shell {

namespace {

constexpr std::int64_t kSignInBlockMs = 5000;

}  // namespace

void SignOut(SignInContext& ctx) {
    toolkit::Surface& w = *ctx.main_window;
    for (const char* hidden : {"启动游戏按钮", "在线图标", "设置按钮", "下载按钮", "注销按钮", "用户头像", "欢迎标题", "版本框"}) {
        w.Hide(hidden);
    }
    w.Show("登录按钮");
    accounts::SignOutAccount(ctx);
    LayOutAccountPanel(ctx);

    ctx.workers.Start([&ctx](std::stop_token stop) {
        toolkit::Surface& window = *ctx.main_window;
        window.Show("微软登录_取消登录_提示文本");
        window.SetEnabled("登录按钮", false);
        ctx.clock.Sleep(kSignInBlockMs, stop);
        window.SetEnabled("登录按钮", true);
        window.Hide("微软登录_取消登录_提示文本");
    });

    if (w.Text("登录方式") == kMojangItem) {
        const std::string account = w.Text("账号");
        const std::string password = w.Text("密码");
        ctx.workers.Start([&ctx, account, password](std::stop_token stop) {
            // The result is not shown: the player is signed out here either way.
            accounts::MojangSignOut(accounts::SignInSession(ctx, stop), ctx.endpoints, account, password);
        });
    }
}

}  // namespace kestrel::shell
