#pragma once

// FetchLibraries fetches the libraries that a version JSON names, before the
// JSON itself is stored (a loader's profile, a Forge installer's
// version.json or the libraries of its install profile), through the
// download engine, into the shared layout: libraries/<path>.
//
// The entries are read as the chain's files are (install/ChainFiles.h): the
// host's rules choose them, downloads.artifact gives path, url, sha1 and
// size, and an entry that only names a repository (`url`, as Fabric's and
// Quilt's do) is fetched from that base plus the path made from its
// coordinate, checked against the entry's own `sha1` and `size` where it
// gives them, else against the repository's "<file>.sha1"
// (install/MavenChecksums.h). Every coordinate and path is checked before it
// becomes a path: one that could leave the libraries folder fails the fetch
// before anything is fetched. An artifact with an empty url (made by an
// installer) is left out. Files already right on disk are kept.
//
// Threading: blocks the calling thread; progress is reported on it. A stop
// request ends the fetch soon with kErrorInstallCancelled.

#include <functional>
#include <stop_token>
#include <string>
#include <vector>

#include "download/FileRequest.h"
#include "install/InstallSettings.h"
#include "install/VersionInstaller.h"
#include "launch/VersionManifests.h"
#include "platform/Result.h"

namespace kestrel::install {

struct LibraryFetchOptions {
    // The step the engine's progress is reported as; the Maven checksums are
    // fetched as kChecksums before it.
    InstallStep step = InstallStep::kLoaderFiles;
    // Libraries to leave out, by their path below the game folder with "/"
    // ("libraries/net/..."): the ones an installer brings along itself.
    std::function<bool(const std::string& path)> skip;
};

// The requests FetchLibraries would run, Maven checksums not yet filled in:
// a quick check of a manifest's names before anything else is fetched for
// it. id names the version the manifest is (or will be) stored as; it must
// be a safe version id, and so must the manifest's inheritsFrom.
Result<std::vector<download::FileRequest>> ListLibraries(const InstallSettings& settings,
                                                         const launch::Manifest& manifest, const std::string& id,
                                                         const LibraryFetchOptions& options = {});

Result<InstallReport> FetchLibraries(const InstallSettings& settings, const launch::Manifest& manifest,
                                     const std::string& id, std::stop_token stop,
                                     const InstallProgressCallback& progress = {},
                                     const LibraryFetchOptions& options = {});

}  // namespace kestrel::install
