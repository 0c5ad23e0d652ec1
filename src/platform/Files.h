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

// Opens a regular file for reading and gives its descriptor (close-on-exec),
// or -1 when the path is missing, unreadable or no regular file. A FIFO or a
// device in the file's place is refused without blocking: the type is checked
// on a descriptor opened without waiting for a writer, and only a regular file
// is handed on (in blocking mode). For the readers of this layer.
int OpenRegularFile(const std::string& path);

// The bytes of a regular file, or nothing when it is missing or unreadable
// (or no regular file: a FIFO in its place reads as missing at once).
// Reads at most max_bytes; a larger file reads as unreadable, so no file in the
// game folder can make the launcher allocate without bound.
std::optional<std::string> ReadFile(const std::string& path,
                                    std::size_t max_bytes = std::size_t{256} << 20);

// How hard a write insists that the bytes reached the disk before the rename:
// kSynced for the launcher's records; kUnsynced for files it makes again on
// every launch (unpacked natives), where the rename alone is what matters.
enum class Durability { kSynced, kUnsynced };

// Writes bytes to path whole or not at all. mode is the permission of a newly
// created file (0600 for secrets such as the account cache). A file that
// another process has open or mapped keeps its old contents for that
// process, since the new file replaces it by name.
Status WriteFileAtomically(const std::string& path, std::string_view bytes,
                           unsigned mode = 0644, Durability durability = Durability::kSynced);

bool IsRegularFile(const std::string& path);
// A symbolic link is reported as such, whatever it points to.
bool IsSymbolicLink(const std::string& path);
bool IsFolder(const std::string& path);

// The names (not paths) of the sub-folders of a folder, sorted by name with
// ASCII letters compared without case (names equal but for case keep their
// byte order), as the Windows file systems list them; empty when the folder
// is missing. The raw order of a Linux file system is no order at all.
std::vector<std::string> ListFolders(const std::string& path);

// Creates the folder with every missing level above it; true when the folder
// exists afterwards.
bool CreateFolders(const std::string& path);

}  // namespace kestrel::platform
