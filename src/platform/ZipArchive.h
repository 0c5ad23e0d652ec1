#pragma once

// ZipArchive reads a zip archive (a natives jar, an installer jar, a Java
// runtime) and unpacks it into a folder. Archives come from manifests and the
// network, so nothing in them is trusted:
//
//  - The archive must be a regular file; a FIFO or device in its place is
//    refused at once instead of blocking the reader.
//  - Entries whose compressed bytes overlap another entry's are refused: a
//    real archive never shares bytes between entries, and shared bytes are
//    how a small archive claims to unpack to terabytes.
//  - An entry may unpack to at most ZipLimits::max_entry_bytes and one archive
//    to at most max_archive_bytes; a ZipBudget carries a sum over several
//    archives (the natives of one launch). The sizes are counted as bytes are
//    inflated, not taken from the archive's own claims.
//  - Names that are absolute (a leading "/" or "\"), name a drive or stream
//    (hold ":") or climb out with a ".." segment are refused; nothing is
//    written outside the target folder, and no symbolic link below the
//    target folder is followed: a link in the way of a folder is removed and
//    a real folder made in its place, and a file replaces a link of its name
//    rather than writing through it.
//  - Each file is streamed to a temporary file beside its final name and
//    renamed into place once it is whole and its CRC checks out, so a game
//    that has the old file mapped keeps it and no entry is held in memory.
//
// Threading: an archive is used by one thread at a time; archives share
// nothing.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Result.h"

namespace kestrel::platform {

struct ZipLimits {
    std::uint64_t max_entry_bytes = std::uint64_t{256} << 20;
    std::uint64_t max_archive_bytes = std::uint64_t{512} << 20;
};

// The bytes several unpackings may still write between them.
class ZipBudget {
public:
    explicit ZipBudget(std::uint64_t bytes) : left_(bytes) {}
    std::uint64_t left() const { return left_; }
    void Spend(std::uint64_t bytes) { left_ = bytes > left_ ? 0 : left_ - bytes; }

private:
    std::uint64_t left_;
};

struct ZipEntry {
    std::string name;                  // as stored, "/" or "\" between pieces
    bool folder = false;               // a directory entry (its name ends in a separator)
    std::uint64_t size = 0;            // the uncompressed size the archive claims
    std::uint64_t compressed_size = 0;
    bool readable = false;             // its data could be located (method and header fine)
    bool overlaps = false;             // its compressed bytes overlap another entry's
};

// What one unpacking did.
struct ZipExtractReport {
    bool opened = false;
    int files = 0;            // entries written
    int folders = 0;          // directory entries made
    int skipped = 0;          // entries refused or not writable
    std::uint64_t bytes = 0;  // bytes written
};

class ZipArchive {
public:
    // Opens an archive and lists its entries. The error names the path.
    static Result<ZipArchive> Open(const std::string& path, ZipLimits limits = {});

    ZipArchive(ZipArchive&&) noexcept;
    ZipArchive& operator=(ZipArchive&&) noexcept;
    ~ZipArchive();

    const std::vector<ZipEntry>& entries() const { return entries_; }

    // The bytes of entry `index` (of entries()), at most max_bytes of them
    // and never more than the entry limit; an error for a folder, an
    // overlapping entry, one that is larger, or one that is damaged.
    Result<std::string> Read(std::size_t index, std::uint64_t max_bytes = std::uint64_t{64} << 20);

    // Unpacks every entry below folder (a path as the machine names it),
    // creating it when missing. Entries are refused one by one; the report
    // counts what was written and what was not. budget is charged with what
    // is written and ends the unpacking when it runs out.
    ZipExtractReport ExtractTo(const std::string& folder, ZipBudget& budget);

    // The pieces of an entry name below a target folder; empty when the name
    // must not be written.
    static std::vector<std::string> SafePieces(std::string_view name);

private:
    struct Handle;
    ZipArchive(std::unique_ptr<Handle> handle, std::vector<ZipEntry> entries, ZipLimits limits);

    std::unique_ptr<Handle> handle_;
    std::vector<ZipEntry> entries_;
    ZipLimits limits_;
};

}  // namespace kestrel::platform
