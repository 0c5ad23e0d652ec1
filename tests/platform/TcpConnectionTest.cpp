#include "platform/TcpConnection.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <stop_token>

#include "platform/IcmpEcho.h"
#include "support/LoopbackServer.h"
#include "support/StopLater.h"

namespace kestrel::platform {
namespace {

using testing::FullBacklogListener;
using testing::LoopbackServer;
using testing::StopLater;

using Steady = std::chrono::steady_clock;

// Far longer than the guard below: a step that ends within the guard ended
// because of the stop, not its time-out.
constexpr int kLong = 60000;
constexpr auto kGuard = std::chrono::seconds(5);

TEST(TcpConnection, AStopEndsAWaitingStepWithAStoppedError) {
    LoopbackServer silent(testing::StaySilent);
    FullBacklogListener full;
    struct Case {
        const char* name;
        std::function<Status(std::stop_token)> step;
    };
    const Case cases[] = {
        {"receive from a server that accepts and stays silent",
         [&](std::stop_token stop) -> Status {
             auto connection = TcpConnection::Connect("127.0.0.1", silent.port(), kLong);
             if (!connection.ok()) return Error{"setup: " + connection.error()};
             auto bytes = connection.value().Receive(1024, kLong, stop);
             if (bytes.ok()) return {};
             return Error{bytes.error()};
         }},
        {"connect whose handshake never completes",
         [&](std::stop_token stop) -> Status {
             auto connection = TcpConnection::Connect("127.0.0.1", full.port(), kLong, stop);
             if (connection.ok()) return {};
             return Error{connection.error()};
         }},
    };
    for (const Case& test : cases) {
        std::stop_source source;
        const StopLater stopper(source, 100);
        const auto start = Steady::now();
        const Status result = test.step(source.get_token());
        EXPECT_LT(Steady::now() - start, kGuard) << test.name;
        ASSERT_FALSE(result.ok()) << test.name;
        EXPECT_TRUE(result.error().ends_with(": stopped")) << test.name << ": " << result.error();
    }
}

TEST(TcpConnection, AStopAlreadyRequestedFailsEveryStepAtOnce) {
    LoopbackServer silent(testing::StaySilent);
    std::stop_source source;
    source.request_stop();
    const std::stop_token stopped = source.get_token();

    auto refused = TcpConnection::Connect("127.0.0.1", silent.port(), kLong, stopped);
    ASSERT_FALSE(refused.ok());
    EXPECT_EQ(refused.error(), "connect: stopped");

    auto connection = TcpConnection::Connect("127.0.0.1", silent.port(), kLong);
    ASSERT_TRUE(connection.ok());
    const Status sent = connection.value().SendAll("bytes", kLong, stopped);
    ASSERT_FALSE(sent.ok());
    EXPECT_EQ(sent.error(), "send: stopped");
    auto received = connection.value().Receive(16, kLong, stopped);
    ASSERT_FALSE(received.ok());
    EXPECT_EQ(received.error(), "receive: stopped");

    EXPECT_EQ(IcmpEchoMs("127.0.0.1", kLong, stopped), -1);
}

TEST(TcpConnection, WithAStopPossibleTheTimeOutStillRunsItsFullLength) {
    // The waits go in slices while a stop is possible; a slice that passes
    // without bytes must not end the wait before its time-out.
    LoopbackServer silent(testing::StaySilent);
    auto connection = TcpConnection::Connect("127.0.0.1", silent.port(), kLong);
    ASSERT_TRUE(connection.ok());
    std::stop_source never_requested;
    const int timeout_ms = 4 * kStopSliceMs;
    const auto start = Steady::now();
    auto received = connection.value().Receive(16, timeout_ms, never_requested.get_token());
    EXPECT_GE(Steady::now() - start, std::chrono::milliseconds(timeout_ms));
    ASSERT_FALSE(received.ok());
    EXPECT_EQ(received.error(), "receive: timed out");
}

TEST(TcpConnection, WithAStopPossibleBytesAndConnectsStillArrive) {
    LoopbackServer echo([](int fd, const std::atomic<bool>& stopping) {
        const std::string got = testing::ReceiveUntil(fd, stopping, [](const std::string& r) { return r.size() >= 4; });
        testing::SendBytes(fd, got);
    });
    std::stop_source never_requested;
    const std::stop_token stop = never_requested.get_token();
    auto connection = TcpConnection::Connect("127.0.0.1", echo.port(), kLong, stop);
    ASSERT_TRUE(connection.ok()) << connection.error();
    ASSERT_TRUE(connection.value().SendAll("ping", kLong, stop).ok());
    std::string back;
    while (back.size() < 4) {
        auto bytes = connection.value().Receive(16, kLong, stop);
        ASSERT_TRUE(bytes.ok()) << bytes.error();
        ASSERT_FALSE(bytes->empty());
        back += *bytes;
    }
    EXPECT_EQ(back, "ping");
}

}  // namespace
}  // namespace kestrel::platform
