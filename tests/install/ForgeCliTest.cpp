// kestrel-cli loaders forge|neoforge and install-loader against a Maven
// repository and the game's hosts on 127.0.0.1, reached through an
// endpoints file as a player's would be.

#include <gtest/gtest.h>
#include <stdlib.h>

#include "cli/CliRunner.h"
#include "install/FakeForgeInstaller.h"

namespace kestrel::install {
namespace {

using testing::CliRun;
using testing::RunCli;

class ForgeCliTest : public ::testing::Test {
protected:
    ForgeCliTest() : installer(game) {}

    void SetUp() override {
        game.id = "1.21.1";
        game.client = "minecraft client 1.21.1 bytes";
        game.Write(temp, "game");
        game.Serve(server);
        installer = NewStyleInstaller(game);
        installer.UseNeoForge();
        installer.Serve(server, scratch);
        server.Put("/neo/net/neoforged/neoforge/maven-metadata.xml",
                   "<metadata><versioning><versions><version>21.1.9</version><version>21.1.77</version>"
                   "<version>21.1.80-beta</version><version>21.10.1</version></versions></versioning></metadata>");
        server.Put("/forge/net/minecraftforge/forge/maven-metadata.xml",
                   "<metadata><versioning><versions><version>1.21.1-52.0.9</version><version>1.21.11-61.0.1</version>"
                   "<version>1.21.1-52.0.10</version></versions></versioning></metadata>");
        std::string lines;
        for (const net::OriginRule& rule : OriginsTo(server)) lines += rule.origin + "=" + rule.base + "\n";
        lines += "https://maven.neoforged.net/releases=" + server.Url("/neo") + "\n";
        lines += "forge_maven=" + server.Url("/forge") + "\n";
        ::setenv("KESTREL_ENDPOINTS", temp.Write("endpoints.txt", lines).c_str(), 1);
        program = temp.MakeFolder("program");
    }
    void TearDown() override { ::unsetenv("KESTREL_ENDPOINTS"); }

    CliRun Cli(std::vector<std::string> arguments) const {
        arguments.insert(arguments.end(), {"--game-dir", temp.path() + "/game", "--program-dir", program});
        return RunCli(arguments);
    }

    testing::FileServer server;
    testing::TempFolder temp;
    testing::TempFolder scratch;
    InstalledGame game;
    NewStyleInstaller installer;
    std::string program;
};

TEST_F(ForgeCliTest, ListsTheLoaderVersionsOfAGameVersion) {
    const CliRun forge = Cli({"loaders", "forge", "1.21.1"});
    ASSERT_EQ(forge.status, 0) << forge.err;
    EXPECT_EQ(forge.out, "1.21.1-52.0.10\n1.21.1-52.0.9\n");
    const CliRun neoforge = Cli({"loaders", "neoforge", "1.21.1"});
    ASSERT_EQ(neoforge.status, 0) << neoforge.err;
    EXPECT_EQ(neoforge.out, "21.1.77\n21.1.9\n21.1.80-beta\n");
}

TEST_F(ForgeCliTest, InstallLoaderRunsTheInstallerAndPrintsTheNewId) {
    const CliRun run = Cli({"install-loader", "neoforge", "1.21.1", "21.1.77", "--java", KESTREL_JAVA});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "neoforge-21.1.77\n");
    EXPECT_NE(run.err.find("运行安装步骤"), std::string::npos) << run.err;
    EXPECT_EQ(download::ReadAll(temp.path() + "/game/versions/neoforge-21.1.77/neoforge-21.1.77.json"),
              installer.VersionJson());
    // The installed version's chain as the launch reads it.
    const CliRun chain = Cli({"chain", "neoforge-21.1.77"});
    EXPECT_EQ(chain.out, "neoforge-21.1.77\n1.21.1\n");

    const CliRun wrong = Cli({"install-loader", "neoforge", "1.21.1", "21.10.1"});
    EXPECT_EQ(wrong.status, 1);
    EXPECT_NE(wrong.err.find("不属于游戏版本 1.21.1"), std::string::npos) << wrong.err;
    EXPECT_EQ(Cli({"install-loader", "fabric", "1.21.1", "0.16.9"}).status, 2);
    EXPECT_EQ(Cli({"install-loader", "forge", "1.21.1"}).status, 2);
}

}  // namespace
}  // namespace kestrel::install
