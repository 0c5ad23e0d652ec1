#pragma once

// The notice board 公告板 on the right of the main window, filled once at
// start-up from notice.xml on the update server (the "update" endpoint).
// Without content the whole board is hidden; without a publication time only
// the time label 公告板_发布时间 is. Whenever the board stays visible its
// designed texts are replaced: the title (or "公告"), the content with its
// line breaks, and "发布时间: " followed by the time.
//
// Threading: blocks on the download; runs on a worker of its own. A stop
// request ends the download at once and the board is then left alone.

#include <stop_token>

#include "shell/LauncherContext.h"

namespace kestrel::shell {

void FillNoticeBoard(LauncherContext& ctx, std::stop_token stop);

}  // namespace kestrel::shell
