#include "shell/MainWindow.h"

#include <memory>

#include "shell/MusicLoop.h"
#include "shell/StartUp.h"
#include "shell/VersionList.h"
#include "toolkit/Windows.h"

namespace kestrel::shell {

void WireMainWindow(LauncherContext& ctx, const StartUpHooks& hooks) {
    if (!ctx.main_window) return;
    toolkit::Surface& window = *ctx.main_window;
    auto shared = std::make_shared<const StartUpHooks>(hooks);
    using toolkit::Event;
    using toolkit::EventArgs;

    window.On(toolkit::kMainWindow, Event::WindowCreated,
              [&ctx, shared](const EventArgs&) { RunStartUp(ctx, *shared); });
    window.On(toolkit::kMainWindow, Event::WindowDrawn,
              [&ctx, shared](const EventArgs&) { BeginStartUpWork(ctx, *shared); });
    window.On("版本框", Event::ListOpened,
              [&ctx](const EventArgs&) { StartVersionListRefresh(ctx); });
    window.On("版本框", Event::ItemSelected, [&ctx](const EventArgs& args) {
        // The chosen item's text; the box's own text when a backend gives none.
        SelectVersion(ctx, args.text.empty() ? ctx.main_window->Text("版本框") : args.text);
    });
    window.On("设置按钮", Event::Click, [&ctx, shared](const EventArgs&) {
        if (shared->open_settings_window) shared->open_settings_window(ctx);
    });
    window.On("下载按钮", Event::Click, [&ctx, shared](const EventArgs&) {
        if (shared->open_download_window) shared->open_download_window(ctx);
    });
    // Closing the main window ends the launcher; the application then stops
    // and joins the workers. The music stops first so nothing plays on while
    // they end.
    window.On(toolkit::kMainWindow, Event::WindowClosed, [&ctx](const EventArgs&) {
        StopMusic(ctx);
        ctx.app.Quit();
    });

    if (shared->wire_sign_in) shared->wire_sign_in(ctx);
    if (shared->wire_launch) shared->wire_launch(ctx);
    if (shared->wire_content) shared->wire_content(ctx);
}

}  // namespace kestrel::shell
