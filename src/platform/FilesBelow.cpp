#include "platform/FilesBelow.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/Descriptor.h"
#include "platform/Files.h"

namespace kestrel::platform {

namespace {

std::string ErrnoText(const std::string& what) { return what + ": " + std::strerror(errno); }

// Copies exactly size bytes from in to out; the error when in has fewer or
// more, or a read or write fails.
Status CopyExactly(int in, int out, std::uint64_t size, const std::string& source) {
    char buffer[65536];
    std::uint64_t copied = 0;
    for (;;) {
        const ssize_t got = ::read(in, buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR) continue;
            return Error{ErrnoText("cannot read " + source)};
        }
        if (got == 0) {
            if (copied != size) return Error{"changed while it was copied: " + source};
            return {};
        }
        copied += static_cast<std::uint64_t>(got);
        if (copied > size) return Error{"changed while it was copied: " + source};
        if (!WriteAll(out, std::string_view(buffer, static_cast<std::size_t>(got)))) {
            return Error{ErrnoText("cannot write a copy of " + source)};
        }
    }
}

}  // namespace

bool ArePlainPieces(const std::vector<std::string>& pieces) {
    if (pieces.empty()) return false;
    for (const std::string& piece : pieces) {
        if (piece.empty() || piece == "." || piece == ".." || piece.find('/') != std::string::npos ||
            piece.find('\0') != std::string::npos) {
            return false;
        }
    }
    return true;
}

std::optional<std::uint64_t> RegularFileSizeBelow(const std::string& folder, const std::vector<std::string>& pieces) {
    if (!ArePlainPieces(pieces)) return std::nullopt;
    const Descriptor root(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (root.get() < 0) return std::nullopt;
    const Descriptor parent(OpenFolderBelow(root.get(), pieces, pieces.size() - 1, false));
    if (parent.get() < 0) return std::nullopt;
    struct stat info {};
    if (::fstatat(parent.get(), pieces.back().c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(info.st_mode)) {
        return std::nullopt;
    }
    return static_cast<std::uint64_t>(info.st_size);
}

Status CopyFileBelow(const std::string& source, std::uint64_t size, const std::string& folder,
                     const std::vector<std::string>& pieces) {
    if (!ArePlainPieces(pieces)) return Error{"unsafe name below " + folder};
    const Descriptor in(OpenRegularFile(source));
    if (in.get() < 0) return Error{"no regular file: " + source};
    struct stat info {};
    if (::fstat(in.get(), &info) != 0 || static_cast<std::uint64_t>(info.st_size) != size) {
        return Error{"wrong size: " + source};
    }
    CreateFolders(folder);
    const Descriptor root(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (root.get() < 0) return Error{ErrnoText("cannot open " + folder)};
    const Descriptor parent(OpenFolderBelow(root.get(), pieces, pieces.size() - 1, true));
    if (parent.get() < 0) return Error{ErrnoText("cannot make the folders of " + pieces.back())};

    const std::string& name = pieces.back();
    const std::string temporary = TemporaryNameBeside(name);
    Descriptor out(::openat(parent.get(), temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                            0644));
    if (out.get() < 0) return Error{ErrnoText("cannot create " + temporary)};
    const Status copied = CopyExactly(in.get(), out.get(), size, source);
    bool whole = copied.ok();
    std::string error = copied.error();
    if (::close(out.release()) != 0 && whole) {
        whole = false;
        error = ErrnoText("cannot write " + temporary);
    }
    // renameat replaces a link of that name instead of writing through it.
    if (whole && ::renameat(parent.get(), temporary.c_str(), parent.get(), name.c_str()) != 0) {
        whole = false;
        error = ErrnoText("cannot replace " + name);
    }
    if (!whole) {
        ::unlinkat(parent.get(), temporary.c_str(), 0);
        return Error{error};
    }
    return {};
}

}  // namespace kestrel::platform
