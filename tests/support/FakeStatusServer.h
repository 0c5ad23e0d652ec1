#pragma once

// FakeStatusServer is a Minecraft server as far as the server list ping goes:
// it reads the handshake and the status request, keeps their bytes for the
// test to check, and answers with the bytes it was given, in pieces of the
// given size (0: all at once) with a short pause between them, or not at all.

#include <chrono>
#include <mutex>
#include <string>
#include <thread>

#include "support/LoopbackServer.h"

namespace kestrel::testing {

// A VarInt written independently of the code under test.
inline std::string TestVarInt(std::uint32_t value) {
    std::string bytes;
    while (value >= 0x80) {
        bytes.push_back(static_cast<char>((value & 0x7F) | 0x80));
        value >>= 7;
    }
    bytes.push_back(static_cast<char>(value));
    return bytes;
}

// A status response: packet length, packet id 0, JSON length, JSON.
inline std::string StatusResponse(const std::string& json) {
    const std::string packet = TestVarInt(0) + TestVarInt(static_cast<std::uint32_t>(json.size())) + json;
    return TestVarInt(static_cast<std::uint32_t>(packet.size())) + packet;
}

class FakeStatusServer {
public:
    enum Mode { kAnswer, kSilent };

    explicit FakeStatusServer(std::string reply, std::size_t piece = 0, Mode mode = kAnswer)
        : reply_(std::move(reply)), piece_(piece), mode_(mode),
          server_([this](int fd, const std::atomic<bool>& stopping) { Serve(fd, stopping); }) {}

    std::string address() const { return server_.address(); }
    std::uint16_t port() const { return server_.port(); }
    std::string Received() const {
        std::lock_guard lock(mutex_);
        return received_;
    }

private:
    // True once the handshake (its length prefix says how long) and the two
    // bytes of the status request are in.
    static bool HaveRequest(const std::string& bytes) {
        if (bytes.empty()) return false;
        const auto length = static_cast<unsigned char>(bytes[0]);
        return length < 0x80 && bytes.size() >= 1u + length + 2u;
    }

    void Serve(int fd, const std::atomic<bool>& stopping) {
        const std::string request = ReceiveUntil(fd, stopping, &HaveRequest);
        {
            std::lock_guard lock(mutex_);
            received_ = request;
        }
        if (mode_ == kSilent) return StaySilent(fd, stopping);
        if (piece_ == 0) return SendBytes(fd, reply_);
        for (std::size_t at = 0; at < reply_.size() && !stopping; at += piece_) {
            SendBytes(fd, std::string_view(reply_).substr(at, piece_));
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }

    std::string reply_;
    std::size_t piece_;
    Mode mode_;
    mutable std::mutex mutex_;
    std::string received_;
    LoopbackServer server_;
};

}  // namespace kestrel::testing
