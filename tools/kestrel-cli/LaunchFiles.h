#pragma once

// LaunchFiles is the launch's repair of the game folder in kestrel-cli, as in
// the window: before `launch` starts the game, the files of the version's
// chain that have a download location are checked by existence and size, and
// the missing or wrong-sized ones are fetched first (download/MissingFiles.h),
// with a line "正在补全游戏文件 12/40" on stderr at most once a second. The
// options file (beside the program, or in --program-dir) decides whether this
// happens (CheckFilesBeforeLaunch) and where from (DownloadSource, which
// --mirror overrides); --jobs sets how many files come at once.
//
// Threading: runs on the main thread like the commands.

#include <string>

#include "Command.h"

namespace kestrel::cli {

// Fetches what the chain of id lacks. kDone when nothing was missing or all
// of it came, kFailed with the error text printed, kUsage for a bad --mirror
// or --jobs (the reason printed).
int FetchMissingForLaunch(const std::string& id, const std::string& java_path, const CliArguments& arguments,
                          const CliContext& context);

}  // namespace kestrel::cli
