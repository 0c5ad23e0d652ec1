#pragma once

// ForgeInstaller installs one Forge or NeoForge version on top of its game
// version, the way the loaders' own installers install a client, but with
// every file coming through the download engine (and so the mirror):
//
//  1. the game version is installed first when it is missing;
//  2. the installer jar is fetched (checked against the repository's
//     ".sha1") into a temporary folder below the game folder, and its
//     install_profile.json read (InstallProfile.h: both generations);
//  3. old installers: every client library of versionInfo is fetched
//     (checked against its "checksums" when it lists any), and the loader's
//     own jar is copied from the installer, never fetched;
//     newer installers: the files below the installer's maven/ folder are
//     copied into libraries/, and every library of the profile and of the
//     version JSON is fetched; the data files are unpacked into the
//     temporary folder;
//  4. the client's install steps run in order (ProcessorRun.h) with the
//     given Java, a step whose outputs already match is skipped, and the
//     step that would download the game's mappings past every mirror is not
//     run: the mappings named by the game's version JSON
//     (downloads.client_mappings) are fetched into its --output instead;
//     the steps' output goes to logs/kestrel-installer-<id>.log;
//  5. the version JSON is stored last, as versions/<id>/<id>.json.
// The temporary folder is removed at the end, after a failure or a cancel
// too. A failure names the step (and shows the end of the log for an install
// step); nothing is then in the versions folder under the new id.
//
// Threading: blocks the calling thread; progress is reported on it; a stop
// request ends the install soon with a "cancelled" error.

#include <chrono>
#include <stop_token>
#include <string>

#include "install/InstallSettings.h"
#include "install/Loaders.h"
#include "platform/Result.h"

namespace kestrel::install {

struct ForgeInstallOptions {
    // The longest one install step may run.
    std::chrono::milliseconds step_limit = std::chrono::minutes(10);
};

// The log of an install of version id in game_folder.
std::string InstallerLogPath(const std::string& game_folder, const std::string& id);

Result<std::string> InstallForge(const InstallSettings& settings, const LoaderRequest& request, std::stop_token stop,
                                 const InstallProgressCallback& progress, const ForgeInstallOptions& options = {});

}  // namespace kestrel::install
