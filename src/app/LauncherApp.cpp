#include "app/LauncherApp.h"

#include <utility>

#include "platform/HostProfile.h"
#include "shell/MainWindow.h"
#include "shell/StartUpOptions.h"
#include "toolkit/Windows.h"

namespace kestrel::app {

LauncherApp::LauncherApp(toolkit::Application& app, platform::Clock& clock,
                         platform::RandomSource& random, platform::Workers& workers,
                         shell::LauncherPaths paths, net::Endpoints endpoints)
    : ctx_{state_,
           app,
           clock,
           random,
           workers,
           std::move(paths),
           platform::HostProfile::Current(),
           std::move(endpoints),
           nullptr} {
    // The game directory the launcher starts with, until the options say
    // otherwise.
    state_.settings.Update([&](shell::SettingsRecord& record) {
        shell::OptionsFileOf(ctx_).SetCurrentGameDirectory(record);
    });
}

std::shared_ptr<toolkit::Surface> LauncherApp::Open() {
    if (!ctx_.main_window) {
        ctx_.main_window = ctx_.app.CreateSurface(toolkit::MainWindowDef());
        shell::WireMainWindow(ctx_, hooks_);
    }
    ctx_.main_window->ShowWindow();
    return ctx_.main_window;
}

shell::LauncherPaths CurrentLauncherPaths() { return platform::LauncherPaths::Current(); }

}  // namespace kestrel::app
