#pragma once

// A Java runtime component's manifest: every file, folder and link of the
// runtime, by its path below the runtime's root.
//
//   {"files": {"bin/java": {"type": "file", "executable": true,
//       "downloads": {"raw": {sha1, size, url}, "lzma": {sha1, size, url}}},
//     "lib": {"type": "directory"},
//     "legal/java.base/LICENSE": {"type": "link", "target": "../java.desktop/LICENSE"}}}
//
// The manifest comes from the network, so Parse checks everything before any
// of it is used, and refuses the whole manifest, naming the entry, when:
// - a path is empty, absolute, holds a backslash, a NUL or a line end, or an
//   empty, "." or ".." part;
// - an entry lies below a link of the manifest (writing it would go
//   wherever the link points);
// - a link's target is empty, absolute, holds a backslash, a NUL or a line
//   end, or leads out of the runtime when read from the link's folder;
// - a file has no usable raw download with a SHA-1, or an unknown type.
// The installer checks the links once more on the disk, where links already
// made take part in resolving a target.
//
// Threading: plain values and a free function.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Result.h"
#include "runtimes/RuntimeIndex.h"

namespace kestrel::runtimes {

enum class EntryKind { kFile, kDirectory, kLink };

struct RuntimeEntry {
    std::string path;  // below the root, "/" between parts
    EntryKind kind = EntryKind::kFile;
    bool executable = false;
    RemoteFile raw;                 // files
    std::optional<RemoteFile> lzma; // files that are also served compressed
    std::string target;             // links
};

struct RuntimeManifest {
    std::vector<RuntimeEntry> entries;  // in the manifest's order

    static Result<RuntimeManifest> Parse(std::string_view text);
};

// True when a relative path is safe to put below a folder: not empty, not
// absolute, no backslash, NUL or line end, no empty, "." or ".." part.
bool IsSafeRelativePath(std::string_view path);

// The target of a link at link_path, read from the link's folder, as a path
// below the root; nothing when it leaves the root or is not a usable target.
std::optional<std::string> LinkTargetBelowRoot(std::string_view link_path, std::string_view target);

}  // namespace kestrel::runtimes
