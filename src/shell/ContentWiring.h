#pragma once

// The main window's clicks on its online content:
//
//   副标题       a new slogan, drawn on a worker (ShowRandomSlogan)
//   版本号显示   in the optional-update state the updater starts and the
//                launcher ends; in every other state nothing happens
//                (OnVersionLabelClick)
//
// Threading: call once on the user-interface thread after the main window
// exists; the handlers run there too. The context must outlive the workers
// the slogan clicks start (the application joins them at shutdown).

#include "shell/LauncherContext.h"

namespace kestrel::shell {

void WireContent(LauncherContext& ctx);

}  // namespace kestrel::shell
