#pragma once

// LegacyAssets makes the named copies of asset objects that old game
// versions read instead of the objects themselves (see AssetIndex.h): for a
// `virtual` index below <game folder>/assets/virtual/legacy, for a
// `map_to_resources` one below <game directory>/resources. The launch calls
// it before every start of such a version, so copies that were deleted or
// damaged come back; the installer calls it after fetching the objects.
//
// A copy is made when the file under its name is missing or has another size
// than the index gives, from assets/objects/<hash[0..2]>/<hash>, and only when
// that object has the right size itself; a file of the right size is kept
// without being read (a launch must stay fast). Each copy is written whole or
// not at all and nothing is written outside the target folder, nor through a
// symbolic link below it (platform/FilesBelow.h). A refused index entry, a
// missing or wrong-sized object and a copy that fails are each skipped with
// an error text for the caller to show; the other copies are still made.
//
// Threading: an immutable value; one Recreate per target folder at a time.

#include <string>
#include <string_view>
#include <vector>

#include "launch/AssetIndex.h"

namespace kestrel::launch {

// The error of a missing or wrong-sized object, and of a copy that could not
// be written; each is followed by the asset's name.
inline constexpr std::string_view kErrorAssetObjectMissing = "资源文件缺失或已损坏，请重新下载: ";
inline constexpr std::string_view kErrorAssetCopy = "无法复制资源文件: ";

// What one Recreate did.
struct LegacyCopyReport {
    int copied = 0;                   // copies made
    int kept = 0;                     // copies that were there with the right size
    std::vector<std::string> errors;  // refused entries, missing objects, failed copies
};

class LegacyAssets {
public:
    // game_folder as the machine names it; the objects are below its assets.
    explicit LegacyAssets(std::string game_folder);

    // assets/objects/<hash[0..2]>/<hash> below the game folder.
    std::string ObjectPath(const std::string& hash) const;

    // Makes the missing or wrong-sized copies of an index's objects below
    // target (a folder as the machine names it, created when missing). The
    // index's own errors come first in the report.
    LegacyCopyReport Recreate(const AssetIndex& index, const std::string& target) const;
    // The same for the index file at index_path; an index that cannot be read
    // gives one error and no copies.
    LegacyCopyReport Recreate(const std::string& index_path, const std::string& target) const;

private:
    std::string ObjectFolder(const std::string& hash) const;

    std::string game_folder_;
};

}  // namespace kestrel::launch
