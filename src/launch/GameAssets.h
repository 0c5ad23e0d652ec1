#pragma once

// GameAssets says where a launch's assets are: the asset index the version's
// chain names, and the folder the game is given as ${game_assets}. That
// folder is the assets root (<game folder>/assets), except for the versions
// whose index is `virtual` (1.6 to 1.7.2), which read
// <game folder>/assets/virtual/legacy, and those whose index is
// `map_to_resources` (before 1.6), which read <game directory>/resources
// (the version's own folder when isolation is on); an index with both flags
// counts as `map_to_resources`. Such versions get no sounds and no textures
// from the assets root, so before each start the launch makes the missing
// copies there (RecreateCopies).
//
// The index is the chain's `assets` name (AssetsIndexName), or else the
// first `assetIndex.id` along the chain, read from
// <game folder>/assets/indexes/<id>.json. A chain that names none, an id that
// could leave the indexes folder and an index file that is missing or
// unreadable all leave the assets root in place.
//
// Threading: a plain value.

#include <string>
#include <vector>

#include "launch/AssetIndex.h"
#include "launch/LaunchPlan.h"
#include "launch/LegacyAssets.h"
#include "launch/VersionManifests.h"
#include "platform/HostProfile.h"

namespace kestrel::launch {

enum class AssetLayout {
    kRoot,       // the assets root
    kVirtual,    // assets/virtual/legacy
    kResources,  // <game directory>/resources
};

struct GameAssets {
    AssetLayout layout = AssetLayout::kRoot;
    std::string folder;      // ${game_assets}, in the profile's separators
    std::string index_path;  // the index file in the profile's separators; empty when none is named
    AssetIndex index;        // the index as read (empty unless it was read)

    static GameAssets Of(const std::vector<ChainManifest>& chain, const LaunchPlan& plan,
                         const platform::HostProfile& profile);
    // Reads the plan's chain first.
    static GameAssets Of(const LaunchPlan& plan, const platform::HostProfile& profile);

    // Makes the missing or wrong-sized copies below folder; nothing for the
    // assets root.
    LegacyCopyReport RecreateCopies(const LaunchPlan& plan, const platform::HostProfile& profile) const;
};

}  // namespace kestrel::launch
