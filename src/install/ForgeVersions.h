#pragma once

// Which Forge and NeoForge versions belong to a game version, in which order
// they are offered, and where their installers are.
//
// - Forge's Maven versions are "<game>-<forge>[-<branch>]"
//   ("1.20.1-47.4.10", "1.7.10-10.13.4.1614-1.7.10"): a version is for a game
//   version when it starts with that game version and a "-", so 1.21.1 is
//   not 1.21.11.
// - NeoForge's are "<major>.<minor>.<patch>[-beta]", for game version
//   1.<major>.<minor> (1.<major> when minor is 0): 21.1.209 is for 1.21.1,
//   21.0.167 for 1.21. NeoForge for 1.20.1 kept Forge's artifact and version
//   shape under net/neoforged/forge ("1.20.1-47.1.106").
// - Versions are ordered by their numbers, never by the file's order:
//   stable ones first, newest first within each (LoaderVersionOrder.h). A
//   version holding "-beta", "-rc", "-pre" or "-alpha" is not stable.
//
// Threading: pure functions, but ListForgeVersions blocks on the network.

#include <string>
#include <string_view>
#include <vector>

#include "install/InstallSettings.h"
#include "install/Loaders.h"
#include "platform/Result.h"

namespace kestrel::install {

// Where one loader's artifact lives: "<repository>/<group path>/<artifact>".
struct ForgeArtifact {
    std::string repository;  // the official base, before the rewriter
    std::string group_path;  // "net/minecraftforge"
    std::string artifact;    // "forge"
    // Forge's version shape: "<game>-<loader>".
    bool game_prefixed = true;

    std::string MetadataUrl() const;
    std::string InstallerUrl(const std::string& version) const;
};

// The artifact of Forge or NeoForge for a game version (NeoForge's 1.20.1
// artifact for 1.20.1).
ForgeArtifact ArtifactFor(const InstallSettings& settings, Loader loader, const std::string& game_version);

// Whether a Maven version of the artifact is for that game version.
bool IsForGameVersion(const ForgeArtifact& artifact, std::string_view version, std::string_view game_version);

// The versions for the game version, in the order of LoaderVersionOrder.h.
std::vector<LoaderVersion> OfferedVersions(const ForgeArtifact& artifact, const std::vector<std::string>& versions,
                                           std::string_view game_version);

// Fetches the artifact's maven-metadata.xml (through the mirror, then the
// official address) and gives the offered versions.
Result<std::vector<LoaderVersion>> ListForgeVersions(const InstallSettings& settings, Loader loader,
                                                     const std::string& game_version);

}  // namespace kestrel::install
