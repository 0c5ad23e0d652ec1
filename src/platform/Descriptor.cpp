#include "platform/Descriptor.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <random>

namespace kestrel::platform {

void Descriptor::reset(int fd) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = fd;
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

int OpenFolderBelow(int root, const std::vector<std::string>& pieces, std::size_t count, bool create) {
    constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
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
        const int saved = errno;
        ::close(fd);
        errno = saved;
        fd = next;
    }
    return fd;
}

}  // namespace kestrel::platform
