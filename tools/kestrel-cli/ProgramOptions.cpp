#include "ProgramOptions.h"

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

}  // namespace kestrel::cli
