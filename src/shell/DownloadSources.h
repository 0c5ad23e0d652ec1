#pragma once

// DownloadSources is what the download window asks of the installing code:
// the version catalogue, the versions of a loader for a game version, and
// the installs of a game version and of a loader on top of one. ForLauncher
// gives the real ones, which read the settings at each call (the game
// directory, the download source, the downloads at once), so a change made
// in the settings window counts from the next list or install on; tests put
// in their own to decide when an install ends and how.
//
// Threading: a plain value. Each function blocks the calling thread (a
// worker) until it ends, reports progress on that thread, and ends soon with
// an error once stop is requested.

#include <functional>
#include <stop_token>
#include <string>
#include <vector>

#include "install/InstallSettings.h"
#include "install/Loaders.h"
#include "install/VersionCatalogue.h"
#include "net/UrlRewriter.h"
#include "platform/Result.h"
#include "shell/LauncherContext.h"

namespace kestrel::shell {

struct DownloadSources {
    std::function<Result<install::VersionCatalogue>(std::stop_token stop)> catalogue;
    std::function<Result<std::vector<install::LoaderVersion>>(install::Loader loader, const std::string& game_version,
                                                              std::stop_token stop)>
        loader_versions;
    // Installs catalogue version id; gives the id to launch.
    std::function<Result<std::string>(const std::string& id, std::stop_token stop,
                                      const install::InstallProgressCallback& progress)>
        install_version;
    std::function<Result<std::string>(const install::LoaderRequest& request, std::stop_token stop,
                                      const install::InstallProgressCallback& progress)>
        install_loader;

    // The installing code on the context's settings, endpoints, host and clock.
    static DownloadSources ForLauncher(LauncherContext& ctx);
};

// The install settings for the game directory, download source and
// downloads at once of the record, with the context's endpoints, host and
// clock; stop also ends the catalogue's and the checksums' requests.
install::InstallSettings InstallSettingsFor(const LauncherContext& ctx, const SettingsRecord& record,
                                            std::stop_token stop);

}  // namespace kestrel::shell
