#pragma once

// EnsureGameVersion makes sure the game version a loader's version inherits
// from is there before the loader is put on top of it.
//
// - Without versions/<id>/<id>.json, the version is installed from the
//   catalogue in full (VersionInstaller::Install).
// - With it, the version is the player's as it stands: nothing is fetched
//   from the catalogue and no file that is there is replaced by its hash.
//   Only what the launch's quick check finds missing or of the wrong size
//   is fetched (install/ChainFiles.h's ListFilesToCheck), so an install
//   that was cancelled halfway is completed, and one whose manifest cannot
//   be read fails with that error.
//
// The caller holds the folder's install lock for the whole loader install.
//
// Threading: blocks the calling thread; progress is reported on it (the
// installer's steps, kFiles for the completion). A stop request ends it soon
// with an error.

#include <stop_token>
#include <string>

#include "install/InstallLock.h"
#include "install/InstallSettings.h"
#include "install/VersionInstaller.h"
#include "platform/Result.h"

namespace kestrel::install {

struct GameVersionReport {
    // True when the version was installed from the catalogue here.
    bool installed = false;
    InstallReport files;
};

Result<GameVersionReport> EnsureGameVersion(const VersionInstaller& installer, const InstallLock& held,
                                            const std::string& id, std::stop_token stop,
                                            const InstallProgressCallback& progress = {});

}  // namespace kestrel::install
