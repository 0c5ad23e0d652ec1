#pragma once

// The start-up overlay 初始化 and its three children: the fade that takes it
// away once the start-up is done.
//
// Threading: FadeOverlay runs on a worker of its own; it only writes the
// surface (no reads, so it never waits for the user-interface thread).

#include <stop_token>

#include "platform/Clock.h"
#include "toolkit/Surface.h"

namespace kestrel::shell {

// Where the overlay waits out of sight once it is no longer needed.
inline constexpr int kOverlayAwayX = 5000;

// Lowers the opacity of 初始化, 初始化进度, 初始化进度_文字 and
// 初始化进度_文字1 from 255 by 10 every 10 ms while it is above 5 (25 steps),
// hides 初始化, waits 3 s, then gives the four their full opacity back, hides
// 初始化 again and moves it to x = 5000. A stop request ends it at once.
void FadeOverlay(toolkit::Surface& surface, platform::Clock& clock, std::stop_token stop);

}  // namespace kestrel::shell
