// The account panel's handlers.

#include "shell/SignIn.h"

namespace kestrel::shell {

void WireSignIn(SignInContext& ctx) {
    toolkit::Surface& w = *ctx.main_window;
    w.On("登录按钮", toolkit::Event::Click, [&ctx](const toolkit::EventArgs&) {
        toolkit::Surface& window = *ctx.main_window;
        const std::string type = window.Text("登录方式");
        if (type == kMicrosoftItem) {
            for (const char* hidden : {"登录按钮", "登录方式", "登录方式_标签标题"}) window.Hide(hidden);
            ctx.workers.Start([&ctx](std::stop_token stop) { MicrosoftSignIn(ctx, stop); });
        } else if (type == kMojangItem) {
            // Blocked until the sign-in ends, so one click is one sign-in.
            window.SetEnabled("登录按钮", false);
            ctx.workers.Start([&ctx](std::stop_token stop) { MojangSignIn(ctx, stop); });
        } else if (type == kOfflineItem) {
            ctx.workers.Start([&ctx](std::stop_token) { OfflineSignIn(ctx); });
        }
    });
    w.On("登录方式", toolkit::Event::ItemSelected, [&ctx](const toolkit::EventArgs&) { LayOutAccountPanel(ctx); });
    w.On("注销按钮", toolkit::Event::Click, [&ctx](const toolkit::EventArgs&) { SignOut(ctx); });
    w.On("微软登录_取消登录", toolkit::Event::Click,
         [&ctx](const toolkit::EventArgs&) { CancelMicrosoftSignIn(ctx); });
    w.On("Mojang登录_提示2", toolkit::Event::Click,
         [&ctx](const toolkit::EventArgs&) { ctx.app.OpenInShell(kMigrationPage); });
}

}  // namespace kestrel::shell
