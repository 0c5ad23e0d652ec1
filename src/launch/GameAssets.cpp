#include "launch/GameAssets.h"

#include "launch/CommandLineBuilder.h"
#include "launch/SafeNames.h"

namespace kestrel::launch {

namespace {

std::string IndexId(const std::vector<ChainManifest>& chain) {
    std::string id = VersionManifests::AssetsIndexName(chain);
    for (std::size_t i = 0; id.empty() && i < chain.size(); ++i) id = chain[i].manifest.record.asset_index.id;
    return id;
}

}  // namespace

GameAssets GameAssets::Of(const std::vector<ChainManifest>& chain, const LaunchPlan& plan,
                          const platform::HostProfile& profile) {
    GameAssets assets;
    const std::string assets_root = profile.Join(plan.game_folder, "assets");
    assets.folder = assets_root;
    const std::string id = IndexId(chain);
    if (!IsSafeFileId(id)) return assets;
    assets.index_path = profile.Join(profile.Join(assets_root, "indexes"), id + ".json");
    Result<AssetIndex> index = AssetIndex::Read(profile.NativePath(assets.index_path));
    if (!index.ok()) return assets;
    assets.index = std::move(index).value();
    if (assets.index.map_to_resources) {
        assets.layout = AssetLayout::kResources;
        assets.folder = profile.Join(GameDirectory(plan, profile), "resources");
    } else if (assets.index.is_virtual) {
        assets.layout = AssetLayout::kVirtual;
        assets.folder = profile.Join(profile.Join(assets_root, "virtual"), "legacy");
    }
    return assets;
}

GameAssets GameAssets::Of(const LaunchPlan& plan, const platform::HostProfile& profile) {
    return Of(VersionManifests(plan.game_folder, profile).ReadChain(plan.version_id), plan, profile);
}

LegacyCopyReport GameAssets::RecreateCopies(const LaunchPlan& plan, const platform::HostProfile& profile) const {
    if (layout == AssetLayout::kRoot) return {};
    return LegacyAssets(profile.NativePath(plan.game_folder)).Recreate(index, profile.NativePath(folder));
}

}  // namespace kestrel::launch
