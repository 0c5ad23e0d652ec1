#include "runtimes/LaunchJava.h"

#include <optional>

#include "install/InstallLock.h"
#include "java/JavaVersion.h"
#include "runtimes/RuntimeIndex.h"
#include "runtimes/RuntimeLayout.h"

namespace kestrel::runtimes {

std::string ComponentOfChain(const std::vector<launch::ChainManifest>& chain) {
    std::string component;
    for (const launch::ChainManifest& element : chain) {
        const std::string& named = element.manifest.record.java_component;
        if (!named.empty()) component = named;
    }
    return component.empty() ? std::string(kLegacyComponent) : component;
}

LaunchJava ChooseLaunchJava(const LaunchJavaRequest& request, const platform::HostProfile& host,
                            const JavaDiscoverer& discover) {
    const LaunchJava as_chosen{{JavaChoice::Kind::kAsChosen, request.java, {}}, {}};
    const std::vector<launch::ChainManifest> chain =
        launch::VersionManifests(request.game_folder, host).ReadChain(request.version_id);
    for (const launch::ChainManifest& element : chain) {
        if (!element.manifest.ok) return as_chosen;
    }

    JavaChoiceInput input;
    input.chosen_java = request.java;
    input.chosen_major = java::JavaMajorNumber(java::JavaMajorVersion(request.java, host));
    input.given_explicitly = request.given_explicitly;
    input.automatic = request.automatic;
    input.required_major = launch::VersionManifests::RequiredJavaMajor(chain);
    input.component = ComponentOfChain(chain);
    LaunchJava launch_java{ChooseJava(input, {}, {}), input.required_major};
    // Without anything discovered the choice is kAsChosen exactly when the
    // chosen Java may stand; only then is the machine searched.
    if (launch_java.choice.kind == JavaChoice::Kind::kAsChosen) return launch_java;

    std::vector<java::JavaCandidate> discovered = discover ? discover() : java::DiscoverJava(host, request.game_folder);
    // Labelled as the requirement check will read them.
    for (java::JavaCandidate& candidate : discovered) {
        candidate.version_label = java::JavaMajorVersion(candidate.path, host);
    }
    const std::vector<InstalledRuntime> installed =
        InstalledRuntimes(request.game_folder, RuntimePlatform(host), host);
    launch_java.choice = ChooseJava(input, discovered, installed);
    return launch_java;
}

Result<std::string> InstallJavaRuntime(const std::string& game_folder, const std::string& component,
                                      const platform::HostProfile& host, const RuntimeInstallOptions& options,
                                      std::stop_token stop, const download::ProgressCallback& progress) {
    Result<install::InstallLock> lock = install::InstallLock::TryTake(host.NativePath(game_folder));
    if (!lock.ok()) return Error{lock.error()};
    const Result<InstalledRuntime> installed = RuntimeInstaller(game_folder, host, options).Install(component, stop, progress);
    if (!installed.ok()) return Error{installed.error()};
    return installed->java;
}

}  // namespace kestrel::runtimes
