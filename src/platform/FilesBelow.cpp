#include "platform/FilesBelow.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <random>

#include "platform/Files.h"

namespace kestrel::platform {

namespace {

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

// Closes a descriptor when it goes out of scope.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    // Hands the descriptor over to the caller, who closes it.
    int release() {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }

private:
    int fd_;
};

std::string ErrnoText(const std::string& what) { return what + ": " + std::strerror(errno); }

// Opens the folders pieces[0..count) below root one by one without following
// a link. With create, a missing folder is made and a link in the way is
// replaced by a folder; without it, either ends the walk. -1 on failure.
int OpenFolderBelow(int root, const std::vector<std::string>& pieces, std::size_t count, bool create) {
    int fd = ::dup(root);
    for (std::size_t i = 0; i < count && fd >= 0; ++i) {
        const char* piece = pieces[i].c_str();
        int next = ::openat(fd, piece, kFolderFlags);
        if (create && next < 0 && (errno == ELOOP || errno == ENOTDIR)) {
            struct stat info {};
            if (::fstatat(fd, piece, &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(info.st_mode) &&
                ::unlinkat(fd, piece, 0) == 0) {
                errno = ENOENT;
            }
        }
        if (create && next < 0 && errno == ENOENT && (::mkdirat(fd, piece, 0755) == 0 || errno == EEXIST)) {
            next = ::openat(fd, piece, kFolderFlags);
        }
        ::close(fd);
        fd = next;
    }
    return fd;
}

bool WriteAll(int fd, const char* bytes, std::size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, bytes, size);
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

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
        if (!WriteAll(out, buffer, static_cast<std::size_t>(got))) {
            return Error{ErrnoText("cannot write a copy of " + source)};
        }
    }
}

std::string TemporaryName(const std::string& name) {
    std::random_device device;
    return name + ".tmp" + std::to_string(device() % 1000000u);
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
    const std::string temporary = TemporaryName(name);
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
