#pragma once

// CatalogueRows turns the version catalogue into the rows of the download
// window's list: which versions the type switches and the search box let
// through, in the catalogue's order (newest first), and each row's text:
// id, type in Chinese, release date, and "已安装" for the versions already in
// the game folder, parted by tabs (the list's columns).
//
// Types: "release" is 正式版, "snapshot" 快照版, "old_beta" and "old_alpha"
// 远古版. A type the catalogue may bring one day (Mojang has had others) is
// shown as it is and goes with the snapshots, the switch for everything
// that is not a release or an old version.
//
// Threading: pure functions of their arguments.

#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "install/VersionCatalogue.h"

namespace kestrel::shell {

struct CatalogueFilter {
    bool release = true;
    bool snapshot = false;
    bool old = false;
    // Versions whose id holds this text, ignoring the case of ASCII letters
    // and blanks around it; empty: every version.
    std::string search;
};

// The type as the list shows it.
std::string TypeText(std::string_view type);

// The entries the filter lets through, in catalogue order.
std::vector<const install::CatalogueEntry*> FilteredVersions(const install::VersionCatalogue& catalogue,
                                                             const CatalogueFilter& filter);

// The list's row of one entry: the date is the first ten characters of its
// release time (YYYY-MM-DD), or of its time when it has no release time.
std::string RowText(const install::CatalogueEntry& entry, const std::set<std::string>& installed);

}  // namespace kestrel::shell
