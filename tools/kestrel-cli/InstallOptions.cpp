#include "InstallOptions.h"

#include <ostream>

#include "net/Endpoints.h"
#include "platform/LauncherPaths.h"
#include "settings/OptionsFile.h"

namespace kestrel::cli {

settings::SettingsRecord OptionsBesideProgram(const CliArguments& arguments) {
    const platform::LauncherPaths current = platform::LauncherPaths::Current();
    const std::string program = arguments.Get("--program-dir", current.program_folder);
    const settings::OptionsFile file(platform::LauncherPaths::For(program, current.local_app_data,
                                                                  current.launcher_file,
                                                                  platform::HostProfile::Current()));
    settings::SettingsRecord record;
    // The memory is not read here; no recommendation is needed.
    file.Load(record, [] { return std::int32_t{0}; });
    return record;
}

std::optional<install::InstallSettings> InstallSettingsFor(const CliArguments& arguments, const CliContext& context) {
    net::Mirror mirror = net::Mirror::kOfficial;
    if (arguments.Has("--mirror")) {
        const std::optional<net::Mirror> named = net::MirrorFromName(arguments.Get("--mirror"));
        if (!named) {
            context.err << "usage: --mirror official|bmclapi\n";
            return std::nullopt;
        }
        mirror = *named;
    } else {
        mirror = OptionsBesideProgram(arguments).download_source == settings::DownloadSource::kBmclapi
                     ? net::Mirror::kBmclapi
                     : net::Mirror::kOfficial;
    }
    int jobs = 16;
    if (arguments.Has("--jobs")) {
        const std::string text = arguments.Get("--jobs");
        std::size_t used = 0;
        try {
            jobs = std::stoi(text, &used);
        } catch (...) {
            used = 0;
        }
        if (used == 0 || used != text.size() || jobs < 1 || jobs > 256) {
            context.err << "usage: --jobs N (1 to 256)\n";
            return std::nullopt;
        }
    }
    const net::Endpoints endpoints = net::Endpoints::FromEnvironment();
    install::InstallSettings settings;
    settings.game_folder = context.game_dir;
    settings.host = context.profile;
    settings.rewriter = net::UrlRewriter::ForMirror(mirror, endpoints);
    settings.catalogue_url = endpoints.Url("version_manifest");
    settings.fabric_meta = endpoints.Base("fabric_meta");
    settings.quilt_meta = endpoints.Base("quilt_meta");
    settings.download.parallelism = jobs;
    return settings;
}

}  // namespace kestrel::cli
