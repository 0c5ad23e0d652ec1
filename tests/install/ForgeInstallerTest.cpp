// Installing Forge and NeoForge from installer jars built here, with install
// steps that run on the machine's Java, against a Maven repository and the
// game's hosts on 127.0.0.1.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <iostream>

#include "install/FakeForgeInstaller.h"
#include "install/ForgeInstaller.h"
#include "install/Loaders.h"
#include "platform/Files.h"
#include "support/StopLater.h"
#include "support/TempFolder.h"

namespace kestrel::install {
namespace {

using testing::FileServer;
using testing::TempFolder;

bool Has(const std::string& text, const std::string& piece) { return text.find(piece) != std::string::npos; }

class ForgeInstallerTest : public ::testing::Test {
protected:
    ForgeInstallerTest() : installer(game) {}

    void SetUp() override {
        game.Write(temp, "game");
        game.Serve(server);
    }

    InstallSettings Settings() const {
        return SettingsFor(server, Game(), net::Mirror::kOfficial,
                           {{"https://maven.minecraftforge.net", server.Url("/forge")},
                            {"https://maven.neoforged.net/releases", server.Url("/neo")},
                            {"http://files.minecraftforge.net", server.Url("/files")}});
    }
    LoaderRequest Request(const std::string& java = KESTREL_JAVA) const {
        LoaderRequest request;
        request.loader = installer.artifact == "forge" ? Loader::kForge : Loader::kNeoForge;
        request.game_version = installer.game;
        request.loader_version = installer.version;
        request.java = java;
        return request;
    }
    Result<std::string> Install(const LoaderRequest& request, std::stop_token stop = {}) {
        steps_seen.clear();
        return InstallForge(Settings(), request, stop, [&](const InstallProgress& progress) {
            if (steps_seen.empty() || steps_seen.back() != progress.step) steps_seen.push_back(progress.step);
        });
    }

    std::string Game() const { return temp.path() + "/game"; }
    std::string Library(const std::string& path) const { return Game() + "/libraries/" + path; }
    std::string VersionJsonPath() const { return Game() + "/versions/" + installer.id + "/" + installer.id + ".json"; }
    std::string Log() const { return download::ReadAll(InstallerLogPath(Game(), installer.id)); }
    std::string SlimPath() const {
        return Library("net/minecraft/client/" + installer.game + "-20230612.114412/client-" + installer.game +
                       "-20230612.114412-slim.jar");
    }
    std::string PatchedPath() const;
    bool TempLeft() const { return std::filesystem::exists(Game() + "/.kestrel-installer"); }

