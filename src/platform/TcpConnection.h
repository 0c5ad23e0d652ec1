#pragma once

// TcpConnection is one IPv4 TCP connection with time-outs on every step:
// connecting, sending and receiving each give up after the time they are
// given, so a server that accepts and then stays silent cannot hold a worker
// thread.
//
// Each step also takes a stop token. While a stop is possible the step waits
// in short slices (kStopSliceMs) and looks at the token between them, so a
// stop request ends a pending connect, send or receive within a slice with
// an error ending in "stopped"; no thread is interrupted and no signal is
// sent. Without a token (the default) a step waits as long as its time-out.
//
// Threading: one thread uses a connection; it closes itself when destroyed.
// The stop token may be requested from any thread.

#include <cstdint>
#include <stop_token>
#include <string>
#include <string_view>

#include "platform/Result.h"

namespace kestrel::platform {

// How long a step waits at most before it looks at its stop token again.
inline constexpr int kStopSliceMs = 50;

class TcpConnection {
public:
    // Connects to a dotted IPv4 address; fails on an invalid address, a
    // refused connection, when the time-out passes first or when the stop is
    // requested first.
    static Result<TcpConnection> Connect(const std::string& ipv4, std::uint16_t port, int timeout_ms,
                                         std::stop_token stop = {});

    TcpConnection(TcpConnection&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
    TcpConnection& operator=(TcpConnection&& other) noexcept;
    TcpConnection(const TcpConnection&) = delete;
    TcpConnection& operator=(const TcpConnection&) = delete;
    ~TcpConnection();

    // Sends every byte or fails (also when the stop is requested first).
    Status SendAll(std::string_view bytes, int timeout_ms, std::stop_token stop = {});

    // Waits up to the time-out for bytes and returns up to max_bytes of them;
    // an empty text when the peer has closed the connection. Fails on a
    // time-out, an error or a stop request.
    Result<std::string> Receive(std::size_t max_bytes, int timeout_ms, std::stop_token stop = {});

    void Close();

private:
    explicit TcpConnection(int fd) : fd_(fd) {}
    int fd_ = -1;
};

// The dotted IPv4 text of the host's first IPv4 address (a dotted address
// stands for itself); "" when the host cannot be resolved.
std::string ResolveIpv4(const std::string& host);

}  // namespace kestrel::platform
