#include <stdlib.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "cli/CliRunner.h"
#include "download/FileServer.h"
#include "platform/Sha1.h"
#include "support/FakeRuntimeIndex.h"

namespace kestrel::testing {
namespace {

// A runtime index whose one component, java-runtime-test, is a stand-in
// `java` and a library file, and a game folder with a version naming it.
class RuntimeCli : public ::testing::Test {
protected:
    void SetUp() override {
        ServeRuntime(server, "java-runtime-test", "21.0.3", {{"bin/java", kJava, true}, {"lib/modules", kModules}});
        endpoints = folder.Write("endpoints.txt", "java_runtimes=" + server.Url("/all.json") + "\n");
        ::setenv("KESTREL_ENDPOINTS", endpoints.c_str(), 1);
        game = folder.path() + "/game";
        folder.Write("game/versions/1.21/1.21.json",
                     R"({"id": "1.21", "javaVersion": {"component": "java-runtime-test", "majorVersion": 21}})");
        folder.Write("game/versions/old/old.json", R"({"id": "old", "minecraftArguments": ""})");
    }
    void TearDown() override { ::unsetenv("KESTREL_ENDPOINTS"); }

    const std::string kJava = "#!/bin/sh\necho stand-in\n";
    const std::string kModules = "modules";
    FileServer server;
    TempFolder folder;
    std::string endpoints;
    std::string game;
};

TEST_F(RuntimeCli, InstallsListsVerifiesAndRepairs) {
    const std::string java = game + "/runtime/java-runtime-test/linux/java-runtime-test/bin/java";
    EXPECT_EQ(RunCli({"runtimes", "--game-dir", game}).out, "");

    CliRun run = RunCli({"runtime", "for", "1.21", "--game-dir", game});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, java + "\n");
    run = RunCli({"runtimes", "--game-dir", game});
    EXPECT_EQ(run.out, "java-runtime-test\t21.0.3\t" + java + "\n");
    // Discovery offers the installed runtime; its labels come from asking it
    // (a stand-in without a release file that says nothing).
    run = RunCli({"java", "--game-dir", game});
    EXPECT_NE(run.out.find("\t" + java + "\n"), std::string::npos) << run.out;
    EXPECT_EQ(RunCli({"runtime", "verify", "java-runtime-test", "--game-dir", game}).status, 0);

    std::ofstream(game + "/runtime/java-runtime-test/linux/java-runtime-test/lib/modules") << "damaged";
    run = RunCli({"runtime", "verify", "java-runtime-test", "--game-dir", game});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "corrupt runtime/java-runtime-test/linux/java-runtime-test/lib/modules\n");
    run = RunCli({"runtime", "install", "java-runtime-test", "--game-dir", game, "--jobs", "2"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, java + "\n");
    EXPECT_EQ(server.RequestsFor("/raw/lib/modules"), 2);
    EXPECT_EQ(server.RequestsFor("/raw/bin/java"), 1);
    EXPECT_EQ(RunCli({"runtime", "verify", "java-runtime-test", "--game-dir", game}).status, 0);
}

TEST_F(RuntimeCli, FailuresAndUsage) {
    struct Case {
        std::vector<std::string> arguments;
        int status;
        std::string err_part;
    };
    const std::vector<Case> cases = {
        // A version without javaVersion runs on Java 8, which this index lacks.
        {{"runtime", "for", "old"}, 1, "jre-legacy"},
        {{"runtime", "for", "missing"}, 1, "missing"},
        {{"runtime", "install", "java-runtime-delta"}, 1, "java-runtime-delta"},
        {{"runtime", "install", "../x"}, 1, "../x"},
        {{"runtime", "install"}, 2, "usage"},
        {{"runtime", "remove", "java-runtime-test"}, 2, "usage"},
        {{"runtime", "install", "java-runtime-test", "--jobs", "0"}, 2, "--jobs"},
        {{"runtime", "install", "java-runtime-test", "--mirror", "nowhere"}, 2, "--mirror"},
        {{"runtimes", "extra"}, 2, "usage"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> arguments = c.arguments;
        arguments.insert(arguments.end(), {"--game-dir", game});
        const CliRun run = RunCli(arguments);
        EXPECT_EQ(run.status, c.status) << c.arguments[1];
        EXPECT_NE(run.err.find(c.err_part), std::string::npos) << run.err;
        EXPECT_EQ(run.out, "");
    }
    EXPECT_FALSE(std::filesystem::exists(game + "/runtime/java-runtime-test"));
}

// Without --mirror the runtime commands take the options file's download
// source, as the install commands do; --mirror overrides it. The manifests
// name the official hosts, which the endpoints send to the local server, the
// mirror's host to a folder of its own.
TEST(RuntimeCliMirror, TheOptionsFilesSourceUnlessMirrorIsGiven) {
    const std::string java = "#!/bin/sh\necho stand-in\n";
    const auto entry = [](const std::string& url, const std::string& bytes) {
        return R"({"sha1": ")" + platform::Sha1Hex(*platform::Sha1Of(bytes)) + R"(", "size": )" +
               std::to_string(bytes.size()) + R"(, "url": ")" + url + R"("})";
    };
    const std::string manifest = R"({"files": {"bin/java": {"type": "file", "executable": true, "downloads": {"raw": )" +
                                 entry("https://piston-data.mojang.com/v1/objects/java", java) + "}}}}";
    const struct Case {
        std::vector<std::string> mirror;
        std::string folder;  // where the files were fetched from
    } cases[] = {{{}, "/mirror"}, {{"--mirror", "official"}, "/official"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.folder);
        FileServer server;
        TempFolder folder;
        for (const char* base : {"/official", "/mirror"}) {
            server.Put(base + std::string("/v1/objects/java"), java);
            server.Put(base + std::string("/manifest.json"), manifest);
        }
        server.Put("/all.json", R"({"linux": {"java-runtime-test": [{"manifest": )" +
                                    entry("https://piston-meta.mojang.com/manifest.json", manifest) +
                                    R"(, "version": {"name": "21.0.3"}}]}})");
        const std::string endpoints = folder.Write(
            "endpoints.txt", "java_runtimes=" + server.Url("/all.json") + "\nhttps://piston-meta.mojang.com=" +
                                 server.Url("/official") + "\nhttps://piston-data.mojang.com=" + server.Url("/official") +
                                 "\nhttps://bmclapi2.bangbang93.com=" + server.Url("/mirror") + "\n");
        ::setenv("KESTREL_ENDPOINTS", endpoints.c_str(), 1);
        const std::string program = folder.path() + "/program";
        ASSERT_EQ(RunCli({"options", "set", "DownloadSource", "bmclapi", "--program-dir", program}).status, 0);
        std::vector<std::string> words = {"runtime", "install", "java-runtime-test", "--game-dir",
                                          folder.path() + "/game", "--program-dir", program};
        words.insert(words.end(), c.mirror.begin(), c.mirror.end());
        const CliRun run = RunCli(words);
        ::unsetenv("KESTREL_ENDPOINTS");
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(server.RequestsFor(c.folder + "/manifest.json"), 1);
        EXPECT_EQ(server.RequestsFor(c.folder + "/v1/objects/java"), 1);
        EXPECT_EQ(server.Requests().size(), 3u);
    }
}

}  // namespace
}  // namespace kestrel::testing
