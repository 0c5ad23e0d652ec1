#include <gtest/gtest.h>

#include "cli/CliRunner.h"
#include "support/FakeStatusServer.h"

namespace kestrel::testing {
namespace {

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

TEST(CliPing, FailedQueryAndUsage) {
    FakeStatusServer garbage("not a status packet at all");
    const CliRun run = RunCli({"ping", garbage.address()});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find(garbage.address()), std::string::npos);
    EXPECT_EQ(RunCli({"ping"}).status, 2);
    EXPECT_EQ(RunCli({"ping", "a", "b"}).status, 2);
}

}  // namespace
}  // namespace kestrel::testing
