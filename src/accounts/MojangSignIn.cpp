// The interactive Mojang sign-in: the account name and password of the
// panel, authenticated at the Mojang service.

#include "accounts/MojangSignIn.h"

#include <vector>

#include "accounts/AccountCache.h"
#include "accounts/AccountPanel.h"
#include "accounts/MojangService.h"
#include "accounts/SignIn.h"
#include "accounts/SkinFetch.h"

namespace kestrel::accounts {

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

void CompleteMojangSignIn(SignInContext& ctx, std::stop_token stop, const AccountRecord& profile,
                          const std::string& account, const std::string& password) {
    toolkit::Surface& w = *ctx.main_window;
    w.SetValue("更新进度", 100);
    w.SetText("更新进度_文字", "即将完成...");
    ShowPlayerSkin(ctx, FetchSkin(SignInSession(ctx, stop), ctx.endpoints, profile.uuid));

    ctx.accounts.SignIn(profile, SignInState::kMojang);
    w.SetText("欢迎标题", "欢迎," + profile.name);
    StoreAccountCache(ctx, MojangCacheText(profile, account, password));

    for (const char* shown : {"启动游戏按钮", "设置按钮", "注销按钮", "用户头像", "欢迎标题"}) w.Show(shown);
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
    std::vector<AccountRecord> profiles;
    const std::string result = MojangAuthenticate(SignInSession(ctx, stop), ctx.endpoints, account, password, profiles);
    if (stop.stop_requested()) return;
    if (result != kMojangSuccess) {
        // A cached account stays in the cache, so the next start tries again.
        ShowFailure(ctx, kMojangFailure);
        RestoreMojangControls(ctx);
        return;
    }
    CompleteMojangSignIn(ctx, stop, profiles.front(), account, password);
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
    const char* refusal = nullptr;
    if (account.empty()) {
        refusal = "登录失败!\r\n错误代码: 未知的账户: 账号为空!";
    } else if (account.find('@') == std::string::npos) {
        refusal = "登录失败!\r\n错误代码: 未知的账户: 账号必须为邮箱格式!";
    } else if (password.empty()) {
        refusal = "登录失败!\r\n错误代码: 密码验证失败: 您必须首先要输入密码!!";
    }
    if (refusal) {
        ShowFailure(ctx, refusal);
        RestoreMojangControls(ctx);
        return;
    }

    if (!ctx.clock.Sleep(500, stop)) return;
    w.SetValue("更新进度", 50);
    w.SetText("更新进度_文字", "正在登录...");

    AuthenticateAndCompleteMojang(ctx, stop, account, password);
}

}  // namespace kestrel::accounts
