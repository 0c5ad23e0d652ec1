#pragma once

// LoopbackServer listens on 127.0.0.1 at a free port and hands every accepted
// connection to a handler on a thread of its own, for tests that need a peer
// speaking raw bytes (the server list ping, an HTTP server that records the
// exact request, servers that stay silent or send garbage). The destructor
// asks handlers to stop and joins every thread.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace kestrel::testing {

class LoopbackServer {
public:
    using Handler = std::function<void(int fd, const std::atomic<bool>& stopping)>;

    explicit LoopbackServer(Handler handler) : handler_(std::move(handler)) {
        listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (listener_ < 0 || ::bind(listener_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
            ::listen(listener_, 16) != 0 ||
            ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
            std::abort();
        }
        port_ = ntohs(address.sin_port);
        acceptor_ = std::thread([this] { AcceptLoop(); });
    }

    ~LoopbackServer() {
        stopping_ = true;
        acceptor_.join();
        for (std::thread& worker : workers_) worker.join();
        ::close(listener_);
    }

    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    std::uint16_t port() const { return port_; }
    std::string address() const { return "127.0.0.1:" + std::to_string(port_); }
    int connections() const { return connections_; }

private:
    void AcceptLoop() {
        while (!stopping_) {
            pollfd entry{listener_, POLLIN, 0};
            if (::poll(&entry, 1, 20) <= 0) continue;
            const int fd = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
            if (fd < 0) continue;
            ++connections_;
            workers_.emplace_back([this, fd] {
                handler_(fd, stopping_);
                ::close(fd);
            });
        }
    }

    Handler handler_;
    int listener_ = -1;
    std::uint16_t port_ = 0;
    std::atomic<bool> stopping_{false};
    std::atomic<int> connections_{0};
    std::thread acceptor_;
    std::vector<std::thread> workers_;
};

// A listener on 127.0.0.1 whose accept queue is full, for a connect that never
// completes: it listens with a backlog of 0 and one connection, never
// accepted, fills the queue, so the kernel drops the SYN of every further
// connect, which then stays pending until its client gives up.
class FullBacklogListener {
public:
    FullBacklogListener() {
        listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (listener_ < 0 || ::bind(listener_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
            ::listen(listener_, 0) != 0 ||
            ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
            std::abort();
        }
        port_ = ntohs(address.sin_port);
        filler_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        if (filler_ < 0) std::abort();
        if (::connect(filler_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 && errno != EINPROGRESS) {
            std::abort();
        }
        // The filler's handshake completes at once on loopback; from then on
        // the queue is full.
        pollfd entry{filler_, POLLOUT, 0};
        if (::poll(&entry, 1, 5000) != 1) std::abort();
    }

    ~FullBacklogListener() {
        ::close(filler_);
        ::close(listener_);
    }

    FullBacklogListener(const FullBacklogListener&) = delete;
    FullBacklogListener& operator=(const FullBacklogListener&) = delete;

    std::uint16_t port() const { return port_; }
    std::string address() const { return "127.0.0.1:" + std::to_string(port_); }

private:
    int listener_ = -1;
    int filler_ = -1;
    std::uint16_t port_ = 0;
};

inline void SendBytes(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t sent = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (sent <= 0) return;
        bytes.remove_prefix(static_cast<std::size_t>(sent));
    }
}

// Receives until done(received) holds, the peer closes, the server stops or
// five seconds pass.
inline std::string ReceiveUntil(int fd, const std::atomic<bool>& stopping,
                                const std::function<bool(const std::string&)>& done) {
    std::string received;
    for (int waited = 0; waited < 5000 && !stopping && !done(received); waited += 20) {
        pollfd entry{fd, POLLIN, 0};
        if (::poll(&entry, 1, 20) <= 0) continue;
        char buffer[4096];
        const ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
        if (got <= 0) break;
        received.append(buffer, static_cast<std::size_t>(got));
    }
    return received;
}

// Holds the connection open without a word until the peer closes it or the
// server stops.
inline void StaySilent(int fd, const std::atomic<bool>& stopping) {
    while (!stopping) {
        pollfd entry{fd, POLLIN, 0};
        if (::poll(&entry, 1, 20) <= 0) continue;
        char buffer[4096];
        if (::recv(fd, buffer, sizeof buffer, 0) <= 0) return;
    }
}

}  // namespace kestrel::testing
