// The offline sign-in: a name, the UUID derived from it, the built-in
// default skin, no network request.

#include "accounts/AccountCache.h"
#include "accounts/AccountPanel.h"
#include "accounts/OfflineUuid.h"
#include "accounts/SignIn.h"
#include "toolkit/Assets.h"

namespace kestrel::accounts {

void OfflineSignIn(SignInContext& ctx) {
    toolkit::Surface& w = *ctx.main_window;
    const std::string name = w.Text("账号");
    if (name.empty()) {
        ShowFailure(ctx, "登录失败!\r\n错误代码: 未知的用户名: 用户名为空!");
        return;
    }
    // An offline player carries no token of an account signed in before:
    // the previous account's access token must not reach a game started
    // offline. The launch makes a random one for an empty token.
    ctx.accounts.SignIn(AccountRecord{name, OfflineUuid(name), "", "", ""}, SignInState::kOffline);
    for (const char* shown : {"启动游戏按钮", "设置按钮", "注销按钮"}) w.Show(shown);

    ShowPlayerSkin(ctx, std::string(toolkit::Asset("skin.png")));

    w.Show("用户头像");
    ShowBadge(ctx, "badge-offline.png");
    for (const char* hidden : {"登录按钮", "登录方式", "登录方式_标签标题", "账号", "账号_标签标题"}) w.Hide(hidden);
    w.Show("版本框");
    w.Show("欢迎标题");
    w.SetText("欢迎标题", "欢迎," + name);

    StoreAccountCache(ctx, OfflineCacheText(name));
}

}  // namespace kestrel::accounts
