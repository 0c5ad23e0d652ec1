#pragma once

// RuntimeInstaller installs Mojang's Java runtime components into the game
// folder (see RuntimeLayout.h), checks them and repairs them.
//
// An install reads the runtime index (endpoint java_runtimes), takes the
// component's current release for this host's platform, fetches its
// manifest (checked against the index's SHA-1) and then:
// - makes the folders;
// - fetches every file that is not already right on disk through the
//   download engine, all at once: the `lzma` download where it is smaller
//   than the raw file, decoded with liblzma and accepted only when the
//   decoded bytes have the raw SHA-1 and size; a compressed download that
//   decodes wrong is fetched again as the raw file;
// - gives executables their mode bits (0755, the others 0644);
// - makes the links, each only after its target has been found to lie inside
//   the runtime, on the disk as well as in the manifest;
// - writes <platform>/.version last, holding the release's version name.
// Whatever the manifest names that is already right stays as it is, so an
// install run again over a damaged runtime repairs it and fetches only what
// is wrong. Files under their final names are always whole and verified.
//
// Threading: Install and Verify block the calling thread; progress is
// reported on it. Two installs of the same component in one game folder at
// once are not supported.

#include <stop_token>
#include <string>
#include <vector>

#include "download/Downloader.h"
#include "platform/HostProfile.h"
#include "platform/Result.h"
#include "runtimes/RuntimeIndex.h"
#include "runtimes/RuntimeLayout.h"
#include "runtimes/RuntimeManifest.h"

namespace kestrel::runtimes {

struct RuntimeInstallOptions {
    // The runtime index's URL (endpoint java_runtimes).
    std::string index_url;
    download::DownloadOptions download;
};

// A file of the runtime that is not as the manifest says.
struct RuntimeProblem {
    enum class Kind { kMissing, kCorrupt };
    Kind kind = Kind::kMissing;
    std::string path;  // relative to the game folder, with "/"
    friend bool operator==(const RuntimeProblem&, const RuntimeProblem&) = default;
};

class RuntimeInstaller {
public:
    RuntimeInstaller(std::string game_folder, platform::HostProfile profile, RuntimeInstallOptions options);

    // The runtime index.
    Result<RuntimeIndex> FetchIndex(std::stop_token stop) const;

    // Installs (or repairs) a component for this host; the installed runtime
    // with its java executable.
    Result<InstalledRuntime> Install(const std::string& component, std::stop_token stop,
                                     const download::ProgressCallback& progress = {}) const;

    // What is missing or wrong in an installed component, in the manifest's
    // order (the .version file last); empty when all is right.
    Result<std::vector<RuntimeProblem>> Verify(const std::string& component, std::stop_token stop) const;

    const std::string& platform_name() const { return platform_; }

private:
    struct Release {
        RuntimeRelease release;
        RuntimeManifest manifest;
        RuntimeLayout layout;
    };
    Result<Release> FetchRelease(const std::string& component, std::stop_token stop) const;
    Result<std::string> FetchText(const download::FileRequest& request, std::stop_token stop) const;

    std::string game_folder_;
    platform::HostProfile profile_;
    RuntimeInstallOptions options_;
    std::string platform_;
};

}  // namespace kestrel::runtimes
