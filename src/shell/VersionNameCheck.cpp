#include "shell/VersionNameCheck.h"

#include <filesystem>
#include <system_error>

#include "install/ChainFiles.h"
#include "settings/OptionChecks.h"

namespace kestrel::shell {

std::string VersionNameProblem(const std::string& name, const std::string& game_dir, bool reinstall) {
    if (name.empty()) return kNameEmpty;
    if (!install::IsSafeVersionId(name) || settings::CheckText(name) != settings::OptionProblem::kNone) {
        return kNameUnsafe;
    }
    // Bytes of UTF-8; a folder name may have 255 at most, and the JSON file
    // inside it adds ".json".
    if (name.size() > 100) return kNameTooLong;
    std::error_code error;
    const bool taken = std::filesystem::exists(std::filesystem::path(game_dir) / "versions" / name, error);
    if (taken && !reinstall) return kNameTaken;
    return "";
}

std::string DefaultVersionName(const std::string& game_version, std::optional<install::Loader> loader,
                               const std::string& loader_version) {
    if (!loader) return game_version;
    switch (*loader) {
        case install::Loader::kFabric: return "fabric-loader-" + loader_version + "-" + game_version;
        case install::Loader::kQuilt: return "quilt-loader-" + loader_version + "-" + game_version;
        case install::Loader::kForge: {
            const std::string prefix = game_version + "-";
            const bool prefixed = loader_version.compare(0, prefix.size(), prefix) == 0;
            return game_version + "-forge-" + (prefixed ? loader_version.substr(prefix.size()) : loader_version);
        }
        case install::Loader::kNeoForge: return "neoforge-" + loader_version;
    }
    return game_version;
}

}  // namespace kestrel::shell
