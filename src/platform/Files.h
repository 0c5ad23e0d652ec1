#pragma once

// Whole-file reads and writes. The launcher never edits a file in place: it
// reads a file whole and writes it whole, through a temporary file in the same
// folder that is renamed over the target, so a crash or a full disk leaves
// either the old file or the new one, never a truncated mix.
//
// Threading: free functions; safe from any thread (two writers of the same
// file race only as far as the last rename wins).

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Result.h"

namespace kestrel::platform {

// The bytes of a regular file, or nothing when it is missing or unreadable.
// Reads at most max_bytes; a larger file reads as unreadable, so no file in the
// game folder can make the launcher allocate without bound.
std::optional<std::string> ReadFile(const std::string& path,
                                    std::size_t max_bytes = std::size_t{256} << 20);

// Writes bytes to path whole or not at all. mode is the permission of a newly
// created file (0600 for secrets such as the account cache).
Status WriteFileAtomically(const std::string& path, std::string_view bytes,
                           unsigned mode = 0644);

bool IsRegularFile(const std::string& path);
bool IsFolder(const std::string& path);

// The names (not paths) of the sub-folders of a folder, in the order in which
// the file system enumerates them; empty when the folder is missing.
std::vector<std::string> ListFolders(const std::string& path);

}  // namespace kestrel::platform
