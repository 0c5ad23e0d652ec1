#include "servers/ServerTool.h"

#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>

#include "net/JsonDocument.h"
#include "platform/IcmpEcho.h"
#include "servers/StatusProtocol.h"
#include "support/FakeStatusServer.h"
#include "support/StopLater.h"

namespace kestrel::servers {
namespace {

using testing::FakeStatusServer;
using testing::StatusResponse;

const QueryOptions kFast{1000, 1000, 500, 500};

TEST(ServerPing, HandshakeCarriesTheAddressAndThePortBigEndian) {
    EXPECT_EQ(StatusRequest("127.0.0.1", 25565),
              std::string("\x0F\x00\x01\x09" "127.0.0.1" "\x63\xDD\x01" "\x01\x00", 18));

    FakeStatusServer server(StatusResponse(R"({"version":{"name":"1.20.1"}})"));
    ServerStatus status;
    ASSERT_TRUE(ServerTool(kFast).QueryServerStatus(server.address(), status));
    std::string expected("\x0F\x00\x01\x09" "127.0.0.1", 13);
    expected.push_back(static_cast<char>(server.port() >> 8));
    expected.push_back(static_cast<char>(server.port() & 0xFF));
    expected += std::string("\x01\x01\x00", 3);
    EXPECT_EQ(server.Received(), expected);
}

TEST(ServerPing, ResponsesAreReadByTheirFraming) {
    const std::string short_json =
        R"({"version":{"name":"1.8.9"},"players":{"max":20,"online":3},"description":"§aHi"})";
    ASSERT_LT(short_json.size(), 128u);
    const std::string long_json = R"({"version":{"name":"big"},"players":{"max":1,"online":0},"description":")" +
                                  std::string(40000, 'x') + R"("})";
    struct Case {
        const char* name;
        std::string reply;
        std::size_t piece;
        std::string version;
        std::size_t description_size;
    };
    const Case cases[] = {
        {"short JSON", StatusResponse(short_json), 0, "1.8.9", 2},
        {"JSON over 16383 bytes", StatusResponse(long_json), 0, "big", 40000},
        {"split into small TCP segments", StatusResponse(short_json), 7, "1.8.9", 2},
        {"long JSON in 1000-byte segments", StatusResponse(long_json), 1000, "big", 40000},
    };
    for (const Case& test : cases) {
        FakeStatusServer server(test.reply, test.piece);
        ServerStatus status;
        ASSERT_TRUE(ServerTool(kFast).QueryServerStatus(server.address(), status)) << test.name;
        EXPECT_EQ(status.version_name, test.version) << test.name;
        EXPECT_EQ(status.description.size(), test.description_size) << test.name;
        EXPECT_FALSE(status.echo.empty()) << test.name;
    }
    FakeStatusServer server(StatusResponse(short_json));
    ServerStatus status;
    ASSERT_TRUE(ServerTool(kFast).QueryServerStatus(server.address(), status));
    EXPECT_EQ(status.players_online, "3");
    EXPECT_EQ(status.players_max, "20");
    EXPECT_EQ(status.description, "Hi");
}

TEST(ServerPing, BrokenAnswersFailTheQueryInTime) {
    const std::string valid = StatusResponse(R"({"version":{"name":"x"}})");
    struct Case {
        const char* name;
        std::string reply;
        FakeStatusServer::Mode mode;
    };
    const Case cases[] = {
        {"garbage", "\xFF\xFF\xFF\xFF\xFF\xFF garbage", FakeStatusServer::kAnswer},
        {"truncated packet", valid.substr(0, valid.size() - 5), FakeStatusServer::kAnswer},
        {"2 MiB length", testing::TestVarInt(2u << 20) + std::string(100, '{'), FakeStatusServer::kAnswer},
        {"packet id 1", std::string("\x03\x01\x01{", 4), FakeStatusServer::kAnswer},
        {"string longer than its packet", std::string("\x03\x00\x09{}", 5), FakeStatusServer::kAnswer},
        {"not JSON", StatusResponse("not json"), FakeStatusServer::kAnswer},
        {"closes without a word", "", FakeStatusServer::kAnswer},
        {"accepts and stays silent", "", FakeStatusServer::kSilent},
    };
    for (const Case& test : cases) {
        FakeStatusServer server(test.reply, 0, test.mode);
        ServerStatus status;
        const auto start = std::chrono::steady_clock::now();
        EXPECT_FALSE(ServerTool(kFast).QueryServerStatus(server.address(), status)) << test.name;
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1500)) << test.name;
        // The server was reached, so the board shows it online without
        // details rather than offline.
        EXPECT_FALSE(status.echo.empty()) << test.name;
        EXPECT_EQ(status.version_name, "") << test.name;
    }
}

