#pragma once

// Checks for the names that manifests and asset indexes bring from the
// network before any of them becomes part of a path: an asset index id, a
// logging configuration id, an asset name, an object hash. A name that fails
// is refused, never mended, so a hostile manifest cannot reach a file
// outside the folder it names a file in.
//
// Threading: pure functions.

#include <string>
#include <string_view>
#include <vector>

namespace kestrel::launch {

// One file name inside a folder (an asset index id, a logging
// configuration's file id): not empty, no "/" or "\", no "..", no NUL or
// line end, not ".", and no drive prefix ("C:").
bool IsSafeFileId(std::string_view id);

// The pieces of an asset name ("minecraft/sounds/ambient/cave/cave1.ogg"),
// a relative path with "/" between plain names; empty when the name is
// absolute ("/…", "C:…"), holds "..", a backslash, a NUL or a line end, or
// has an empty or "." piece.
std::vector<std::string> AssetNamePieces(std::string_view name);

// An object hash: 40 lowercase hex digits.
bool IsObjectHash(std::string_view hash);

}  // namespace kestrel::launch
