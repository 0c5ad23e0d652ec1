#pragma once

// LaunchJava decides which Java starts one launch, for the launcher's window
// and kestrel-cli alike, and installs the runtime when none that fits is on
// the machine.
//
// The launch's requirement check (the Java's major version, read from its
// home's `release` file, must equal the chain's javaVersion.majorVersion)
// stays as it is; ChooseJava (JavaChoice.h) runs before it. The versions are
// read here the way that check reads them: a discovered Java whose version
// only its own answer told (no release file) would still be refused by the
// check, so it is not taken.
//
// A chain whose manifests cannot all be read keeps the chosen Java: the
// launch then reports the manifest in its own words. Discovery, which may run
// Java executables, happens only when the chosen Java does not fit.
//
// A download holds the game folder's install lock (install/InstallLock.h) so
// that it never writes a runtime that kestrel-cli or another launch is
// writing at the same time.
//
// Threading: blocking free functions for a worker; progress is reported on
// the calling thread.

#include <functional>
#include <stop_token>
#include <string>
#include <vector>

#include "download/Downloader.h"
#include "java/JavaDiscovery.h"
#include "launch/VersionManifests.h"
#include "platform/HostProfile.h"
#include "platform/Result.h"
#include "runtimes/JavaChoice.h"
#include "runtimes/RuntimeInstaller.h"

namespace kestrel::runtimes {

struct LaunchJavaRequest {
    std::string game_folder;
    std::string version_id;
    std::string java;               // the options file's Java, or --java
    bool given_explicitly = false;  // --java: always used as given
    bool automatic = true;          // the AutoJava setting
};

// The choice for one launch.
struct LaunchJava {
    JavaChoice choice;         // kDownload: choice.component is to be installed
    std::string major;         // the chain's javaVersion.majorVersion ("" for none)
};

// The machine's Javas; left empty, java::DiscoverJava for the game folder.
using JavaDiscoverer = std::function<std::vector<java::JavaCandidate>()>;

// The component the chain names in javaVersion.component, the root-most
// declaration winning as it does for the major version; kLegacyComponent
// when none names one.
std::string ComponentOfChain(const std::vector<launch::ChainManifest>& chain);

// Which Java the launch of the request uses, or which component it needs.
LaunchJava ChooseLaunchJava(const LaunchJavaRequest& request, const platform::HostProfile& host,
                            const JavaDiscoverer& discover = {});

// Installs (or repairs) the component under the game folder's install lock;
// the java executable.
Result<std::string> InstallJavaRuntime(const std::string& game_folder, const std::string& component,
                                      const platform::HostProfile& host, const RuntimeInstallOptions& options,
                                      std::stop_token stop, const download::ProgressCallback& progress = {});

}  // namespace kestrel::runtimes
