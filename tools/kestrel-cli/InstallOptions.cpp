#include "InstallOptions.h"

#include <ostream>

#include "ProgramOptions.h"
#include "net/Endpoints.h"

namespace kestrel::cli {

std::optional<install::InstallSettings> InstallSettingsFor(const CliArguments& arguments, const CliContext& context) {
    const std::optional<net::Mirror> mirror = MirrorOption(arguments, context);
    if (!mirror) return std::nullopt;
    const std::optional<int> jobs = JobsOption(arguments, context);
    if (!jobs) return std::nullopt;
    const net::Endpoints endpoints = net::Endpoints::FromEnvironment();
    install::InstallSettings settings;
    settings.game_folder = context.game_dir;
    settings.host = context.profile;
    settings.rewriter = net::UrlRewriter::ForMirror(*mirror, endpoints);
    settings.catalogue_url = endpoints.Url("version_manifest");
    settings.fabric_meta = endpoints.Base("fabric_meta");
    settings.quilt_meta = endpoints.Base("quilt_meta");
    settings.forge_maven = endpoints.Base("forge_maven");
    settings.neoforge_maven = endpoints.Base("neoforge_maven");
    settings.download.parallelism = *jobs;
    return settings;
}

}  // namespace kestrel::cli
