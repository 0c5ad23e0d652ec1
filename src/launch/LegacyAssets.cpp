#include "launch/LegacyAssets.h"

#include "platform/FilesBelow.h"
#include "platform/PathJoin.h"

namespace kestrel::launch {

LegacyAssets::LegacyAssets(std::string game_folder) : game_folder_(std::move(game_folder)) {}

std::string LegacyAssets::ObjectFolder(const std::string& hash) const {
    using platform::JoinNativePath;
    return JoinNativePath(JoinNativePath(JoinNativePath(game_folder_, "assets"), "objects"), hash.substr(0, 2));
}

std::string LegacyAssets::ObjectPath(const std::string& hash) const {
    return platform::JoinNativePath(ObjectFolder(hash), hash);
}

LegacyCopyReport LegacyAssets::Recreate(const AssetIndex& index, const std::string& target) const {
    LegacyCopyReport report;
    report.errors = index.errors;
    for (const AssetObject& object : index.objects) {
        if (platform::RegularFileSizeBelow(target, object.pieces) == object.size) {
            ++report.kept;
            continue;
        }
        const std::string source = ObjectPath(object.hash);
        // Checked here as well as by the copy, so that a missing object is
        // told apart from a copy that could not be written.
        if (platform::RegularFileSizeBelow(ObjectFolder(object.hash), {object.hash}) != object.size) {
            report.errors.push_back(std::string(kErrorAssetObjectMissing) + object.name);
            continue;
        }
        const Status copied = platform::CopyFileBelow(source, object.size, target, object.pieces);
        if (!copied.ok()) {
            report.errors.push_back(std::string(kErrorAssetCopy) + object.name + " (" + copied.error() + ")");
            continue;
        }
        ++report.copied;
    }
    return report;
}

LegacyCopyReport LegacyAssets::Recreate(const std::string& index_path, const std::string& target) const {
    const Result<AssetIndex> index = AssetIndex::Read(index_path);
    if (!index.ok()) {
        LegacyCopyReport report;
        report.errors.push_back(index.error());
        return report;
    }
    return Recreate(*index, target);
}

}  // namespace kestrel::launch