    FileServer server;
    TempFolder temp;
    TempFolder scratch;
    InstalledGame game;
    NewStyleInstaller installer;
    std::vector<InstallStep> steps_seen;
};

std::string ForgeInstallerTest::PatchedPath() const {
    return installer.artifact == "forge"
               ? Library("net/minecraftforge/forge/1.20.1-47.1.0/forge-1.20.1-47.1.0-client.jar")
               : Library("net/neoforged/minecraft-client-patched/21.1.77/minecraft-client-patched-21.1.77.jar");
}

TEST_F(ForgeInstallerTest, InstallsANewStyleInstallerAndSkipsMatchingStepsOnARerun) {
    installer.Serve(server, scratch);
    const auto started = std::chrono::steady_clock::now();
    // No Java given, and the player's is a Java 8 that could not run the
    // steps: a discovered one of the game's major version (17) runs them.
    const std::string java8 = temp.path() + "/java8";
    std::filesystem::create_directories(java8 + "/bin");
    ASSERT_TRUE(platform::WriteFileAtomically(java8 + "/release", "JAVA_VERSION=\"1.8.0_402\"\n").ok());
    ASSERT_TRUE(platform::WriteFileAtomically(java8 + "/bin/java", "#!/bin/sh\nexit 1\n", 0755).ok());
    LoaderRequest request = Request("");
    request.player_java = java8 + "/bin/java";
    const Result<std::string> id = Install(request);
    const auto took = std::chrono::steady_clock::now() - started;
    ASSERT_TRUE(id) << id.error();
    std::cout << "new-style install took "
              << std::chrono::duration_cast<std::chrono::milliseconds>(took).count() << " ms\n";
    EXPECT_EQ(*id, installer.id);

    // The version JSON as the installer holds it, stored last.
    EXPECT_EQ(download::ReadAll(VersionJsonPath()), installer.VersionJson());
    EXPECT_EQ(steps_seen.back(), InstallStep::kProcessors);
    // The steps' work: the copy, then the transform of {DATA} files and
    // [coord] arguments, on the helper library of their classpath.
    EXPECT_EQ(download::ReadAll(SlimPath()), installer.Slim());
    EXPECT_EQ(download::ReadAll(PatchedPath()), installer.Patched());
    // The mappings came through the engine, not through the step.
    EXPECT_EQ(server.RequestsFor("/data/v1/objects/mappings.txt"), 1);
    EXPECT_EQ(download::ReadAll(Library("net/minecraft/client/1.20.1/client-1.20.1-mappings.txt")), game.mappings);
    // Libraries: the profile's and the version JSON's fetched, the loader's
    // own jar copied from the installer's maven folder.
    EXPECT_EQ(download::ReadAll(Library(installer.ToolsPath())), installer.installertools);
    EXPECT_EQ(download::ReadAll(Library(installer.LoaderLibraryPath())), installer.loader_library);
    EXPECT_EQ(download::ReadAll(Library(installer.UniversalPath())), installer.universal);
    EXPECT_FALSE(TempLeft());
    const std::string log = Log();
    EXPECT_TRUE(Has(log, "== 安装步骤 2/3: kestrel.steptest.Step")) << log;
    EXPECT_TRUE(Has(log, "== 安装步骤 3/3")) << log;
    EXPECT_FALSE(Has(log, "must not run")) << log;

    // A second install finds every step's outputs right and runs none.
    const Result<std::string> again = Install(Request());
    ASSERT_TRUE(again) << again.error();
    EXPECT_FALSE(Has(Log(), "== 安装步骤")) << Log();
    EXPECT_EQ(download::ReadAll(PatchedPath()), installer.Patched());
}

TEST_F(ForgeInstallerTest, AWrongOutputFailsTheStepAndARerunRunsOnlyWhatIsLeft) {
    installer.patched_sha1 = std::string(40, 'c');
    installer.Serve(server, scratch);
    const Result<std::string> failed = Install(Request());
    ASSERT_FALSE(failed);
    EXPECT_TRUE(Has(failed.error(), "安装步骤 3/3 失败: 输出文件校验失败")) << failed.error();
    // The tail of the step's log comes with the error.
    EXPECT_TRUE(Has(failed.error(), "wrote ")) << failed.error();
    EXPECT_FALSE(std::filesystem::exists(PatchedPath()));
    EXPECT_FALSE(std::filesystem::exists(VersionJsonPath()));
    EXPECT_FALSE(TempLeft());
    EXPECT_EQ(download::ReadAll(SlimPath()), installer.Slim());

    installer.patched_sha1.clear();
    installer.Serve(server, scratch);
    const Result<std::string> fixed = Install(Request());
    ASSERT_TRUE(fixed) << fixed.error();
    EXPECT_FALSE(Has(Log(), "安装步骤 2/3")) << Log();
    EXPECT_TRUE(Has(Log(), "安装步骤 3/3")) << Log();
    EXPECT_EQ(download::ReadAll(VersionJsonPath()), installer.VersionJson());
}

TEST_F(ForgeInstallerTest, AStepThatFailsNamesItselfAndShowsItsLog) {
    installer.slim_args = {"--fail"};
    installer.Serve(server, scratch);
    const Result<std::string> failed = Install(Request());
    ASSERT_FALSE(failed);
    EXPECT_TRUE(Has(failed.error(), "安装步骤 2/3 失败: 退出码 3")) << failed.error();
    EXPECT_TRUE(Has(failed.error(), "step failed on purpose")) << failed.error();
    EXPECT_FALSE(std::filesystem::exists(VersionJsonPath()));
    EXPECT_FALSE(TempLeft());

    // A Java that cannot start fails the same step by name.
    installer.slim_args.clear();
    installer.Serve(server, scratch);
    const Result<std::string> no_java = Install(Request(temp.path() + "/no-java"));
    ASSERT_FALSE(no_java);
    EXPECT_TRUE(Has(no_java.error(), "安装步骤 2/3 失败")) << no_java.error();
}

TEST_F(ForgeInstallerTest, CancelEndsTheRunningStepAndCleansUp) {
    installer.slim_args = {"--sleep", "60000", "--input", "{MINECRAFT_JAR}", "--output", "{MC_SLIM}"};
    installer.Serve(server, scratch);
    std::stop_source stop;
    const auto started = std::chrono::steady_clock::now();
    Result<std::string> cancelled = Error{""};
    {
        const testing::StopLater later(stop, 1500);
        cancelled = Install(Request(), stop.get_token());
    }
    ASSERT_FALSE(cancelled);
    EXPECT_EQ(cancelled.error(), "已取消");
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(30));
    EXPECT_FALSE(std::filesystem::exists(VersionJsonPath()));
    EXPECT_FALSE(TempLeft());
}

TEST_F(ForgeInstallerTest, RefusesPathsThatLeaveTheGameFolder) {
    struct Case {
        const char* what;
        void (*change)(NewStyleInstaller&);
        const char* error;
    };
    const Case kCases[] = {
        {"a data file climbing out",
         [](NewStyleInstaller& i) { i.extra_data = R"(,"EVIL":{"client":"/data/../../../evil.txt","server":""})"; },
         "安装器中的文件路径不安全"},
        {"a maven entry climbing out",
         [](NewStyleInstaller& i) { i.extra_entries = {{"maven/../../../evil.jar", "evil"}}; }, "安装器中的文件路径不安全"},
        {"a coordinate whose version climbs out",
         [](NewStyleInstaller& i) { i.extra_data = R"(,"EVIL":{"client":"[a.b:c:..:x]","server":""})"; },
         "库路径不安全: a.b:c:..:x"},
        {"a coordinate whose classifier climbs out",
         [](NewStyleInstaller& i) {
             i.slim_args = {"--input", "{MINECRAFT_JAR}", "--output", "[a.b:c:1:../../../../evil]"};
         },
         "库路径不安全"},
        {"an output outside the game folder",
         [](NewStyleInstaller& i) { i.extra_outputs = R"(,"{ROOT}/../evil.txt":"{PATCHED_SHA}")"; },
         "输出文件不在游戏文件夹内"},
        {"an output given as an absolute literal",
         [](NewStyleInstaller& i) {
             i.extra_data = R"(,"OUT":{"client":"'/tmp/kestrel-evil.txt'","server":""})";
             i.extra_outputs = R"(,"{OUT}":"{PATCHED_SHA}")";
         },
         "输出文件不在游戏文件夹内"},
        {"a version id that climbs out", [](NewStyleInstaller& i) { i.id = "../../evil"; }, "版本名不安全"},
        {"an unknown key", [](NewStyleInstaller& i) { i.slim_args = {"--input", "{NOPE}"}; }, "缺少这个值: NOPE"},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.what);
        NewStyleInstaller hostile(game);
        c.change(hostile);
        hostile.Serve(server, scratch);
        installer = hostile;
        const Result<std::string> result = Install(Request());
        ASSERT_FALSE(result);
        EXPECT_TRUE(Has(result.error(), c.error)) << result.error();
        EXPECT_FALSE(TempLeft());
        for (const std::string& outside : {temp.path() + "/evil.txt", temp.path() + "/evil.jar", temp.path() + "/evil",
                                           std::string("/tmp/kestrel-evil.txt")}) {
            EXPECT_FALSE(std::filesystem::exists(outside)) << outside;
        }
        EXPECT_FALSE(std::filesystem::exists(Game() + "/versions/1.20.1-forge-47.1.0"));
        // Nothing was patched: every step is checked before the first runs.
        EXPECT_FALSE(std::filesystem::exists(PatchedPath()));
    }
}

