#pragma once

// The mod loaders a game version can get on top of it, one interface for the
// download window and kestrel-cli: list the loader versions offered for a
// game version, and install one of them as its own version.
//
// - ListLoaderVersions gives the versions stable ones first, newest first
//   within each (ordered by their numbers, never by the order a server sends
//   them in), each as InstallLoader takes it: Fabric and Quilt the loader
//   version ("0.16.9"), Forge and NeoForge the Maven version
//   ("1.20.1-47.4.10", "21.1.209"). A game version matches exactly.
// - InstallLoader installs the game version first when it is missing (the
//   plain VersionInstaller install), then the loader's profile, its
//   libraries and, for Forge and NeoForge, its install steps; the new
//   version's JSON is stored last, so a failed or cancelled install never
//   leaves a version in the list that cannot start. It returns the id of the
//   new version, the one to launch.
// - request.name, when not empty, is the id the new version gets instead of
//   the loader's own (the folder and the "id" inside its JSON); the caller
//   has checked it against the rules for version ids.
//
// Threading: both block the calling thread until they end; progress is
// reported on that thread; a stop request ends them soon with a
// "cancelled" error and leaves the game folder valid.

#include <stop_token>
#include <string>
#include <string_view>
#include <vector>

#include "install/InstallSettings.h"
#include "platform/Result.h"

namespace kestrel::install {

enum class Loader { kFabric, kQuilt, kForge, kNeoForge };

// "fabric", "quilt", "forge", "neoforge": the names kestrel-cli takes.
std::string_view LoaderName(Loader loader);
// The names above, and the window's captions "Fabric", "Quilt", "Forge",
// "NeoForge"; false for anything else.
bool ParseLoader(std::string_view text, Loader& loader);

struct LoaderVersion {
    std::string version;
    bool stable = true;
};

struct LoaderRequest {
    Loader loader = Loader::kFabric;
    std::string game_version;
    std::string loader_version;
    // Empty: the loader's own id ("fabric-loader-0.16.9-1.21.1", ...).
    std::string name;
    // The Java that runs the Forge and NeoForge install steps, always used
    // when given (kestrel-cli's --java).
    std::string java;
    // Without java: the player's Java (the settings'), used when its major
    // version is the one the game version needs; else a discovered Java of
    // that major; else the player's Java all the same.
    std::string player_java;
};

Result<std::vector<LoaderVersion>> ListLoaderVersions(const InstallSettings& settings, Loader loader,
                                                      const std::string& game_version);

Result<std::string> InstallLoader(const InstallSettings& settings, const LoaderRequest& request,
                                  std::stop_token stop, const InstallProgressCallback& progress = {});

}  // namespace kestrel::install
