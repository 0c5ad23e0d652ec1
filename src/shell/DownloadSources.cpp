#include "shell/DownloadSources.h"

#include <utility>

#include "install/VersionInstaller.h"

namespace kestrel::shell {

install::InstallSettings InstallSettingsFor(const LauncherContext& ctx, const SettingsRecord& record,
                                            std::stop_token stop) {
    install::InstallSettings settings;
    settings.game_folder = record.current_game_dir;
    settings.host = ctx.host;
    settings.rewriter = net::UrlRewriter::ForMirror(settings::MirrorOf(record.download_source), ctx.endpoints);
    settings.catalogue_url = ctx.endpoints.Url("version_manifest");
    settings.fabric_meta = ctx.endpoints.Url("fabric_meta");
    settings.quilt_meta = ctx.endpoints.Url("quilt_meta");
    settings.forge_maven = ctx.endpoints.Url("forge_maven");
    settings.neoforge_maven = ctx.endpoints.Url("neoforge_maven");
    settings.download.parallelism = record.download_jobs;
    settings.download.clock = &ctx.clock;
    settings.http.cancel = std::move(stop);
    return settings;
}

DownloadSources DownloadSources::ForLauncher(LauncherContext& ctx) {
    DownloadSources sources;
    const auto settings_now = [&ctx](std::stop_token stop) {
        return InstallSettingsFor(ctx, ctx.state.settings.Get(), std::move(stop));
    };
    sources.catalogue = [settings_now](std::stop_token stop) {
        const install::InstallSettings settings = settings_now(stop);
        return install::VersionCatalogue::Fetch(settings.catalogue_url, settings.rewriter, settings.http);
    };
    sources.loader_versions = [settings_now](install::Loader loader, const std::string& game_version,
                                             std::stop_token stop) {
        return install::ListLoaderVersions(settings_now(stop), loader, game_version);
    };
    sources.install_version = [settings_now](const std::string& id, std::stop_token stop,
                                             const install::InstallProgressCallback& progress) -> Result<std::string> {
        const install::VersionInstaller installer(settings_now(stop));
        Result<install::InstallReport> report = installer.Install(id, stop, progress);
        if (!report) return Error{report.error()};
        return id;
    };
    sources.install_loader = [settings_now, &ctx](install::LoaderRequest request, std::stop_token stop,
                                                  const install::InstallProgressCallback& progress) {
        // The install steps of Forge and NeoForge start from the player's
        // Java, as the launch does.
        request.player_java = ctx.state.settings.Get().java_path;
        return install::InstallLoader(settings_now(stop), request, stop, progress);
    };
    return sources;
}

}  // namespace kestrel::shell
