// kestrel-cli launch fetches what the game folder lacks before it starts the
// game, as the window's launch does: a missing library comes from a local
// file server, the options file can turn the check off, and a library no
// server has fails the launch with the cause.

#include <sys/stat.h>

#include <gtest/gtest.h>

#include "cli/CliRunner.h"
#include "download/FileServer.h"
#include "launch/GameFolder.h"
#include "platform/Files.h"
#include "platform/Sha1.h"

namespace kestrel {
namespace {

using testing::RunCli;

constexpr const char* kLibrary = "org/example/lib/1.0/lib-1.0.jar";

TEST(LaunchFetchCli, TheLaunchFetchesAMissingLibraryFirst) {
    struct Case {
        std::string what;
        std::string check;  // CheckFilesBeforeLaunch in the options file; "" for no options file
        bool served;
        std::vector<std::string> extra;
        int status;
        std::string err_start;
        bool fetched;
    };
    const std::vector<Case> cases = {
        {"no options file: the check is on", "", true, {}, 0, "日志文件:", true},
        {"the check turned on, 4 at once", "True", true, {"--jobs", "4"}, 0, "日志文件:", true},
        {"the check turned off", "False", true, {}, 0, "日志文件:", false},
        {"a library no server has", "True", false, {}, 1, "补全游戏文件失败:下载 ", false},
        {"a mirror of no name", "True", true, {"--mirror", "elsewhere"}, 2, "usage: --mirror official|bmclapi", false},
    };
    const std::string bytes(1500, 'j');
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        testing::FileServer server;
        if (c.served) server.Put("/lib.jar", bytes);
        testing::GameFolder game;
        game.Manifest("fake", R"({"id":"fake","mainClass":"M","minecraftArguments":"--a b","libraries":[
            {"name":"org.example:lib:1.0","downloads":{"artifact":{"path":")" + std::string(kLibrary) +
                                  R"(","sha1":")" + platform::Sha1Hex(*platform::Sha1Of(bytes)) + R"(","size":1500,
             "url":")" + server.Url("/lib.jar") + R"("}}}]})");
        // A shell script stands in for Java and records its arguments.
        const std::string java = game.root() + "/bin/java";
        game.File("../bin/java", "#!/bin/sh\necho \"$@\" > \"$(dirname \"$0\")/arguments\"\n");
        ::chmod(java.c_str(), 0755);
        const std::string program = game.root() + "/program";
        if (!c.check.empty()) {
            ASSERT_EQ(RunCli({"options", "set", "CheckFilesBeforeLaunch", c.check, "--program-dir", program}).status, 0);
        }
        std::vector<std::string> words = {"launch", "fake", "--game-dir", game.path(), "--java", java,
                                          "--name", "S", "--wait", "--program-dir", program};
        words.insert(words.end(), c.extra.begin(), c.extra.end());
        const auto run = RunCli(words);

        EXPECT_EQ(run.status, c.status) << run.err;
        // Progress lines may come first.
        const std::size_t at = run.err.find(c.err_start);
        ASSERT_NE(at, std::string::npos) << run.err;
        EXPECT_EQ(run.err.substr(0, at).find_first_not_of("正在补全游戏文件 0123456789/\n"), std::string::npos)
            << run.err;
        const std::string library = game.path() + "/libraries/" + kLibrary;
        EXPECT_EQ(platform::ReadFile(library), c.fetched ? std::optional<std::string>(bytes) : std::nullopt);
        const auto arguments = platform::ReadFile(game.root() + "/bin/arguments");
        EXPECT_EQ(arguments.has_value(), c.status == 0) << "the game starts only after a good check";
        if (arguments) {
            EXPECT_EQ(arguments->find(library) != std::string::npos, c.fetched) << *arguments;
        }
        if (c.status == 1) {
            EXPECT_NE(run.err.find(library), std::string::npos) << run.err;
            EXPECT_NE(run.err.find("404"), std::string::npos) << run.err;
        }
    }
}

}  // namespace
}  // namespace kestrel
