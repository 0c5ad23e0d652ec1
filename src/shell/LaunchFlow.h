#pragma once

// The launch, from the click on 启动游戏按钮 to the after-launch action.
//
// The click stops the music for the rest of the run (the music flag is
// cleared, the media player paused) and opens the game-start window, game
// window width x (game window height + 30), not modal, owned by the main
// window. The window's creation is the launch request: without a selected
// version it reports so and closes (when the version box is empty too, the
// message says how to install a version and offers to open the download
// window); otherwise it lays the window out and starts the launch worker.
// The worker shows its steps and progress, takes the Java the version needs
// when the chosen one is not it (LaunchJavaStep.h), has the game started
// (launch::Launcher), and either reports the failure in a
// message box and closes the window, or starts the game-window watcher
// (GameWatcher.h), which does the rest. A click while a launch is in
// progress does nothing: one launch at a time.
//
// The player may cancel the launch with Escape or the window's close
// control (kStartCancel) for as long as the game-start window shows: before
// the game process exists the launch stops without a word; once it exists,
// the watch for its window ends and the game runs on. The window closes and
// the launch is over.
//
// The launch state lives in ctx.state: launch_in_progress from the request
// until a failure or the watcher's end, launch_error with the last
// failure's text, game_pid with the most recent game's process id.
//
// Threading: call WireLaunch on the user-interface thread once the main
// window exists (ctx.main_window); the handlers run there, the launch
// worker, the progress animation and the watcher on workers of ctx.workers.

#include "shell/LaunchServices.h"
#include "shell/LauncherContext.h"

namespace kestrel::shell {

// Wires the launch button of ctx.main_window (nothing when there is none);
// the "no version" message offers the download window.
void WireLaunch(LauncherContext& ctx);

// The same with the system services given (tests).
void WireLaunch(LauncherContext& ctx, LaunchServices services);

}  // namespace kestrel::shell
