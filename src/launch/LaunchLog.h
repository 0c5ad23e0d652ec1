#pragma once

// The launch logs: every launch sends the game's standard output and error
// to a file of its own, <game directory>/logs/kestrel-launch-<date>_<time>.log
// (for instance kestrel-launch-2026-12-10_14-03-59.log; a second launch in
// the same second gets "-2" before ".log", and so on), so that a game that
// dies at start leaves its reason where the player can read it. The newest
// kLaunchLogsKept logs of a folder stay; older ones are removed when a new
// one is made. Other files of the folder (the game's own latest.log, its
// dated archives) are never touched.
//
// A log is written as the game writes it, not whole: it is a record of a
// running program, and the game's output must not wait for the launcher.
//
// Threading: free functions; safe from any thread (two launches in the same
// second of the same folder may end up appending to one log, which mixes
// their lines but loses none).

#include <cstddef>
#include <string>

#include "platform/HostProfile.h"
#include "platform/LocalTime.h"
#include "platform/Result.h"

namespace kestrel::launch {

inline constexpr int kLaunchLogsKept = 10;

// The file name of a launch log made at that time, without a suffix.
std::string LaunchLogName(const platform::LocalDateTime& time);

// Makes the logs folder of the game directory when it is missing, removes
// the oldest launch logs so that, with the new one, at most keep stay, and
// gives the path (in the profile's form) of a new log that does not exist
// yet. The file itself is made by whoever writes it.
Result<std::string> NewLaunchLog(const std::string& game_directory, const platform::HostProfile& profile,
                                 const platform::LocalDateTime& time, int keep = kLaunchLogsKept);

// The last lines (at most max_lines, from at most the last max_bytes of the
// file) of a log, as valid UTF-8, without a line end at the end; "" when the
// file cannot be read.
std::string LogTail(const std::string& path, int max_lines, std::size_t max_bytes = 4096);

}  // namespace kestrel::launch
