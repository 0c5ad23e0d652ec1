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
    EXPECT_EQ(run.err, "parse failed: -5 at 6 (line 1, column 7): the text ends inside an object, array or string\n");
    EXPECT_EQ(RunCli({"json", "get", folder.path() + "/missing.json", "a"}).status, 1);
    EXPECT_EQ(RunCli({"json", "frobnicate", bad, "a"}).status, 2);
    EXPECT_EQ(RunCli({"chain"}).status, 2);
    run = RunCli({"no-such-command"});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err.rfind("unknown command: no-such-command\nusage: kestrel-cli COMMAND", 0), 0u) << run.err;
    EXPECT_EQ(RunCli({"versions", "--host", "beos"}).status, 2);
    run = RunCli({"chain", "--game-dir"});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("usage"), std::string::npos);
}

TEST(Cli, HelpPrintsTheUsageAndSucceeds) {
    for (const std::vector<std::string>& arguments : std::vector<std::vector<std::string>>{
             {"--help"}, {"help"}, {"versions", "--help"}, {"--game-dir", "/nowhere", "--help"}}) {
        const CliRun run = RunCli(arguments);
        EXPECT_EQ(run.status, 0) << arguments[0];
        EXPECT_EQ(run.out.rfind("usage: kestrel-cli COMMAND", 0), 0u) << run.out;
        EXPECT_NE(run.out.find("\n  chain ID\n"), std::string::npos) << run.out;
        EXPECT_EQ(run.err, "") << arguments[0];
    }
    CliRun run = RunCli({"help", "chain"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "usage: kestrel-cli chain ID\n");
    run = RunCli({"help", "frobnicate"});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err.rfind("unknown command: frobnicate\n", 0), 0u) << run.err;
    // --version, alone or beside other words, prints the launcher's version.
    for (const std::vector<std::string>& arguments :
         std::vector<std::vector<std::string>>{{"--version"}, {"versions", "--version"}}) {
        run = RunCli(arguments);
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.out, "kestrel-cli 22w02a\n");
        EXPECT_EQ(run.err, "");
    }
    // Without a command the usage is a usage error, as before.
    run = RunCli({});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err.rfind("usage: kestrel-cli COMMAND", 0), 0u) << run.err;
}

// Every command that reads a version fails on one that cannot be used, with
// the launcher's text and a line that says which manifest is wrong and how.
TEST(Cli, UnusableVersionsFailWithTheManifestAndItsFault) {
    TempFolder game;
    const std::string g = game.path();
    game.Write("bin/java", "");
    game.Write("versions/empty/empty.json", "");
    game.Write("versions/broken/broken.json", "{\"id\":\"broken\",\n  \"libraries\":[1,,2]}");
    game.Write("versions/array/array.json", "[1,2]");
    game.Write("versions/orphan/orphan.json", R"({"inheritsFrom":"gone","mainClass":"M","minecraftArguments":"--a"})");
    game.Write("versions/badparent/badparent.json", R"({"inheritsFrom":"empty"})");
    game.MakeFolder("versions/nomanifest");
    const std::string manifest_error = "读取游戏Json文件失败，检查Json格式是否正确\n";
    const std::pair<std::string, std::string> versions[] = {
        {"missing", "version missing is not installed: " + g + "/versions/missing/missing.json does not exist"},
        {"nomanifest",
         "version nomanifest is not installed: " + g + "/versions/nomanifest/nomanifest.json does not exist"},
        {"empty", "version empty has a broken manifest: " + g +
                      "/versions/empty/empty.json: parse failed: -2 at 0 (line 1, column 1): the text is empty"},
        {"broken", "version broken has a broken manifest: " + g +
                       "/versions/broken/broken.json: parse failed: -4 at 33 (line 2, column 18): a bracket, "
                       "brace, colon or comma is out of place"},
        {"array", "version array has a broken manifest: " + g + "/versions/array/array.json: not a JSON object"},
        {"orphan", "version orphan inherits from gone, which is not installed: " + g +
                       "/versions/gone/gone.json does not exist"},
        {"badparent", "version badparent inherits from empty, which has a broken manifest: " + g +
                          "/versions/empty/empty.json: parse failed: -2 at 0 (line 1, column 1): the text is empty"},
        {"..", "not a version id: .."},
    };
    const std::vector<std::string> commands[] = {
        {"chain"}, {"libraries"}, {"classpath"}, {"natives"},
        {"command-line", "--java", g + "/bin/java", "--name", "S"},
        {"launch", "--java", g + "/bin/java", "--name", "S"},
    };
    for (const auto& [id, detail] : versions) {
        for (std::vector<std::string> arguments : commands) {
            arguments.insert(arguments.begin() + 1, id);
            arguments.insert(arguments.end(), {"--game-dir", g});
            const CliRun run = RunCli(arguments);
            EXPECT_EQ(run.status, 1) << arguments[0] << " " << id;
            EXPECT_EQ(run.out, "") << arguments[0] << " " << id;
            EXPECT_EQ(run.err, manifest_error + detail + "\n") << arguments[0] << " " << id;
        }
    }
}

TEST(Cli, VersionsOfAGameFolderThatIsNotThere) {
    TempFolder folder;
    CliRun run = RunCli({"versions", "--game-dir", folder.path() + "/nowhere"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "the game folder does not exist: " + folder.path() + "/nowhere\n");
    const std::string file = folder.Write("file", "x");
    run = RunCli({"versions", "--game-dir", file});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "the game folder is not a folder: " + file + "\n");
    // A game folder with nothing installed yet lists nothing.
    run = RunCli({"versions", "--game-dir", folder.path()});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "");
}

}  // namespace
}  // namespace kestrel::testing
