#include "platform/Files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "platform/Descriptor.h"

namespace kestrel::platform {

namespace {

std::string ErrnoText(const char* what, const std::string& path) {
    return std::string(what) + " " + path + ": " + std::strerror(errno);
}


}  // namespace

int OpenRegularFile(const std::string& path) {
    // Opening a FIFO for reading waits for a writer unless O_NONBLOCK is
    // given; with it the open returns at once and fstat tells the type.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) return -1;
    struct stat info {};
    const int flags = ::fcntl(fd, F_GETFL);
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || flags < 0 ||
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

std::optional<std::string> ReadFile(const std::string& path, std::size_t max_bytes) {
    const int fd = OpenRegularFile(path);
    if (fd < 0) return std::nullopt;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || static_cast<std::uint64_t>(info.st_size) > max_bytes) {
        ::close(fd);
        return std::nullopt;
    }
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(info.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR) continue;
            ::close(fd);
            return std::nullopt;
        }
        if (got == 0) break;
        if (bytes.size() + static_cast<std::size_t>(got) > max_bytes) {
            ::close(fd);
            return std::nullopt;
        }
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(fd);
    return bytes;
}

Status WriteFileAtomically(const std::string& path, std::string_view bytes, unsigned mode,
                           Durability durability) {
    const std::string temporary = TemporaryNameBeside(path);
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                          static_cast<mode_t>(mode));
    if (fd < 0) return Error{ErrnoText("cannot create", temporary)};
    // The file may be older than the umask allows us to set; be explicit.
    ::fchmod(fd, static_cast<mode_t>(mode));
    if (!WriteAll(fd, bytes) || (durability == Durability::kSynced && ::fsync(fd) != 0)) {
        const std::string text = ErrnoText("cannot write", temporary);
        ::close(fd);
        ::unlink(temporary.c_str());
        return Error{text};
    }
    if (::close(fd) != 0) {
        const std::string text = ErrnoText("cannot write", temporary);
        ::unlink(temporary.c_str());
        return Error{text};
    }
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        const std::string text = ErrnoText("cannot replace", path);
        ::unlink(temporary.c_str());
        return Error{text};
    }
    return {};
}

int RemoveStaleTemporaries(const std::string& path, std::chrono::seconds min_age) {
    const std::filesystem::path target(path);
    const std::string prefix = target.filename().string() + ".tmp";
    const std::filesystem::path folder = target.parent_path().empty() ? "." : target.parent_path();
    std::error_code error;
    std::filesystem::directory_iterator it(folder, error);
    if (error) return 0;
    const auto now = std::chrono::system_clock::now();
    int removed = 0;
    for (const auto& entry : it) {
        const std::string name = entry.path().filename().string();
        if (name.size() <= prefix.size() || name.size() > prefix.size() + 6 || name.compare(0, prefix.size(), prefix) != 0) {
            continue;
        }
        if (!std::all_of(name.begin() + static_cast<std::ptrdiff_t>(prefix.size()), name.end(),
                         [](char c) { return c >= '0' && c <= '9'; })) {
            continue;
        }
        // lstat: a link of that name is no temporary of ours.
        struct stat info {};
        const std::string full = entry.path().string();
        if (::lstat(full.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) continue;
        const auto changed = std::chrono::system_clock::from_time_t(info.st_mtime);
        if (now - changed < min_age) continue;
        if (::unlink(full.c_str()) == 0) ++removed;
    }
    return removed;
}

bool IsRegularFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool IsExecutableFile(const std::string& path) {
    return IsRegularFile(path) && ::access(path.c_str(), X_OK) == 0;
}

bool IsFolder(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool IsSymbolicLink(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode);
}

bool CreateFolders(const std::string& path) {
    std::error_code error;
    std::filesystem::create_directories(path, error);
    return IsFolder(path);
}

std::vector<std::string> ListFolders(const std::string& path) {
    std::vector<std::string> names;
    std::error_code error;
    std::filesystem::directory_iterator it(path, error);
    if (error) return names;
    for (const auto& entry : it) {
        std::error_code type_error;
        if (entry.is_directory(type_error)) names.push_back(entry.path().filename().string());
    }
    const auto folded = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; };
    std::sort(names.begin(), names.end(), [&folded](const std::string& a, const std::string& b) {
        const bool less = std::lexicographical_compare(
            a.begin(), a.end(), b.begin(), b.end(),
            [&folded](char x, char y) { return folded(x) < folded(y); });
        const bool greater = std::lexicographical_compare(
            b.begin(), b.end(), a.begin(), a.end(),
            [&folded](char x, char y) { return folded(x) < folded(y); });
        return less || (!greater && a < b);
    });
    return names;
}

}  // namespace kestrel::platform
