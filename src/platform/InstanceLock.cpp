#include "platform/InstanceLock.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <utility>

namespace kestrel::platform {

namespace {

// The name both files share: the program folder's real path, hashed (FNV-1a,
// which every build of the launcher computes alike), so that two names of
// one folder (a link, a trailing separator) meet in one lock.
std::string KeyOf(const std::string& program_folder) {
    std::error_code error;
    std::string path = std::filesystem::weakly_canonical(program_folder, error).string();
    if (error || path.empty()) path = program_folder;
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    std::uint64_t hash = 0xcbf29ce484222325ull;
    for (const unsigned char c : path) {
        hash ^= c;
        hash *= 0x100000001b3ull;
    }
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
    return std::string("kestrel-") + text;
}

bool FillAddress(const std::string& path, sockaddr_un& address) {
    address = {};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) return false;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return true;
}

}  // namespace

Result<InstanceLock> InstanceLock::TryAcquire(const std::string& program_folder, const std::string& runtime_folder) {
    const std::string base = runtime_folder + "/" + KeyOf(program_folder);
    InstanceLock lock;
    const int fd = ::open((base + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return Error{"无法创建文件 " + base + ".lock: " + std::strerror(errno)};
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int why = errno;
        ::close(fd);
        if (why == EWOULDBLOCK) return lock;  // another launcher holds it
        return Error{"无法锁定文件 " + base + ".lock: " + std::strerror(why)};
    }
    lock.lock_fd_ = fd;

    // Only the holder touches the socket file, so a file left by a holder
    // that crashed can be replaced without a race.
    sockaddr_un address;
    const std::string socket_path = base + ".socket";
    if (!FillAddress(socket_path, address)) return Error{"路径过长: " + socket_path};
    ::unlink(socket_path.c_str());
    lock.listen_fd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (lock.listen_fd_ < 0 || ::bind(lock.listen_fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(lock.listen_fd_, 8) != 0) {
        return Error{"无法创建套接字 " + socket_path + ": " + std::strerror(errno)};
    }
    lock.socket_path_ = socket_path;
    return lock;
}

Result<std::string> InstanceLock::AskHolder(const std::string& program_folder, const std::string& runtime_folder,
                                            int patience_ms) {
    const std::string socket_path = runtime_folder + "/" + KeyOf(program_folder) + ".socket";
    sockaddr_un address;
    if (!FillAddress(socket_path, address)) return Error{"路径过长: " + socket_path};
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return Error{std::strerror(errno)};
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        const int why = errno;
        ::close(fd);
        return Error{"无法连接 " + socket_path + ": " + std::strerror(why)};
    }
    std::string line;
    pollfd entry{fd, POLLIN, 0};
    char buffer[256];
    while (line.find('\n') == std::string::npos && line.size() < 4096) {
        if (::poll(&entry, 1, patience_ms) <= 0) break;
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got <= 0) break;
        line.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(fd);
    const auto end = line.find('\n');
    if (end == std::string::npos) return Error{"正在运行的启动器没有回答"};
    return line.substr(0, end);
}

Result<std::string> InstanceLock::UserRuntimeFolder() {
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime) {
        std::error_code error;
        if (std::filesystem::is_directory(runtime, error)) return std::string(runtime);
    }
    const std::string folder = "/tmp/kestrel-" + std::to_string(::getuid());
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        return Error{"无法创建文件夹 " + folder + ": " + std::strerror(errno)};
    }
    // Anyone may make folders in /tmp: use it only when it is ours alone,
    // or another user could hold our lock or answer for our launcher.
    struct stat status;
    if (::lstat(folder.c_str(), &status) != 0 || !S_ISDIR(status.st_mode) || status.st_uid != ::getuid() ||
        (status.st_mode & 077) != 0) {
        return Error{"文件夹 " + folder + " 不属于当前用户"};
    }
    return folder;
}

void InstanceLock::AnswerRequest(std::string_view line) const {
    if (listen_fd_ < 0) return;
    for (;;) {
        const int fd = ::accept4(listen_fd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) return;
        std::string text(line);
        text += '\n';
        // A short line fits in an empty socket's buffer: this does not block.
        [[maybe_unused]] const ssize_t sent = ::send(fd, text.data(), text.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
        ::close(fd);
    }
}

InstanceLock::InstanceLock(InstanceLock&& other) noexcept
    : lock_fd_(std::exchange(other.lock_fd_, -1)),
      listen_fd_(std::exchange(other.listen_fd_, -1)),
      socket_path_(std::move(other.socket_path_)) {}

InstanceLock& InstanceLock::operator=(InstanceLock&& other) noexcept {
    if (this != &other) {
        Release();
        lock_fd_ = std::exchange(other.lock_fd_, -1);
        listen_fd_ = std::exchange(other.listen_fd_, -1);
        socket_path_ = std::move(other.socket_path_);
    }
    return *this;
}

InstanceLock::~InstanceLock() { Release(); }

void InstanceLock::Release() {
    // The socket goes first, while the lock still keeps a new holder from
    // making its own under the same name.
    if (listen_fd_ >= 0) {
        ::close(listen_fd_);
        if (!socket_path_.empty()) ::unlink(socket_path_.c_str());
        listen_fd_ = -1;
    }
    if (lock_fd_ >= 0) {
        ::close(lock_fd_);
        lock_fd_ = -1;
    }
}

}  // namespace kestrel::platform
