#pragma once

// The main window's own events, and the wiring of every handler of the main
// window: its creation runs the start-up sequence; opening the list of
// 版本框 refreshes the version list on a worker; choosing a version saves the
// options; 设置按钮 opens the settings window and 下载按钮 the download
// window (hooks); the frame's close
// button ends the launcher (the frame minimises the window by itself). The
// other parts' handlers (sign-in, launch, content) come in through their
// hooks.
//
// Threading: WireMainWindow on the user-interface thread, before the window
// is shown. The handlers run on the user-interface thread and never wait.

#include "shell/LauncherContext.h"
#include "shell/StartUpHooks.h"

namespace kestrel::shell {

// Wires ctx.main_window (which must be set). hooks is copied; ctx must
// outlive the window's handlers.
void WireMainWindow(LauncherContext& ctx, const StartUpHooks& hooks);

}  // namespace kestrel::shell
