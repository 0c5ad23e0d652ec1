#include "java/JavaSearch.h"

#include <set>
#include <utility>

#include "java/JavaProbe.h"
#include "java/JavaVersion.h"
#include "platform/Environment.h"
#include "platform/Files.h"
#include "platform/JavaHome.h"
#include "platform/PathJoin.h"
#include "platform/Text.h"

namespace kestrel::java {

namespace {

constexpr std::size_t kMaxReleaseBytes = std::size_t{1} << 20;

std::string ParentOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos || slash == 0) return {};
    return path.substr(0, slash);
}

// The JAVA_VERSION and OS_ARCH of a release file; empty texts when missing.
JavaFacts ReleaseFacts(const std::string& home) {
    JavaFacts facts;
    const auto release = platform::ReadFile(home + "/release", kMaxReleaseBytes);
    if (!release) return facts;
    facts.java_version = platform::ReleaseValue(*release, "JAVA_VERSION");
    facts.os_arch = platform::ReleaseValue(*release, "OS_ARCH");
    return facts;
}

class Collector {
public:
    explicit Collector(const platform::ProgramLimits& limits) : limits_(limits) {}

    // Adds the runtime of a home when it holds an executable bin/java not
    // seen before.
    void AddHome(const std::string& home) {
        if (home.empty()) return;
        const std::string executable = home + "/bin/java";
        const std::string real = platform::RealExecutable(executable);
        if (real.empty() || !seen_.insert(real).second) return;
        found_.push_back(Describe(home, executable, real));
    }

    // Adds every home directly inside a folder, in name order.
    void AddHomesIn(const std::string& folder) {
        if (folder.empty()) return;
        for (const std::string& name : platform::ListFolders(folder)) {
            if (name.empty() || name.front() == '.') continue;
            AddHome(folder + "/" + name);
        }
    }

    std::vector<JavaCandidate> Take() { return std::move(found_); }

private:
    JavaCandidate Describe(const std::string& home, const std::string& executable, const std::string& real) const {
        JavaFacts facts = ReleaseFacts(home);
        if (facts.java_version.empty() || facts.os_arch.empty()) {
            const JavaFacts beside = ReleaseFacts(platform::JavaHomeOf(real));
            if (facts.java_version.empty()) facts.java_version = beside.java_version;
            if (facts.os_arch.empty()) facts.os_arch = beside.os_arch;
        }
        std::string major = MajorOfJavaVersion(facts.java_version);
        std::string bits = BitnessOfFacts(facts);
        if (major.empty() || bits == kBitsUnknown) {
            const JavaFacts told = ProbeJava(executable, limits_);
            if (major.empty()) major = MajorOfJavaVersion(told.java_version);
            if (bits == kBitsUnknown) bits = BitnessOfFacts(told);
        }
        return JavaCandidate{major.empty() ? std::string(kVersionUnknown) : major, executable, bits};
    }

    platform::ProgramLimits limits_;
    std::set<std::string> seen_;
    std::vector<JavaCandidate> found_;
};

}  // namespace

JavaSearchPlaces JavaSearchPlaces::OfMachine(std::string game_folder) {
    JavaSearchPlaces places;
    places.java_home = platform::EnvironmentValue("JAVA_HOME");
    places.path_list = platform::EnvironmentValue("PATH");
    places.user_home = platform::EnvironmentValue("HOME");
    places.game_folder = std::move(game_folder);
    return places;
}

std::vector<JavaCandidate> SearchJava(const JavaSearchPlaces& places) {
    Collector collector(places.probe_limits);

    // Relative homes would depend on the current folder; they are ignored.
    std::string java_home = platform::WithoutTrailingSlashes(std::string(platform::Trim(places.java_home)));
    if (!java_home.starts_with('/')) java_home.clear();
    const std::string path_home = platform::RegisteredJavaHome("", places.path_list);
    collector.AddHome(java_home);
    collector.AddHome(path_home);
    collector.AddHomesIn(ParentOf(java_home));
    collector.AddHomesIn(ParentOf(path_home));

    for (const char* folder : {"/usr/lib/jvm", "/usr/java", "/opt"}) {
        collector.AddHomesIn(platform::WithoutTrailingSlashes(places.system_root) + folder);
    }
    const std::string user_home = platform::WithoutTrailingSlashes(std::string(platform::Trim(places.user_home)));
    if (user_home.starts_with('/')) {
        for (const char* folder : {"/.sdkman/candidates/java", "/.jdks", "/.gradle/jdks"}) {
            collector.AddHomesIn(user_home + folder);
        }
    }

    const std::string game_folder = platform::WithoutTrailingSlashes(std::string(platform::Trim(places.game_folder)));
    if (!game_folder.empty()) {
        const std::string runtimes = game_folder + "/runtime";
        for (const std::string& component : platform::ListFolders(runtimes)) {
            if (component.empty() || component.front() == '.') continue;
            const std::string component_folder = runtimes + "/" + component;
            for (const std::string& platform_name : platform::ListFolders(component_folder)) {
                if (platform_name.empty() || platform_name.front() == '.') continue;
                // The .version file is written last: without it the install
                // never finished and the runtime may lack files.
                const std::string platform_folder = component_folder + "/" + platform_name;
                if (!platform::IsRegularFile(platform_folder + "/.version")) continue;
                collector.AddHome(platform_folder + "/" + component);
            }
        }
    }
    return collector.Take();
}

}  // namespace kestrel::java
