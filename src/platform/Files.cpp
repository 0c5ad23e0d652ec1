#include "platform/Files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <random>

namespace kestrel::platform {

namespace {

std::string ErrnoText(const char* what, const std::string& path) {
    return std::string(what) + " " + path + ": " + std::strerror(errno);
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

std::string TemporaryNameBeside(const std::string& path) {
    std::random_device device;
    return path + ".tmp" + std::to_string(device() % 1000000u);
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

bool IsRegularFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
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
