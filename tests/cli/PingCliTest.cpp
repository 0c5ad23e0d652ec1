#include <gtest/gtest.h>

#include "cli/CliRunner.h"
#include "support/FakeStatusServer.h"

namespace kestrel::testing {
namespace {

// A port nothing listens on: one that was bound and closed again.
std::uint16_t ClosedPort() {
    const int probe = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ::bind(probe, reinterpret_cast<sockaddr*>(&address), length);
    ::getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(probe);
    return ntohs(address.sin_port);
}

TEST(CliPing, StatusRecordAsLinesAndAsJson) {
    const std::string json =
        R"({"version":{"name":"1.20.1"},"players":{"max":20,"online":3},)"
        R"("description":{"text":"§6Line one\nLine two"},"favicon":"data:image/png;base64,iVBORw0KGgo="})";
    FakeStatusServer server(StatusResponse(json));
    CliRun run = RunCli({"ping", server.address()});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::size_t echo = run.out.find("echo: ");
    ASSERT_NE(echo, std::string::npos) << run.out;
    const std::size_t echo_end = run.out.find('\n', echo);
    const std::string echo_value = run.out.substr(echo + 6, echo_end - echo - 6);
    EXPECT_FALSE(echo_value.empty());
    EXPECT_EQ(run.out, "version: 1.20.1\nonline: 3\nmax: 20\ndescription: Line one\\nLine two\necho: " + echo_value +
                           "\nicon-bytes: 8\n");

    FakeStatusServer again(StatusResponse(json));
    run = RunCli({"ping", again.address(), "--json"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.substr(0, run.out.find(",\"echo\":")),
              R"({"version":"1.20.1","online":"3","max":"20","description":"Line one\nLine two")");
    EXPECT_NE(run.out.find(R"("icon":"iVBORw0KGgo="})"), std::string::npos) << run.out;
}

TEST(CliPing, FailedQueriesSayWhy) {
    FakeStatusServer garbage("\xFF\xFF\xFF\xFF\xFF\xFF not a status packet at all");
    FakeStatusServer not_json(StatusResponse("<html>"));
    const std::string closed = "127.0.0.1:" + std::to_string(ClosedPort());
    const std::pair<std::string, std::string> cases[] = {
        {closed, "connection refused"},
        {garbage.address(), "not a Minecraft server (no status answer)"},
        {not_json.address(), "not a Minecraft server (no status answer)"},
        // Two dots in a row are no host name, so the name is refused
        // before any lookup leaves the machine.
        {"no..such..host", "no such host"},
        {"127.0.0.1:70000", "bad port (a port is a number from 1 to 65535)"},
        {"127.0.0.1:", "bad port (a port is a number from 1 to 65535)"},
        {":25565", "no host name"},
    };
    for (const auto& [address, why] : cases) {
        const CliRun run = RunCli({"ping", address});
        EXPECT_EQ(run.status, 1) << address;
        EXPECT_EQ(run.out, "") << address;
        EXPECT_EQ(run.err, "server query failed: " + address + ": " + why + "\n");
    }
}

TEST(CliPing, Usage) {
    EXPECT_EQ(RunCli({"ping"}).status, 2);
    EXPECT_EQ(RunCli({"ping", "a", "b"}).status, 2);
}

}  // namespace
}  // namespace kestrel::testing
