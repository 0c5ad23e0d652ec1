#include "java/JavaDiscovery.h"

#include "java/JavaSearch.h"
#include "java/JavaVersion.h"
#include "platform/Files.h"
#include "platform/Folders.h"
#include "platform/JavaHome.h"
#include "platform/Text.h"

namespace kestrel::java {

namespace {

bool IsSeparator(char c, const platform::HostProfile& profile) { return c == profile.path_sep || c == '/'; }

}  // namespace

JavaCandidate DescribeJava(const std::string& executable, const platform::HostProfile& profile) {
    return JavaCandidate{JavaVersionLabel(executable, profile), executable, JavaBitness(executable, profile)};
}

std::vector<JavaCandidate> DiscoverJavaBeside(const std::string& registered_home,
                                              const platform::HostProfile& profile) {
    std::vector<JavaCandidate> candidates;
    const std::string home(platform::Trim(registered_home));
    if (home.empty() || !platform::IsFolder(profile.NativePath(home))) return candidates;

    // The folder that holds the home, with its trailing separator:
    // C:\Program Files\Java\jre1.8.0_301 gives C:\Program Files\Java\.
    std::size_t end = home.size();
    while (end > 0 && IsSeparator(home[end - 1], profile)) --end;
    std::size_t cut = end;
    while (cut > 0 && !IsSeparator(home[cut - 1], profile)) --cut;
    if (cut == 0) return candidates;
    const std::string parent = home.substr(0, cut);

    for (const std::string& name : platform::ListFolders(profile.NativePath(parent))) {
        if (name.empty() || name.front() == '.') continue;
        // An empty folder cannot hold the executable, so this one test also
        // skips those.
        const std::string executable =
            profile.Join(profile.Join(parent + name, "bin"), profile.java_exe);
        if (!platform::IsRegularFile(profile.NativePath(executable))) continue;
        candidates.push_back(DescribeJava(executable, profile));
    }
    return candidates;
}

std::vector<JavaCandidate> DiscoverJava(const platform::HostProfile& profile, const std::string& game_folder) {
    if (profile.IsWindows()) return DiscoverJavaBeside(platform::RegisteredJavaHome(), profile);
    return SearchJava(JavaSearchPlaces::OfMachine(game_folder));
}

std::vector<JavaCandidate> DiscoverJava(const platform::HostProfile& profile) {
    return DiscoverJava(profile, profile.Join(platform::ProgramFolder(), ".minecraft"));
}

}  // namespace kestrel::java
