#pragma once

// AssetIndex is an asset index file (assets/indexes/<id>.json) read for
// what the launch and the installer need of it:
//
//   {"objects": {NAME: {"hash": H, "size": N}, …}, "virtual": bool, "map_to_resources": bool}
//
// Each object is stored once by its hash, as assets/objects/<H[0..2]>/<H>;
// many names may share one. A `virtual` index (game versions 1.6 to 1.7.2)
// also wants every object copied by name below assets/virtual/legacy, and a
// `map_to_resources` one (versions before 1.6) below the game directory's
// `resources`; such a version reads its assets from that folder.
//
// The index comes from the network, so each entry is checked (SafeNames.h):
// an entry whose name is unsafe, whose hash is not 40 lowercase hex digits
// or whose size is no whole number from 0 up is left out of objects, with
// an error text naming it in errors. Only a `true` that is a JSON boolean
// counts for the two flags.
//
// Threading: a plain value.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Result.h"

namespace kestrel::launch {

struct AssetObject {
    std::string name;                 // as the index writes it
    std::vector<std::string> pieces;  // the name's pieces between "/"
    std::string hash;
    std::uint64_t size = 0;
};

// The error texts of refused entries; each is followed by the entry's name.
inline constexpr std::string_view kErrorUnsafeAssetName = "资源文件名不安全，已跳过: ";
inline constexpr std::string_view kErrorBadAssetEntry = "资源文件的哈希值或大小无效，已跳过: ";
// The error of an index that cannot be read; followed by its path.
inline constexpr std::string_view kErrorAssetIndex = "读取资源索引文件失败: ";

struct AssetIndex {
    bool is_virtual = false;
    bool map_to_resources = false;
    std::vector<AssetObject> objects;  // the usable entries, in the index's order
    std::vector<std::string> errors;   // one text for each refused entry

    // Reads the index file at path (as the machine names it). An error when
    // it is missing, unreadable or not a JSON object.
    static Result<AssetIndex> Read(const std::string& path);
    // Reads an index from its text; an error names source.
    static Result<AssetIndex> Parse(std::string_view text, const std::string& source);
};

}  // namespace kestrel::launch
