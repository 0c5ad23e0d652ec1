#include <gtest/gtest.h>

#include "cli/CliRunner.h"

namespace kestrel::testing {
namespace {

TEST(Cli, VersionsAndChain) {
    TempFolder game;
    game.Write("versions/1.12.2/1.12.2.json", R"({"id":"1.12.2"})");
    game.Write("versions/forge/forge.json", R"({"inheritsFrom":"1.12.2"})");
    game.MakeFolder("versions/.hidden");
    CliRun run = RunCli({"chain", "forge", "--game-dir", game.path()});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "forge\n1.12.2\n");
    run = RunCli({"--game-dir", game.path(), "versions"});
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(run.out == "1.12.2\nforge\n" || run.out == "forge\n1.12.2\n") << run.out;
    run = RunCli({"versions", "--game-dir", game.path(), "--host", "windows"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out.size(), 13u);
}

TEST(Cli, JsonReads) {
    TempFolder folder;
    const std::string file =
        folder.Write("doc.json", R"({"b":{"x":[1,2.50]},"a":"\u767b\u5f55","t":true,"n":null,"s":"12ab"})");
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"json", "get", file, "a"}, "登录\n"},
        {{"json", "get", file, "b.x[1]"}, "2.50\n"},
        {{"json", "json", file, "b"}, "{\"x\":[1,2.50]}\n"},
        {{"json", "int", file, "s"}, "12\n"},
        {{"json", "count", file, "b.x"}, "2\n"},
        {{"json", "type", file, "t"}, "1\n"},
        {{"json", "exists", file, "n"}, "false\n"},
        {{"json", "exists", file, "b.x[0]"}, "true\n"},
        {{"json", "keys", file, ""}, "b\na\nt\nn\ns\n"},
        {{"json", "roundtrip", file}, "{\"b\":{\"x\":[1,2.50]},\"a\":\"登录\",\"t\":true,\"n\":null,\"s\":\"12ab\"}\n"},
    };
    for (const auto& [arguments, out] : cases) {
        const CliRun run = RunCli(arguments);
        EXPECT_EQ(run.status, 0) << arguments[1];
        EXPECT_EQ(run.out, out) << arguments[1];
    }
}

TEST(Cli, FailuresAndUsage) {
    TempFolder folder;
    const std::string bad = folder.Write("bad.json", R"({"a":1)");
    CliRun run = RunCli({"json", "roundtrip", bad});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "parse failed: -5 at 6\n");
    EXPECT_EQ(RunCli({"json", "get", folder.path() + "/missing.json", "a"}).status, 1);
    EXPECT_EQ(RunCli({"json", "frobnicate", bad, "a"}).status, 2);
    EXPECT_EQ(RunCli({"chain"}).status, 2);
    EXPECT_EQ(RunCli({"no-such-command"}).status, 2);
    EXPECT_EQ(RunCli({"versions", "--host", "beos"}).status, 2);
    run = RunCli({"chain", "--game-dir"});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("usage"), std::string::npos);
}

}  // namespace
}  // namespace kestrel::testing
