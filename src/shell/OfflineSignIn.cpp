// The offline sign-in as the player sees it: the name typed into 账号, the
// built-in default skin, the signed-in look. The record itself is
// accounts::OfflineAccount's.

#include "accounts/AccountCache.h"
#include "accounts/OfflineAccount.h"
#include "accounts/PlayerName.h"
#include "shell/AccountPanel.h"
#include "shell/SignIn.h"
#include "toolkit/Assets.h"

namespace kestrel::shell {

void OfflineSignIn(SignInContext& ctx, bool warn_unusual_name) {
    toolkit::Surface& w = *ctx.main_window;
    const std::string name = w.Text("账号");
    const Result<accounts::AccountRecord> account = accounts::OfflineAccount(name);
    if (!account) {
        ShowFailure(ctx, kSignInFailed + account.error());
        return;
    }
    ctx.accounts.SignIn(*account, accounts::SignInState::kOffline);
    for (const char* shown : {"启动游戏按钮", "设置按钮", "下载按钮", "注销按钮"}) w.Show(shown);

    ShowPlayerSkin(ctx, std::string(toolkit::Asset("skin.png")));

    w.Show("用户头像");
    ShowBadge(ctx, "badge-offline.png");
    for (const char* hidden : {"登录按钮", "登录方式", "登录方式_标签标题", "账号", "账号_标签标题"}) w.Hide(hidden);
    w.Show("版本框");
    w.Show("欢迎标题");
    w.SetText("欢迎标题", "欢迎," + name);

    accounts::StoreAccountCache(ctx, accounts::OfflineCacheText(name));

    // Servers check names as the game's own accounts have them; the launcher
    // keeps any name it can store and only says so.
    if (warn_unusual_name && !accounts::IsUsualPlayerName(name)) {
        ctx.app.ShowMessageBox(kUnusualNameWarning, kUnusualNameCaption, toolkit::MessageIcon::Warning);
    }
}

}  // namespace kestrel::shell
