#include "runtimes/RuntimeLayout.h"

#include "platform/Files.h"
#include "platform/Text.h"
#include "runtimes/RuntimeIndex.h"

namespace kestrel::runtimes {

namespace {

constexpr std::size_t kMaxVersionBytes = 4096;

}  // namespace

std::string RuntimeLayout::PlatformFolder() const {
    return game_folder + "/runtime/" + component + "/" + platform;
}

std::string RuntimeLayout::Root() const { return PlatformFolder() + "/" + component; }

std::string RuntimeLayout::VersionFile() const { return PlatformFolder() + "/.version"; }

std::string RuntimeLayout::WorkFolder() const { return PlatformFolder() + "/.kestrel-download"; }

std::string RuntimeLayout::JavaExecutable(const platform::HostProfile& profile) const {
    const std::string native = Root() + "/bin/" + profile.java_exe;
    std::string path = native;
    if (profile.path_sep != '/') {
        for (char& c : path) {
            if (c == '/') c = profile.path_sep;
        }
    }
    return path;
}

std::vector<InstalledRuntime> InstalledRuntimes(const std::string& game_folder, const std::string& platform,
                                                const platform::HostProfile& profile) {
    std::vector<InstalledRuntime> found;
    const std::string native_game = profile.NativePath(game_folder);
    for (const std::string& component : platform::ListFolders(native_game + "/runtime")) {
        if (!IsPlainName(component)) continue;
        const RuntimeLayout layout{native_game, component, platform};
        const auto version = platform::ReadFile(layout.VersionFile(), kMaxVersionBytes);
        if (!version) continue;
        const RuntimeLayout shown{game_folder, component, platform};
        if (!platform::IsRegularFile(layout.Root() + "/bin/" + profile.java_exe)) continue;
        found.push_back({component, std::string(platform::Trim(*version)), shown.JavaExecutable(profile)});
    }
    return found;
}

}  // namespace kestrel::runtimes
