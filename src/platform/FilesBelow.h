#pragma once

// Files below a folder, reached by names that came from somewhere untrusted
// (an asset index from the network). The path below the folder is given as
// its pieces, one name each; a piece that is empty, "." or "..", or holds a
// "/" or a NUL is refused, so nothing is ever reached outside the folder. No
// symbolic link below the folder is followed either: a link where a folder
// is needed is removed and a real folder made in its place, and a file
// replaces a link of its name instead of writing through it. The folder
// itself is taken as it is (a player may keep it elsewhere through a link).
//
// Copies are written whole or not at all: the bytes go to a temporary file
// beside the final name, which is renamed into place only when the copy is
// complete, so a file under its final name always has all its bytes. They
// are not synced to the disk: what is copied this way is made again from
// its source whenever its size is wrong, and syncing thousands of small
// files would make that slow.
//
// Threading: free functions; safe from any thread (two writers of the same
// file race only as far as the last rename wins).

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/Result.h"

namespace kestrel::platform {

// True when every piece is one plain name (see above) and there is at least
// one.
bool ArePlainPieces(const std::vector<std::string>& pieces);

// The size of the regular file at folder/pieces, or nothing when it is
// missing, is no regular file (a link, a folder, a FIFO), or a folder on the
// way is a link. Never creates or changes anything.
std::optional<std::uint64_t> RegularFileSizeBelow(const std::string& folder, const std::vector<std::string>& pieces);

// Copies the regular file source to folder/pieces, creating the folder and
// the folders below it as needed. The source must have exactly size bytes,
// before and while it is copied; otherwise nothing is written. The error
// names what failed.
Status CopyFileBelow(const std::string& source, std::uint64_t size, const std::string& folder,
                     const std::vector<std::string>& pieces);

}  // namespace kestrel::platform