TEST_F(ForgeInstallerTest, RefusesAnInstallerWithoutItsChecksumOrForAnotherGame) {
    installer.Serve(server, scratch);
    LoaderRequest other = Request();
    other.game_version = "1.20";
    const Result<std::string> wrong_game = Install(other);
    ASSERT_FALSE(wrong_game);
    EXPECT_TRUE(Has(wrong_game.error(), "不属于游戏版本 1.20")) << wrong_game.error();

    server.Put("/forge" + installer.InstallerPath() + ".sha1", "not a checksum");
    const Result<std::string> no_checksum = Install(Request());
    ASSERT_FALSE(no_checksum);
    EXPECT_TRUE(Has(no_checksum.error(), "无法获取安装器的校验值")) << no_checksum.error();
    EXPECT_FALSE(TempLeft());
}

TEST_F(ForgeInstallerTest, InstallsNeoForgeThroughTheLoaderInterface) {
    game = InstalledGame();
    game.id = "1.21.1";
    game.client = "minecraft client 1.21.1 bytes";
    game.Write(temp, "game");
    installer = NewStyleInstaller(game);
    installer.UseNeoForge();
    installer.Serve(server, scratch);
    const Result<std::string> id = InstallLoader(Settings(), Request(), {});
    ASSERT_TRUE(id) << id.error();
    EXPECT_EQ(*id, "neoforge-21.1.77");
    EXPECT_EQ(download::ReadAll(PatchedPath()), installer.Patched());

    // Under a name of the player's choosing.
    LoaderRequest named = Request();
    named.name = "My NeoForge";
    const Result<std::string> renamed = InstallLoader(Settings(), named, {});
    ASSERT_TRUE(renamed) << renamed.error();
    EXPECT_EQ(*renamed, "My NeoForge");
    net::JsonDocument stored;
    ASSERT_TRUE(stored.Parse(download::ReadAll(Game() + "/versions/My NeoForge/My NeoForge.json")));
    EXPECT_EQ(stored.GetText("id"), "My NeoForge");
    EXPECT_EQ(stored.GetText("inheritsFrom"), "1.21.1");
}