TEST(ServerPing, AStopEndsTheQueryPromptlyWithAnEmptyRecord) {
    // Time-outs far longer than the guard: a query that ends within the guard
    // ended because of the stop.
    const QueryOptions slow{60000, 60000, 60000, 60000};
    const auto guard = std::chrono::seconds(5);
    FakeStatusServer silent("", 0, FakeStatusServer::kSilent);
    testing::FullBacklogListener full;
    FakeStatusServer answering(StatusResponse(R"({"version":{"name":"1.20.1"}})"));
    struct Case {
        const char* name;
        std::string address;
        bool stop_before;
    };
    const Case cases[] = {
        {"server accepts and stays silent", silent.address(), false},
        {"connect never completes", full.address(), false},
        {"stop requested before the query", answering.address(), true},
    };
    for (const Case& test : cases) {
        std::stop_source source;
        if (test.stop_before) source.request_stop();
        const testing::StopLater stopper(source, 100);
        ServerStatus status;
        status.echo = "stale";
        const auto start = std::chrono::steady_clock::now();
        EXPECT_FALSE(ServerTool(slow).QueryServerStatus(test.address, status, source.get_token())) << test.name;
        EXPECT_LT(std::chrono::steady_clock::now() - start, guard) << test.name;
        // No echo was measured for a stopped query, so nothing reads as
        // blocked or as online.
        EXPECT_EQ(status.echo, "") << test.name;
        EXPECT_EQ(status.version_name, "") << test.name;
    }
}

TEST(ServerPing, AStopThatIsNeverRequestedChangesNothing) {
    std::stop_source never_requested;
    const std::string json = R"({"version":{"name":"1.8.9"},"players":{"max":20,"online":3},"description":"Hi"})";
    FakeStatusServer server(StatusResponse(json), 7);
    ServerStatus status;
    ASSERT_TRUE(ServerTool(kFast).QueryServerStatus(server.address(), status, never_requested.get_token()));
    EXPECT_EQ(status.version_name, "1.8.9");
    EXPECT_EQ(status.description, "Hi");
    EXPECT_FALSE(status.echo.empty());

    FakeStatusServer silent("", 0, FakeStatusServer::kSilent);
    EXPECT_FALSE(ServerTool(kFast).QueryServerStatus(silent.address(), status, never_requested.get_token()));
    EXPECT_FALSE(status.echo.empty());
}

TEST(ServerPing, UnreachableAddressesLeaveTheRecordEmpty) {
    // A port nothing listens on: bind one, then close it.
    const int probe = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ::bind(probe, reinterpret_cast<sockaddr*>(&address), length);
    ::getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length);
    const std::string closed = "127.0.0.1:" + std::to_string(ntohs(address.sin_port));
    ::close(probe);
    for (const std::string& target : {closed, std::string("127.0.0.1:0"), std::string("127.0.0.1:70000"),
                                      std::string("127.0.0.1:12ab"), std::string(":25565"), std::string("")}) {
        ServerStatus status;
        status.echo = "stale";
        EXPECT_FALSE(ServerTool(kFast).QueryServerStatus(target, status)) << target;
        EXPECT_EQ(status.echo, "") << target;
    }
    EXPECT_EQ(ResolveHost("127.0.0.1"), "127.0.0.1");
    EXPECT_EQ(ResolveHost("localhost"), "127.0.0.1");
    EXPECT_EQ(ResolveHost(""), "");
}

