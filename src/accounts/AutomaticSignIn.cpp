// The start-up's sign-in of the remembered account: an offline account is
// restored, a Mojang account authenticated again with its stored name and
// password, a Microsoft (or Authlib) account refreshed and run through the
// Xbox Live chain.

#include <vector>

#include "accounts/AccountCache.h"
#include "accounts/AccountPanel.h"
#include "accounts/MicrosoftService.h"
#include "accounts/MojangService.h"
#include "accounts/MojangSignIn.h"
#include "accounts/SignIn.h"
#include "accounts/SkinFetch.h"
#include "accounts/XboxChain.h"

namespace kestrel::accounts {

namespace {

constexpr int kStepPercent = 95;

void AutomaticMojang(SignInContext& ctx, std::stop_token stop, const CachedAccount& cached,
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

void AutomaticMicrosoft(SignInContext& ctx, std::stop_token stop, const CachedAccount& cached,
                        const std::function<void(const std::string&, int)>& set_step) {
    toolkit::Surface& w = *ctx.main_window;
    if (set_step) set_step("正在自动登录: Microsoft Account...", kStepPercent);
    AccountRecord record = ctx.accounts.Record();
    const std::string result = RefreshMicrosoftAccount(ctx, stop, ctx.oauth_client_id, record.refresh_token, record);
    // Shutdown during the refresh is no refusal: the cache stays.
    if (stop.stop_requested()) return;
    if (!result.empty()) {
        ShowFailure(ctx, "登录失败!\r\n错误代码: " + result);
        DeleteAccountCache(ctx.host.NativePath(ctx.account_cache_path));
        w.Hide("更新进度");
        w.Hide("更新进度_文字");
        w.Hide("微软登录_取消登录");
        return;
    }
    ctx.accounts.SetRecord(record);

    for (const char* hidden : {"登录按钮", "登录方式", "登录方式_标签标题"}) w.Hide(hidden);
    w.Show("欢迎标题");
    const std::string skin = FetchSkin(SignInSession(ctx, stop), ctx.endpoints, record.uuid);
    ctx.accounts.SetTexts(LaunchTexts{record.name, record.uuid, record.access_token});
    ShowPlayerSkin(ctx, skin);
    w.SetText("欢迎标题", "欢迎," + record.name);
    for (const char* shown : {"启动游戏按钮", "设置按钮", "注销按钮", "用户头像", "版本框"}) w.Show(shown);

    if (cached.account_type == kTypeMicrosoft) {
        ctx.accounts.SignIn(record, SignInState::kMicrosoft);
        ShowBadge(ctx, "badge-microsoft.png");
        StoreAccountCache(ctx, MicrosoftCacheText(record));
    } else if (cached.account_type == kTypeAuthlib) {
        ctx.accounts.SignIn(record, SignInState::kAuthlib);
        ShowBadge(ctx, "badge-authlib.png");
        StoreAccountCache(ctx, AuthlibCacheText(record));
    }
}

}  // namespace

std::string RefreshMicrosoftAccount(SignInContext& ctx, std::stop_token stop, const std::string& client_id,
                                    const std::string& refresh_token, AccountRecord& record) {
    const net::HttpSession session = SignInSession(ctx, stop);
    const TokenAnswer answer = PostToken(session, ctx.endpoints, RefreshBody(client_id, refresh_token));
    if (!answer.parsed) return kMicrosoftNoAnswer;
    if (!answer.error.empty()) return answer.description.empty() ? answer.error : answer.description;
    if (answer.access_token.empty()) return kMicrosoftNoAnswer;
    // The service may keep the refresh token as it is and send none back;
    // the old one then stays valid and is what the cache must keep.
    const std::string new_refresh = answer.refresh_token.empty() ? refresh_token : answer.refresh_token;
    return RunXboxChain(session, ctx.endpoints, answer.access_token, new_refresh, nullptr, &record);
}

void AutomaticSignIn(SignInContext& ctx, std::stop_token stop,
                     const std::function<void(const std::string&, int)>& set_step) {
    const CachedAccount cached = ctx.accounts.Cached();
    if (cached.account_type == kTypeOffline) {
        ctx.main_window->SetText("账号", cached.name);
        // The offline sign-in sets the state itself, and only when the name
        // is there: a cache without a name must not leave state 1 behind
        // with nobody signed in.
        OfflineSignIn(ctx);
    } else if (cached.account_type == kTypeMojang) {
        AutomaticMojang(ctx, stop, cached, set_step);
    } else {
        AutomaticMicrosoft(ctx, stop, cached, set_step);
    }
}

}  // namespace kestrel::accounts
