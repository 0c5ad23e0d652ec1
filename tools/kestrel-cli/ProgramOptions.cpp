#include "ProgramOptions.h"

#include <charconv>
#include <ostream>

#include "platform/LauncherPaths.h"

namespace kestrel::cli {

settings::OptionsFile ProgramOptionsFile(const CliArguments& arguments) {
    const platform::LauncherPaths current = platform::LauncherPaths::Current();
    const std::string program = arguments.Get("--program-dir", current.program_folder);
    return settings::OptionsFile(platform::LauncherPaths::For(program, current.local_app_data, current.launcher_file,
                                                              platform::HostProfile::Current()));
}

settings::SettingsRecord ProgramOptions(const CliArguments& arguments) {
    settings::SettingsRecord record;
    ProgramOptionsFile(arguments).Load(record, [] { return std::int32_t{0}; });
    return record;
}

std::optional<net::Mirror> MirrorOption(const CliArguments& arguments, const CliContext& context) {
    if (!arguments.Has("--mirror")) return settings::MirrorOf(ProgramOptions(arguments).download_source);
    const std::optional<net::Mirror> named = net::MirrorFromName(arguments.Get("--mirror"));
    if (!named) context.err << "usage: --mirror official|bmclapi\n";
    return named;
}

std::optional<int> JobsOption(const CliArguments& arguments, const CliContext& context) {
    const std::string jobs = arguments.Get("--jobs", "16");
    int parallelism = 0;
    const auto [end, error] = std::from_chars(jobs.data(), jobs.data() + jobs.size(), parallelism);
    if (error != std::errc() || end != jobs.data() + jobs.size() || parallelism < 1 || parallelism > 256) {
        context.err << "usage: --jobs N (1 to 256)\n";
        return std::nullopt;
    }
    return parallelism;
}

}  // namespace kestrel::cli
