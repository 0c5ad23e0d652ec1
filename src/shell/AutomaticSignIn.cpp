// The start-up's sign-in of the remembered account: an offline account is
// restored, a Mojang account authenticated again with its stored name and
// password, a Microsoft (or Authlib) account refreshed and run through the
// Xbox Live chain (accounts::RefreshMicrosoftAccount), with the panel
// showing the outcome.

#include "accounts/AccountCache.h"
#include "accounts/TokenRefresh.h"
#include "shell/AccountPanel.h"
#include "shell/MojangSignIn.h"
#include "shell/SignIn.h"

namespace kestrel::shell {

namespace {

constexpr int kStepPercent = 95;

void AutomaticMojang(SignInContext& ctx, std::stop_token stop, const accounts::CachedAccount& cached,
                     const std::function<void(const std::string&, int)>& set_step) {
    toolkit::Surface& w = *ctx.main_window;
    w.SetText("登录方式", kMojangItem);
    // The panel shows the Mojang fields, so a failure leaves the player
    // where a second try can be made.
    LayOutAccountPanel(ctx);
    w.SetText("账号", cached.account);
    w.SetText("密码", cached.password);
    if (set_step) set_step("正在自动登录: Mojang Account...", kStepPercent);

    const std::string account = w.Text("账号");
    const std::string password = w.Text("密码");
    AuthenticateAndCompleteMojang(ctx, stop, account, password);
}

void AutomaticMicrosoft(SignInContext& ctx, std::stop_token stop, const accounts::CachedAccount& cached,
                        const std::function<void(const std::string&, int)>& set_step) {
    toolkit::Surface& w = *ctx.main_window;
    if (set_step) set_step("正在自动登录: Microsoft Account...", kStepPercent);
    const Result<accounts::AccountRecord> refreshed = accounts::RefreshMicrosoftAccount(
        accounts::SignInSession(ctx, stop), ctx.endpoints, ctx.oauth_client_id, ctx.accounts.Record().refresh_token);
    // Shutdown during the refresh is no refusal: the cache stays.
    if (stop.stop_requested()) return;
    if (!refreshed) {
        ShowFailure(ctx, kSignInFailed + refreshed.error());
        accounts::DeleteAccountCache(ctx.host.NativePath(ctx.account_cache_path));
        w.Hide("更新进度");
        w.Hide("更新进度_文字");
        w.Hide("微软登录_取消登录");
        return;
    }
    const accounts::AccountRecord& record = *refreshed;
    ctx.accounts.SetRecord(record);

    for (const char* hidden : {"登录按钮", "登录方式", "登录方式_标签标题"}) w.Hide(hidden);
    w.Show("欢迎标题");
    const std::string skin = accounts::FetchPlayerSkin(ctx, stop, record.uuid);
    ctx.accounts.SetTexts(accounts::LaunchTexts{record.name, record.uuid, record.access_token});
    ShowPlayerSkin(ctx, skin);
    w.SetText("欢迎标题", "欢迎," + record.name);
    for (const char* shown : {"启动游戏按钮", "设置按钮", "下载按钮", "注销按钮", "用户头像", "版本框"}) w.Show(shown);

    if (cached.account_type == accounts::kTypeMicrosoft) {
        ctx.accounts.SignIn(record, accounts::SignInState::kMicrosoft);
        ShowBadge(ctx, "badge-microsoft.png");
        accounts::StoreAccountCache(ctx, accounts::MicrosoftCacheText(record));
    } else if (cached.account_type == accounts::kTypeAuthlib) {
        ctx.accounts.SignIn(record, accounts::SignInState::kAuthlib);
        ShowBadge(ctx, "badge-authlib.png");
        accounts::StoreAccountCache(ctx, accounts::AuthlibCacheText(record));
    }
}

}  // namespace

void AutomaticSignIn(SignInContext& ctx, std::stop_token stop,
                     const std::function<void(const std::string&, int)>& set_step) {
    const accounts::CachedAccount cached = ctx.accounts.Cached();
    if (cached.account_type == accounts::kTypeOffline) {
        ctx.main_window->SetText("账号", cached.name);
        // The offline sign-in sets the state itself, and only when the name
        // is there: a cache without a name must not leave state 1 behind
        // with nobody signed in.
        OfflineSignIn(ctx, false);
    } else if (cached.account_type == accounts::kTypeMojang) {
        AutomaticMojang(ctx, stop, cached, set_step);
    } else {
        AutomaticMicrosoft(ctx, stop, cached, set_step);
    }
}

}  // namespace kestrel::shell
