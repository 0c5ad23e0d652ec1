#include "launch/Launcher.h"

#include "launch/CommandLineBuilder.h"
#include "launch/GameAssets.h"
#include "launch/NativesExtractor.h"
#include "platform/Files.h"
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
    if (!platform::IsRegularFile(profile_.NativePath(plan.java_path))) return Error{std::string(kErrorNoJava)};
    Result<std::string> command_line = CommandLine(plan);
    if (!command_line.ok()) {
        return Error{command_line.error().empty() ? std::string(kErrorUnknown) : command_line.error()};
    }
    if (command_line->empty()) return Error{std::string(kErrorUnknown)};

    std::string directory = GameDirectory(plan, profile_);
    if (directory.empty()) directory = plan.java_path.substr(0, plan.java_path.rfind(profile_.path_sep) + 1);

    NativesExtractor(VersionManifests(plan.game_folder, profile_)).Unpack(plan.version_id);
    GameAssets::Of(plan, profile_).RecreateCopies(plan, profile_);

    const Result<int> started = platform::StartProcess(profile_.NativePath(plan.java_path),
                                                       ProcessCommandLine(plan.java_path, *command_line),
                                                       profile_.NativePath(directory));
    if (!started.ok()) return Error{std::string(kErrorUnknown)};
    return *started;
}

}  // namespace kestrel::launch
