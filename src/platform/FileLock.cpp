#include "platform/FileLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace kestrel::platform {

Result<FileLock> FileLock::TryTake(const std::string& path, bool& busy) {
    busy = false;
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) return Error{"无法打开锁文件 " + path + ": " + std::strerror(errno)};
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(fd);
        busy = error == EWOULDBLOCK;
        return Error{"无法锁定 " + path + ": " + std::strerror(error)};
    }
    return FileLock(fd);
}

FileLock& FileLock::operator=(FileLock&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = other.fd_;
        other.fd_ = -1;
    }
    return *this;
}

FileLock::~FileLock() {
    // Closing the only descriptor of the open file releases the lock.
    if (fd_ >= 0) ::close(fd_);
}

bool IsTerminal(int fd) { return ::isatty(fd) == 1; }

}  // namespace kestrel::platform
