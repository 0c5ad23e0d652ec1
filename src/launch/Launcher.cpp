#include "launch/Launcher.h"

#include "launch/CommandLineBuilder.h"
#include "launch/GameAssets.h"
#include "launch/LaunchLog.h"
#include "launch/NativesExtractor.h"
#include "platform/ChildProcess.h"
#include "platform/Files.h"
#include "platform/LocalTime.h"
#include "platform/Process.h"

namespace kestrel::launch {

Launcher::Launcher(platform::HostProfile profile, platform::RandomSource& random)
    : profile_(std::move(profile)), random_(random) {}

Result<std::string> Launcher::CommandLine(const LaunchPlan& plan) const {
    LaunchPlan launched = plan;
    launched.watermark = LaunchWatermark(plan.watermark);
    return CommandLineBuilder(profile_, random_).Build(launched);
}

std::string Launcher::ProcessCommandLine(const std::string& java_path, const std::string& game_command_line) {
    return "\"" + java_path + "\" " + game_command_line;
}

Result<int> Launcher::Launch(const LaunchPlan& plan) const {
    Result<StartedGame> started = Start(plan);
    if (!started.ok()) return Error{started.error()};
    return started->pid;
}

Result<StartedGame> Launcher::Start(const LaunchPlan& plan, std::stop_token stop) const {
    if (!platform::IsRegularFile(profile_.NativePath(plan.java_path))) return Error{std::string(kErrorNoJava)};
    Result<std::string> command_line = CommandLine(plan);
    if (!command_line.ok()) {
        return Error{command_line.error().empty() ? std::string(kErrorUnknown) : command_line.error()};
    }
    if (command_line->empty()) return Error{std::string(kErrorUnknown)};

    std::string directory = GameDirectory(plan, profile_);
    // Without a game directory the game runs in the Java folder, which is
    // no place for the launcher's logs.
    const bool has_game_directory = !directory.empty();
    if (directory.empty()) directory = plan.java_path.substr(0, plan.java_path.rfind(profile_.path_sep) + 1);

    NativesExtractor(VersionManifests(plan.game_folder, profile_)).Unpack(plan.version_id);
    GameAssets::Of(plan, profile_).RecreateCopies(plan, profile_);

    if (stop.stop_requested()) return Error{std::string(kLaunchCancelled)};
    platform::ChildOptions options;
    options.exe = profile_.NativePath(plan.java_path);
    options.command_line = ProcessCommandLine(plan.java_path, *command_line);
    options.cwd = profile_.NativePath(directory);
    const Result<std::string> log = has_game_directory
                                        ? NewLaunchLog(directory, profile_, platform::LocalNow())
                                        : Result<std::string>(Error{"no game directory"});
    if (log.ok()) {
        options.output = platform::ChildOutput::kFile;
        options.output_file = profile_.NativePath(*log);
    }
    Result<platform::ChildProcess> started = platform::ChildProcess::Start(options);
    if (!started.ok() && log.ok() && started.error().find(options.output_file) != std::string::npos) {
        // The log could not be opened after all; the game matters more.
        options.output = platform::ChildOutput::kInherit;
        started = platform::ChildProcess::Start(options);
    }
    if (!started.ok()) return Error{std::string(kErrorUnknown)};
    // The ChildProcess goes; the game does not: its status stays known by
    // its id (platform/Process.h).
    return StartedGame{started->pid(), options.output == platform::ChildOutput::kFile ? *log : std::string()};
}

}  // namespace kestrel::launch