// Every failure has its reason, and the reason agrees with the plain query.
TEST(ServerPing, AFailedQueryTellsWhy) {
    const int probe = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ::bind(probe, reinterpret_cast<sockaddr*>(&address), length);
    ::getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length);
    const std::string closed = "127.0.0.1:" + std::to_string(ntohs(address.sin_port));
    ::close(probe);
    FakeStatusServer answering(StatusResponse(R"({"version":{"name":"1.20.1"}})"));
    FakeStatusServer garbage("\xFF\xFF\xFF\xFF\xFF\xFF garbage");
    FakeStatusServer not_json(StatusResponse("not json"));
    FakeStatusServer closes("");
    FakeStatusServer silent("", 0, FakeStatusServer::kSilent);
    testing::FullBacklogListener full;
    const QueryOptions fast_connect{300, 1000, 500, 500};
    struct Case {
        std::string address;
        QueryFailure failure;
        QueryOptions options;
    };
    const Case cases[] = {
        {answering.address(), QueryFailure::kNone, kFast},
        {closed, QueryFailure::kRefused, kFast},
        {garbage.address(), QueryFailure::kNotMinecraft, kFast},
        {not_json.address(), QueryFailure::kNotMinecraft, kFast},
        {closes.address(), QueryFailure::kNotMinecraft, kFast},
        {silent.address(), QueryFailure::kTimedOut, kFast},
        {full.address(), QueryFailure::kTimedOut, fast_connect},
        // Not a host name, so the lookup fails without asking a name server.
        {"no..such..host", QueryFailure::kNoSuchHost, kFast},
        {"127.0.0.1:0", QueryFailure::kBadPort, kFast},
        {"127.0.0.1:12ab", QueryFailure::kBadPort, kFast},
        {":25565", QueryFailure::kBadAddress, kFast},
    };
    for (const Case& test : cases) {
        ServerStatus status;
        EXPECT_EQ(ServerTool(test.options).QueryServerStatusWithReason(test.address, status), test.failure)
            << test.address;
    }
    std::stop_source stopped;
    stopped.request_stop();
    ServerStatus status;
    EXPECT_EQ(ServerTool(kFast).QueryServerStatusWithReason(answering.address(), status, stopped.get_token()),
              QueryFailure::kStopped);
}

TEST(ServerPing, DescriptionIsCleanedAsTheBoardShowsIt) {
    const std::pair<std::string, std::string> cases[] = {
        {R"({"description":"§aHello §LWorld?§r!"})", "Hello World!"},
        {R"({"description":{"text":"A","extra":[{"text":"B","color":"red"},{"text":"C"}]}})", "ABC"},
        {R"({"description":{"text":"\"q\"","extra":[{"color":"red"},{"text":"say \"hi\"?"}]}})", "qsay hi?"},
        {R"({"description":"§x keeps unknown codes"})", "§x keeps unknown codes"},
        {R"({"players":{"max":1}})", ""},
    };
    for (const auto& [json, description] : cases) {
        net::JsonDocument status;
        ASSERT_TRUE(status.Parse(json)) << json;
        EXPECT_EQ(CleanDescription(status), description) << json;
    }
}

TEST(ServerPing, IconIsTheDecodedFavicon) {
    net::JsonDocument status;
    ASSERT_TRUE(status.Parse(R"({"favicon":"data:image/png;base64,iVBORw0KGgo="})"));
    ServerStatus record;
    FillStatus(status, record);
    EXPECT_EQ(record.icon, "\x89PNG\r\n\x1A\n");
    ASSERT_TRUE(status.Parse(R"({"favicon":"not a data url"})"));
    FillStatus(status, record);
    EXPECT_EQ(record.icon, "");
}

TEST(ServerPing, EchoTimeOrMinusOneWhereEchoesAreNotPermitted) {
    const int fd = ::socket(AF_INET, SOCK_DGRAM, IPPROTO_ICMP);
    const bool permitted = fd >= 0;
    if (fd >= 0) ::close(fd);
    const int echo = platform::IcmpEchoMs("127.0.0.1", 1000);
    if (permitted) {
        EXPECT_GE(echo, 0);
    } else {
        EXPECT_EQ(echo, -1);
    }
    EXPECT_EQ(platform::IcmpEchoMs("not an address", 1000), -1);
}

}  // namespace
}  // namespace kestrel::servers
