// The interactive Mojang sign-in: the account name and password of the
// panel, authenticated at the Mojang service.

#include "shell/MojangSignIn.h"

#include "accounts/AccountCache.h"
#include "accounts/MojangAccount.h"
#include "accounts/PlayerName.h"
#include "shell/AccountPanel.h"
#include "shell/SignIn.h"

namespace kestrel::shell {

void RestoreMojangControls(SignInContext& ctx) {
    toolkit::Surface& w = *ctx.main_window;
    w.SetEnabled("登录按钮", true);
    w.Hide("更新进度");
    w.Hide("更新进度_文字");
    w.Move("Mojang登录_提示1", 3, 380);
    w.Show("Mojang登录_提示1");
    w.Move("Mojang登录_提示2", 174, 427);
    w.Show("Mojang登录_提示2");
}

void CompleteMojangSignIn(SignInContext& ctx, std::stop_token stop, const accounts::AccountRecord& profile,
                          const std::string& account, const std::string& password) {
    toolkit::Surface& w = *ctx.main_window;
    w.SetValue("更新进度", 100);
    w.SetText("更新进度_文字", "即将完成...");
    ShowPlayerSkin(ctx, accounts::FetchPlayerSkin(ctx, stop, profile.uuid));

    ctx.accounts.SignIn(profile, accounts::SignInState::kMojang);
    w.SetText("欢迎标题", "欢迎," + profile.name);
    accounts::StoreAccountCache(ctx, accounts::MojangCacheText(profile, account, password));

    for (const char* shown : {"启动游戏按钮", "设置按钮", "下载按钮", "注销按钮", "用户头像", "欢迎标题"}) w.Show(shown);
    ShowBadge(ctx, "badge-mojang.png");
    for (const char* hidden : {"更新进度", "更新进度_文字", "登录按钮", "账号", "密码", "账号_标签标题",
                               "密码_标签标题", "登录方式", "登录方式_标签标题"}) {
        w.Hide(hidden);
    }
    // Enabled again for the next sign-in after a sign-out.
    w.SetEnabled("登录按钮", true);
    w.Show("版本框");
}

void AuthenticateAndCompleteMojang(SignInContext& ctx, std::stop_token stop, const std::string& account,
                                   const std::string& password) {
    const Result<accounts::AccountRecord> profile =
        accounts::AuthenticateMojangAccount(accounts::SignInSession(ctx, stop), ctx.endpoints, account, password);
    if (stop.stop_requested()) return;
    if (!profile) {
        // A cached account stays in the cache, so the next start tries again.
        ShowFailure(ctx, kMojangFailure);
        RestoreMojangControls(ctx);
        return;
    }
    // A name the game would not take online, or one the cache could not
    // keep, is said as such: the account itself is fine.
    if (const std::string problem = accounts::OnlineNameProblem(profile->name); !problem.empty()) {
        ShowFailure(ctx, kSignInFailed + problem);
        RestoreMojangControls(ctx);
        return;
    }
    CompleteMojangSignIn(ctx, stop, *profile, account, password);
}

void MojangSignIn(SignInContext& ctx, std::stop_token stop) {
    toolkit::Surface& w = *ctx.main_window;
    w.Hide("Mojang登录_提示1");
    w.Hide("Mojang登录_提示2");
    w.Show("更新进度");
    w.Show("更新进度_文字");
    w.SetValue("更新进度", 20);
    w.SetText("更新进度_文字", "正在验证您的凭据是否有效...");

    const std::string account = w.Text("账号");
    const std::string password = w.Text("密码");
    const std::string refusal = accounts::MojangInputProblem(account, password);
    if (!refusal.empty()) {
        ShowFailure(ctx, kSignInFailed + refusal);
        RestoreMojangControls(ctx);
        return;
    }

    if (!ctx.clock.Sleep(500, stop)) return;
    w.SetValue("更新进度", 50);
    w.SetText("更新进度_文字", "正在登录...");

    AuthenticateAndCompleteMojang(ctx, stop, account, password);
}

}  // namespace kestrel::shell
