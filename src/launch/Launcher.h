#pragma once

// Launcher turns a launch plan into a running game: it checks the Java path,
// has the command line built (CommandLineBuilder), unpacks the natives
// (NativesExtractor) and starts Java directly, without a shell, in the game
// directory (the version's own folder when isolation is on), with the
// launcher's environment. The game's standard output and error go to a
// launch log of its own in the game directory (LaunchLog.h), so that a game
// that dies at start leaves its reason behind; the game writes the file
// itself, so it runs on undisturbed when the launcher ends. When no log can
// be made there (a read-only folder), the game starts with nothing
// redirected, as it would without a log. The process gets the Windows-style
// command line "<Java path in quotes> <game command line>", split by the
// Windows rules (platform/Process.h).
//
// The watermark setting of the plan goes through LaunchWatermark: an empty
// setting launches as kLaunchWatermark. The caller resets its setting with
// WatermarkSettingAfterLaunch once the launch is over.
//
// Errors are the launcher's texts: kErrorNoJava before anything is read, the
// builder's errors, and kErrorUnknown when no command line came out or the
// process could not be started; kLaunchCancelled when the stop token was
// requested before the game process was started.
//
// Threading: a Launcher may be used by one thread at a time (its random
// source is shared); launch on the launch worker.

#include <stop_token>
#include <string>

#include "launch/LaunchPlan.h"
#include "platform/HostProfile.h"
#include "platform/RandomSource.h"
#include "platform/Result.h"

namespace kestrel::launch {

inline constexpr std::string_view kErrorUnknown = "游戏启动时出现了未知错误";
inline constexpr std::string_view kLaunchCancelled = "启动已取消";

// A game that was started: its process and the log its output goes to (""
// when it has none).
struct StartedGame {
    int pid = 0;
    std::string log_path;
};

class Launcher {
public:
    Launcher(platform::HostProfile profile, platform::RandomSource& random);

    // The game command line this plan launches with (watermark stand-in
    // applied), without the Java path.
    Result<std::string> CommandLine(const LaunchPlan& plan) const;

    // The whole command line of the Java process: the quoted Java path, a
    // blank, the game command line.
    static std::string ProcessCommandLine(const std::string& java_path, const std::string& game_command_line);

    // Starts the game; gives its process and its log. A stop request that
    // comes before the process is started cancels the launch.
    Result<StartedGame> Start(const LaunchPlan& plan, std::stop_token stop = {}) const;

    // Starts the game; gives its process id.
    Result<int> Launch(const LaunchPlan& plan) const;

private:
    platform::HostProfile profile_;
    platform::RandomSource& random_;
};

}  // namespace kestrel::launch
