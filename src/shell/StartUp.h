#pragma once

// The start-up sequence of the main window: what runs between the window's
// creation and the moment the player can use it.
//
// RunStartUp is the main window's created event. On the user-interface
// thread it moves the overlay 初始化 over the window, sets the constants,
// gives the overlay its picture and lays out the account panel: all the
// first frame shows. BeginStartUpWork is the window's drawn event: once the
// first frame is drawn it starts, through ctx.workers, the options loader
// (which first creates the data folders and their two readme files, then
// starts the background picture's worker) and a sequencing worker; none of
// them competes with the first frame for the processor. The sequencer waits
// 100 ms and shows the frame 窗口EX1, waits 500 ms more and starts the
// start-up worker, the notice board, the server status board and the slogans.
// No wait and no network request ever runs on the user-interface thread.
//
// The start-up worker runs the update checks, waits until the options loader
// has read the account cache (the pause alone does not promise that on a slow
// machine), signs the cached account in again, shows the 100 % step, waits
// 1 s, starts the overlay fade and, when the music setting is on, the music
// loop, and shows the update state.
//
// Threading: RunStartUp, BeginStartUpWork and SetStartUpStep may be called
// from any thread (the surface carries writes to the user-interface thread);
// the first two are meant for the user-interface thread, which they never
// block. ctx must
// outlive every worker it starts (the application joins them at exit).

#include <string>
#include <string_view>

#include "shell/LauncherContext.h"
#include "shell/StartUpHooks.h"
#include "toolkit/Surface.h"

namespace kestrel::shell {

// The overlay's step texts of the start-up worker's own steps.
inline constexpr std::string_view kAutomaticSignInStep = "正在自动登录您的账号";

// Shows one step on the overlay: the text on 初始化进度_文字1, the percent on
// the bar 初始化进度 and as "<percent>%" on 初始化进度_文字.
void SetStartUpStep(toolkit::Surface& surface, const std::string& text, int percent);

// The main window's created event (see above). Needs ctx.main_window.
void RunStartUp(LauncherContext& ctx, const StartUpHooks& hooks);
// The main window's drawn event (see above). Needs ctx.main_window.
void BeginStartUpWork(LauncherContext& ctx, const StartUpHooks& hooks);

}  // namespace kestrel::shell
