#pragma once

// The slogan line 副标题 under the logo: one slogan of Titlelist.ini (the
// "slogans" endpoint), drawn at random at start-up and at every click.
//
// The slogans are fetched on a worker, not on the user-interface thread, so
// a slow or silent update server never freezes the window: the line shows
// the fallback text "多西跌?! 获取闪烁标语好像失败惹..." at once and keeps it
// until the slogans arrive, and for good when they do not (a failed download,
// an empty file, a stop request).
//
// The list lives in LauncherState::slogans; every draw from the context's
// random source happens under that list's lock, so picks on several workers
// (quick clicks) never use the source at the same time.
//
// Threading: LoadSlogans blocks on the download and runs on a worker; a stop
// request ends the download at once and it returns without showing a slogan.
// ShowRandomSlogan does not block and may run on any thread.

#include <stop_token>

#include "shell/LauncherContext.h"

namespace kestrel::shell {

void LoadSlogans(LauncherContext& ctx, std::stop_token stop);

// Draws one slogan of the loaded list (the fallback while there is none) and
// shows it on 副标题.
void ShowRandomSlogan(LauncherContext& ctx);

}  // namespace kestrel::shell
