#pragma once

// VersionInstaller installs, verifies and repairs game versions in one game
// folder, in the layout every launcher shares (see ChainFiles.h for where
// each file goes).
//
// Install(id):
//   1. takes the folder's install lock (InstallLock.h: a second install is
//      told at once that one is running);
//   2. fetches the version catalogue and finds id in it;
//   3. fetches the version JSON, checked against the catalogue's SHA-1, and
//      stores it byte for byte as versions/<id>/<id>.json;
//   4. fetches the asset index, so that its objects can be listed;
//   5. fills in the Maven checksums of libraries without a SHA-1;
//   6. fetches every file of the chain (client jar, libraries and natives the
//      host's rules allow, asset objects, logging configuration) in one job;
//      files already right on disk are kept and not fetched, so a second
//      install of a complete version fetches no file;
//   7. makes the named copies that `virtual` and `map_to_resources` indexes
//      ask for (launch/LegacyAssets.h), below assets/virtual/legacy or the
//      game folder's resources.
// Any unsafe name from the network fails it before anything is written under
// that name, and nothing is written outside the game folder.
//
// Verify(id) hashes every file of the chain for which the manifest gives a
// SHA-1 or a size, the copies of old indexes included, on several threads,
// and reports each missing or corrupt one. It writes nothing and takes no
// lock. Repair(id) takes the lock, verifies, fetches the bad files, makes the
// bad copies again, and verifies once more: it fails when anything is still
// bad.
//
// Threading: every call blocks the calling thread until it ends; progress is
// reported on that thread. A stop request ends the running call soon, with
// a "cancelled" error. The installer is an immutable value.

#include <cstdint>
#include <stop_token>
#include <string>
#include <vector>

#include "install/InstallLock.h"
#include "install/InstallSettings.h"
#include "install/VersionCatalogue.h"
#include "platform/Result.h"

namespace kestrel::install {

struct InstallReport {
    int files_fetched = 0;
    int files_present = 0;
    std::uint64_t bytes_fetched = 0;
    int copies_made = 0;
};

enum class FileFault { kMissing, kCorrupt };

struct BadFile {
    std::string path;  // below the game folder, with "/"
    FileFault fault = FileFault::kMissing;
};

struct VerifyReport {
    int files_checked = 0;
    std::vector<BadFile> bad;  // in the order of the chain's files
};

class VersionInstaller {
public:
    explicit VersionInstaller(InstallSettings settings);

    Result<VersionCatalogue> Catalogue() const;

    Result<InstallReport> Install(const std::string& id, std::stop_token stop,
                                  const InstallProgressCallback& progress = {}) const;
    // The same for a caller that holds the folder's install lock already (a
    // loader's install, which installs its game version first): the lock
    // is one per folder even within this process, so Install could not take
    // it a second time.
    Result<InstallReport> Install(const InstallLock& held, const std::string& id, std::stop_token stop,
                                  const InstallProgressCallback& progress = {}) const;
    Result<VerifyReport> Verify(const std::string& id, std::stop_token stop,
                                const InstallProgressCallback& progress = {}) const;
    // The report of what was bad before the repair.
    Result<VerifyReport> Repair(const std::string& id, std::stop_token stop,
                                const InstallProgressCallback& progress = {}) const;

    const InstallSettings& settings() const { return settings_; }

private:
    Result<InstallReport> FetchChain(const std::string& id, std::stop_token stop,
                                     const InstallProgressCallback& progress) const;
    Result<VerifyReport> Check(const std::string& id, std::stop_token stop,
                               const InstallProgressCallback& progress) const;
    download::DownloadOutcome RunJob(const std::vector<download::FileRequest>& files, InstallStep step,
                                     std::stop_token stop, const InstallProgressCallback& progress) const;

    InstallSettings settings_;
};

}  // namespace kestrel::install
