#pragma once

// The after-launch actions (`Launcher_Waiting`), run once the game's window
// is up:
//   1 ends the launcher;
//   2 minimises the main window and closes the game-start window;
//   3 hides both windows, tests every 10 s whether the game still runs, and
//     once it has ended shows the main window and closes the game-start
//     window;
//   4 hides both windows, waits like 3, then starts a fresh launcher
//     (<program folder>/<launcher file name>, not waited for) and ends this
//     one; when the fresh launcher cannot be started, this one stays: the
//     main window comes back and the game-start window closes;
//   5 closes the game-start window.
// Any other value does nothing.
//
// game_ended, when given, runs once actions 3 and 4 have seen the game end,
// before the main window comes back or the fresh launcher starts (the
// watcher reports a game that ended badly there).
//
// Threading: runs on the game-window watcher's worker; waits through the
// clock with the worker's stop token and gives up at a stop request.

#include <functional>
#include <stop_token>

#include "shell/LaunchServices.h"
#include "shell/LauncherContext.h"
#include "toolkit/Surface.h"

namespace kestrel::shell {

inline constexpr int kAliveTestMs = 10000;

void RunAfterLaunch(int action, int game_pid, LauncherContext& ctx, toolkit::Surface& game_start_window,
                    const LaunchServices& services, std::stop_token stop,
                    const std::function<void()>& game_ended = {});

}  // namespace kestrel::shell
