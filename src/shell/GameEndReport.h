#pragma once

// The message box of a game that ended badly: a game that ends with a
// non-zero status before its window appeared, or within the first minute of
// its launch, is a game that did not start (a missing main class, a crash at
// start, a wrong Java), and the player should not be left with a window that
// merely vanishes. The box gives the exit status and the last lines of the
// launch log (launch/LaunchLog.h) and asks whether to open the log; Yes
// opens it with the desktop's program for it. Without a log it gives the
// status alone.
//
// Threading: ReportGameEnd blocks its caller until the player answers; call
// it on a worker (the game-window watcher's). GameEndText is a pure function.

#include <cstdint>
#include <string>

#include "shell/LauncherContext.h"

namespace kestrel::shell {

// How long after the launch an ending with a non-zero status is reported
// once the game's window was up.
inline constexpr std::int64_t kEarlyEndMs = 60000;
// How much of the log the box shows.
inline constexpr int kReportedLogLines = 12;

inline constexpr const char* kGameEndCaption = "游戏异常退出";

// The box's text for that exit status, the log's last lines ("" when it
// holds none) and the log's path ("" when there is no log).
std::string GameEndText(int status, const std::string& log_tail, const std::string& log_path);

// Shows the box for a game that ended with that status, and opens the log
// when the player asks for it.
void ReportGameEnd(LauncherContext& ctx, int status, const std::string& log_path);

}  // namespace kestrel::shell