TEST(OldForgeInstallerTest, InstallsTheGameThenVersionInfoAndTheUniversalJar) {
    FileServer server;
    TempFolder temp;
    TempFolder scratch;
    SyntheticVersion vanilla;
    vanilla.id = "1.12.2";
    vanilla.Serve(server);
    OldStyleInstaller installer;
    installer.Serve(server, scratch);
    const std::string game = temp.path() + "/game";
    const InstallSettings settings = SettingsFor(server, game, net::Mirror::kOfficial,
                                                 {{"https://maven.minecraftforge.net", server.Url("/forge")},
                                                  {"http://files.minecraftforge.net", server.Url("/files")}});
    LoaderRequest request;
    request.loader = Loader::kForge;
    request.game_version = "1.12.2";
    request.loader_version = installer.version;

    const Result<std::string> id = InstallLoader(settings, request, {});
    ASSERT_TRUE(id) << id.error();
    EXPECT_EQ(*id, installer.id);
    // The game version came first, from the catalogue.
    EXPECT_EQ(download::ReadAll(game + "/versions/1.12.2/1.12.2.jar"), vanilla.client);
    // versionInfo is the version JSON.
    net::JsonDocument stored;
    ASSERT_TRUE(stored.Parse(download::ReadAll(game + "/versions/" + installer.id + "/" + installer.id + ".json")));
    net::JsonDocument expected;
    ASSERT_TRUE(expected.Parse(installer.VersionInfo()));
    EXPECT_EQ(stored.ToText(), expected.ToText());
    // The universal jar comes from the installer, never from the repository.
    const std::string forge = "net/minecraftforge/forge/" + installer.version + "/forge-" + installer.version + ".jar";
    EXPECT_EQ(download::ReadAll(game + "/libraries/" + forge), installer.universal);
    EXPECT_EQ(server.RequestsFor("/files/maven/" + forge), 0);
    // Libraries without a url come from Mojang's; checksums lists are kept;
    // server-only ones are left out.
    EXPECT_EQ(download::ReadAll(game + "/libraries/net/minecraft/launchwrapper/1.12/launchwrapper-1.12.jar"),
              installer.launchwrapper);
    EXPECT_EQ(download::ReadAll(game + "/libraries/org/ow2/asm/asm-all/5.2/asm-all-5.2.jar"), installer.asm_all);
    EXPECT_FALSE(std::filesystem::exists(game + "/libraries/jline"));
    EXPECT_FALSE(std::filesystem::exists(game + "/.kestrel-installer"));

    // A library none of whose listed checksums fits fails the install.
    std::filesystem::remove_all(game + "/versions/" + installer.id);
    std::filesystem::remove_all(game + "/libraries/org/ow2");
    installer.asm_sha1 = std::string(40, 'd');
    installer.Serve(server, scratch);
    const Result<std::string> bad = InstallLoader(settings, request, {});
    ASSERT_FALSE(bad);
    EXPECT_TRUE(Has(bad.error(), "asm-all-5.2.jar")) << bad.error();
    EXPECT_FALSE(std::filesystem::exists(game + "/versions/" + installer.id));
}

}  // namespace
}  // namespace kestrel::install
