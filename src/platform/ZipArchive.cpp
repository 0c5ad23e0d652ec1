#include "platform/ZipArchive.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <unzip.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <optional>

#include "platform/Descriptor.h"
#include "platform/Files.h"

namespace kestrel::platform {

namespace {

constexpr std::size_t kBlockBytes = 65536;

// minizip opens the archive with fopen, which would wait for ever on a FIFO.
// The archive is opened here instead (OpenRegularFile checks its type without
// blocking) and minizip is handed the stream of that descriptor.
struct Opener {
    int fd = -1;
    bool handed = false;
};

voidpf OpenCheckedDescriptor(voidpf opaque, const void* /*filename*/, int /*mode*/) {
    auto* opener = static_cast<Opener*>(opaque);
    if (opener->handed) return nullptr;
    FILE* stream = ::fdopen(opener->fd, "rb");
    if (stream) opener->handed = true;
    return stream;
}

}  // namespace

struct ZipArchive::Handle {
    unzFile zip = nullptr;
    std::vector<unz64_file_pos> positions;  // parallel to the entries

    ~Handle() {
        if (zip) unzClose(zip);
    }

    // Makes entry index the current one and opens it for reading.
    bool OpenEntry(std::size_t index) {
        return unzGoToFilePos64(zip, &positions[index]) == UNZ_OK && unzOpenCurrentFile(zip) == UNZ_OK;
    }

