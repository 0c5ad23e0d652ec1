#include "shell/AfterLaunch.h"

#include "shell/SettingsRecord.h"

namespace kestrel::shell {
namespace {

// True once the game has ended; false when the wait was stopped.
bool WaitForGameEnd(int game_pid, LauncherContext& ctx, const LaunchServices& services, std::stop_token stop) {
    while (services.alive(game_pid)) {
        if (!ctx.clock.Sleep(kAliveTestMs, stop)) return false;
    }
    return true;
}

void HideBoth(LauncherContext& ctx, toolkit::Surface& game_start_window) {
    game_start_window.HideWindow();
    if (ctx.main_window) ctx.main_window->HideWindow();
}

void BackToTheMainWindow(LauncherContext& ctx, toolkit::Surface& game_start_window) {
    if (ctx.main_window) ctx.main_window->ShowWindow();
    game_start_window.CloseWindow();
}

}  // namespace

void RunAfterLaunch(int action, int game_pid, LauncherContext& ctx, toolkit::Surface& game_start_window,
                    const LaunchServices& services, std::stop_token stop,
                    const std::function<void()>& game_ended) {
    switch (action) {
    case kExitLauncher:
        ctx.app.Quit();
        return;
    case kMinimise:
        if (ctx.main_window) ctx.main_window->MinimizeWindow();
        game_start_window.CloseWindow();
        return;
    case kHideUntilExit:
        HideBoth(ctx, game_start_window);
        if (!WaitForGameEnd(game_pid, ctx, services, stop)) return;
        if (game_ended) game_ended();
        BackToTheMainWindow(ctx, game_start_window);
        return;
    case kRestartAfterExit: {
        HideBoth(ctx, game_start_window);
        if (!WaitForGameEnd(game_pid, ctx, services, stop)) return;
        if (game_ended) game_ended();
        // The executable's own folder: an installed launcher's program
        // folder holds no executable.
        const std::string folder = ctx.paths.executable_folder;
        const std::string launcher = ctx.host.Join(folder, ctx.paths.launcher_file);
        const Result<int> started =
            services.start_process(ctx.host.NativePath(launcher), "\"" + launcher + "\"", ctx.host.NativePath(folder));
        if (!started.ok()) {
            // Ending now would leave the player with no launcher at all.
            BackToTheMainWindow(ctx, game_start_window);
            return;
        }
        ctx.app.Quit();
        return;
    }
    case kDoNothing:
        game_start_window.CloseWindow();
        return;
    default:
        return;
    }
}

}  // namespace kestrel::shell
