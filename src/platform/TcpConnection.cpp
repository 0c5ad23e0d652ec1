#include "platform/TcpConnection.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

namespace kestrel::platform {

namespace {

enum class Wait { kReady, kTimedOut, kFailed, kStopped };

// Waits for the events on the socket until the time-out passes. While a stop
// is possible it polls in slices and looks at the token between them, so a
// stop request is seen within one slice.
Wait WaitFor(int fd, short events, int timeout_ms, const std::stop_token& stop) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeout_ms);
    for (;;) {
        if (stop.stop_requested()) return Wait::kStopped;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        int slice = left > 0 ? static_cast<int>(left) : 0;
        if (stop.stop_possible() && slice > kStopSliceMs) slice = kStopSliceMs;
        pollfd entry{fd, events, 0};
        const int ready = ::poll(&entry, 1, slice);
        if (ready < 0 && errno == EINTR) continue;
        if (ready < 0) return Wait::kFailed;
        if (ready > 0) return Wait::kReady;
        if (Clock::now() >= deadline) return Wait::kTimedOut;
    }
}

}  // namespace

Result<TcpConnection> TcpConnection::Connect(const std::string& ipv4, std::uint16_t port, int timeout_ms,
                                             std::stop_token stop) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    if (::inet_pton(AF_INET, ipv4.c_str(), &address.sin_addr) != 1) return Error{"invalid address " + ipv4};
    if (stop.stop_requested()) return Error{"connect: stopped"};
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, IPPROTO_TCP);
    if (fd < 0) return Error{std::string("socket: ") + std::strerror(errno)};
    TcpConnection connection(fd);
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        if (errno != EINPROGRESS) return Error{std::string("connect: ") + std::strerror(errno)};
        // The socket is non-blocking, so the connect goes on in the kernel
        // while this waits for it in slices; closing the socket on the way
        // out abandons a connect that was stopped.
        const Wait ready = WaitFor(fd, POLLOUT, timeout_ms, stop);
        if (ready == Wait::kTimedOut) return Error{"connect: timed out"};
        if (ready == Wait::kStopped) return Error{"connect: stopped"};
        int problem = 0;
        socklen_t length = sizeof problem;
        if (ready == Wait::kFailed || ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &problem, &length) != 0) {
            return Error{std::string("connect: ") + std::strerror(errno)};
        }
        if (problem != 0) return Error{std::string("connect: ") + std::strerror(problem)};
    }
    return connection;
}

TcpConnection& TcpConnection::operator=(TcpConnection&& other) noexcept {
    if (this != &other) {
        Close();
        fd_ = other.fd_;
        other.fd_ = -1;
    }
    return *this;
}

TcpConnection::~TcpConnection() { Close(); }

void TcpConnection::Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

Status TcpConnection::SendAll(std::string_view bytes, int timeout_ms, std::stop_token stop) {
    if (fd_ < 0) return Error{"send: not connected"};
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    while (!bytes.empty()) {
        if (stop.stop_requested()) return Error{"send: stopped"};
        const ssize_t sent = ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (sent >= 0) {
            bytes.remove_prefix(static_cast<std::size_t>(sent));
            continue;
        }
        if (errno == EINTR) continue;
        if (errno != EAGAIN && errno != EWOULDBLOCK) return Error{std::string("send: ") + std::strerror(errno)};
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        const Wait ready = left.count() > 0 ? WaitFor(fd_, POLLOUT, static_cast<int>(left.count()), stop)
                                            : Wait::kTimedOut;
        if (ready == Wait::kStopped) return Error{"send: stopped"};
        if (ready != Wait::kReady) return Error{"send: timed out"};
    }
    return {};
}

Result<std::string> TcpConnection::Receive(std::size_t max_bytes, int timeout_ms, std::stop_token stop) {
    if (fd_ < 0) return Error{"receive: not connected"};
    const Wait ready = WaitFor(fd_, POLLIN, timeout_ms, stop);
    if (ready == Wait::kTimedOut) return Error{"receive: timed out"};
    if (ready == Wait::kStopped) return Error{"receive: stopped"};
    if (ready == Wait::kFailed) return Error{std::string("receive: ") + std::strerror(errno)};
    std::string bytes(max_bytes, '\0');
    for (;;) {
        const ssize_t got = ::recv(fd_, bytes.data(), bytes.size(), 0);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return Error{std::string("receive: ") + std::strerror(errno)};
        bytes.resize(static_cast<std::size_t>(got));
        return bytes;
    }
}

std::string ResolveIpv4(const std::string& host) {
    if (host.empty()) return {};
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (::getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || !found) return {};
    char text[INET_ADDRSTRLEN] = {};
    const auto* address = reinterpret_cast<const sockaddr_in*>(found->ai_addr);
    const bool ok = ::inet_ntop(AF_INET, &address->sin_addr, text, sizeof text) != nullptr;
    ::freeaddrinfo(found);
    return ok ? std::string(text) : std::string();
}

}  // namespace kestrel::platform