    // Inflates the open entry into sink, at most cap bytes; the entry is
    // closed afterwards. nullopt when it is damaged, fails its CRC or would
    // exceed cap.
    template <typename Sink>
    std::optional<std::uint64_t> Inflate(std::uint64_t cap, Sink&& sink) {
        char block[kBlockBytes];
        std::uint64_t total = 0;
        bool intact = true;
        for (;;) {
            const int got = unzReadCurrentFile(zip, block, sizeof block);
            if (got < 0) {
                intact = false;
                break;
            }
            if (got == 0) break;
            total += static_cast<std::uint64_t>(got);
            if (total > cap || !sink(block, static_cast<std::size_t>(got))) {
                intact = false;
                break;
            }
        }
        // A damaged entry fails its check when it is closed.
        if (unzCloseCurrentFile(zip) != UNZ_OK) intact = false;
        if (!intact) return std::nullopt;
        return total;
    }
};

ZipArchive::ZipArchive(std::unique_ptr<Handle> handle, std::vector<ZipEntry> entries, ZipLimits limits)
    : handle_(std::move(handle)), entries_(std::move(entries)), limits_(limits) {}
ZipArchive::ZipArchive(ZipArchive&&) noexcept = default;
ZipArchive& ZipArchive::operator=(ZipArchive&&) noexcept = default;
ZipArchive::~ZipArchive() = default;

Result<ZipArchive> ZipArchive::Open(const std::string& path, ZipLimits limits) {
    Opener opener;
    opener.fd = OpenRegularFile(path);
    if (opener.fd < 0) return Error{"cannot open " + path + ": not a readable regular file"};
    zlib_filefunc64_def functions{};
    fill_fopen64_filefunc(&functions);
    functions.zopen64_file = OpenCheckedDescriptor;
    functions.opaque = &opener;
    auto handle = std::make_unique<Handle>();
    handle->zip = unzOpen2_64(path.c_str(), &functions);
    // minizip closes the stream it was handed when it fails later on.
    if (!opener.handed) ::close(opener.fd);
    if (!handle->zip) return Error{"cannot open " + path + ": not a zip archive"};

    std::vector<ZipEntry> entries;
    struct Span {
        std::uint64_t begin;
        std::uint64_t end;
        std::size_t entry;
    };
    std::vector<Span> spans;
    for (int more = unzGoToFirstFile(handle->zip); more == UNZ_OK; more = unzGoToNextFile(handle->zip)) {
        unz_file_info64 info{};
        if (unzGetCurrentFileInfo64(handle->zip, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK) break;
        std::string name(info.size_filename, '\0');
        unz64_file_pos position{};
        if (unzGetCurrentFileInfo64(handle->zip, &info, name.data(), static_cast<uLong>(name.size() + 1), nullptr,
                                    0, nullptr, 0) != UNZ_OK ||
            unzGetFilePos64(handle->zip, &position) != UNZ_OK) {
            break;
        }
        name.resize(std::min(name.size(), name.find('\0')));
        ZipEntry entry;
        entry.folder = !name.empty() && (name.back() == '/' || name.back() == '\\');
        entry.name = std::move(name);
        entry.size = info.uncompressed_size;
        entry.compressed_size = info.compressed_size;
        // Opening the entry reads its local header, which says where its
        // compressed bytes begin.
        if (unzOpenCurrentFile(handle->zip) == UNZ_OK) {
            entry.readable = true;
            const std::uint64_t begin = unzGetCurrentFileZStreamPos64(handle->zip);
            if (entry.compressed_size > 0) {
                spans.push_back({begin, begin + entry.compressed_size, entries.size()});
            }
            unzCloseCurrentFile(handle->zip);
        }
        handle->positions.push_back(position);
        entries.push_back(std::move(entry));
    }

    // Every entry of a group of spans that overlap is refused.
    std::sort(spans.begin(), spans.end(), [](const Span& a, const Span& b) { return a.begin < b.begin; });
    for (std::size_t first = 0; first < spans.size();) {
        std::size_t last = first + 1;
        std::uint64_t end = spans[first].end;
        while (last < spans.size() && spans[last].begin < end) end = std::max(end, spans[last++].end);
        if (last - first > 1) {
            for (std::size_t k = first; k < last; ++k) entries[spans[k].entry].overlaps = true;
        }
        first = last;
    }
    return ZipArchive(std::move(handle), std::move(entries), limits);
}

Result<std::string> ZipArchive::Read(std::size_t index, std::uint64_t max_bytes) {
    if (index >= entries_.size()) return Error{"no such entry"};
    const ZipEntry& entry = entries_[index];
    const std::uint64_t cap = std::min(max_bytes, limits_.max_entry_bytes);
    if (entry.folder || !entry.readable || entry.overlaps) return Error{"entry cannot be read: " + entry.name};
    if (entry.size > cap) return Error{"entry is too large: " + entry.name};
    if (!handle_->OpenEntry(index)) return Error{"entry cannot be read: " + entry.name};
    std::string bytes;
    const auto total = handle_->Inflate(cap, [&](const char* block, std::size_t size) {
        bytes.append(block, size);
        return true;
    });
    if (!total) return Error{"entry is damaged or too large: " + entry.name};
    return bytes;
}

std::vector<std::string> ZipArchive::SafePieces(std::string_view name) {
    if (name.empty() || name.front() == '/' || name.front() == '\\') return {};
    if (name.find(':') != std::string_view::npos) return {};
    std::vector<std::string> pieces;
    std::size_t begin = 0;
    while (begin <= name.size()) {
        const std::size_t end = std::min(name.find_first_of("/\\", begin), name.size());
        const std::string_view piece = name.substr(begin, end - begin);
        if (piece == "..") return {};
        if (!piece.empty() && piece != ".") pieces.emplace_back(piece);
        begin = end + 1;
    }
    return pieces;
}

ZipExtractReport ZipArchive::ExtractTo(const std::string& folder, ZipBudget& budget) {
    ZipExtractReport report;
    report.opened = true;
    CreateFolders(folder);
    const int root = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (root < 0) {
        report.skipped = static_cast<int>(entries_.size());
        return report;
    }
    std::uint64_t archive_left = limits_.max_archive_bytes;
    for (std::size_t index = 0; index < entries_.size(); ++index) {
        const ZipEntry& entry = entries_[index];
        const std::vector<std::string> pieces = SafePieces(entry.name);
        if (pieces.empty()) {
            ++report.skipped;
            continue;
        }
        if (entry.folder) {
            const int made = OpenFolderBelow(root, pieces, pieces.size(), true);
            if (made >= 0) {
                ::close(made);
                ++report.folders;
            } else {
                ++report.skipped;
            }
            continue;
        }
        const std::uint64_t cap = std::min({limits_.max_entry_bytes, archive_left, budget.left()});
        if (!entry.readable || entry.overlaps || entry.size > cap) {
            ++report.skipped;
            continue;
        }
        const int parent = OpenFolderBelow(root, pieces, pieces.size() - 1, true);
        if (parent < 0) {
            ++report.skipped;
            continue;
        }
        const std::string& file_name = pieces.back();
        const std::string temporary = TemporaryNameBeside(file_name);
        const int out =
            ::openat(parent, temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
        std::optional<std::uint64_t> written;
        if (out >= 0 && handle_->OpenEntry(index)) {
            written = handle_->Inflate(cap, [&](const char* block, std::size_t size) {
                return WriteAll(out, std::string_view(block, size));
            });
        }
        if (out >= 0 && ::close(out) != 0) written.reset();
        // renameat replaces a link of that name instead of writing through it.
        if (out >= 0 && (!written || ::renameat(parent, temporary.c_str(), parent, file_name.c_str()) != 0)) {
            ::unlinkat(parent, temporary.c_str(), 0);
            written.reset();
        }
        ::close(parent);
        if (!written) {
            ++report.skipped;
            continue;
        }
        ++report.files;
        report.bytes += *written;
        archive_left -= std::min(archive_left, *written);
        budget.Spend(*written);
    }
    ::close(root);
    return report;
}

}  // namespace kestrel::platform
