// kestrel-cli loaders and install --loader against a metadata service and
// Maven repositories on 127.0.0.1, reached through an endpoints file as a
// player's would be.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>

#include "cli/CliRunner.h"
#include "install/SyntheticLoader.h"
#include "install/SyntheticVersion.h"

namespace kestrel::install {
namespace {

using testing::CliRun;
using testing::FileServer;
using testing::RunCli;
using testing::TempFolder;

class LoaderCliTest : public ::testing::Test {
protected:
    void SetUp() override {
        version.Serve(server);
        fabric.Serve(server);
        quilt.Serve(server);
        // Fabric's service by its endpoint name, Quilt's by its origin.
        std::string lines = "fabric_meta=" + server.Url("/fabricmeta") + "\n";
        for (const net::OriginRule& rule : OriginsTo(server)) lines += rule.origin + "=" + rule.base + "\n";
        for (const net::OriginRule& rule : LoaderOriginsTo(server)) {
            if (rule.origin != "https://meta.fabricmc.net") lines += rule.origin + "=" + rule.base + "\n";
        }
        ::setenv("KESTREL_ENDPOINTS", temp.Write("endpoints.txt", lines).c_str(), 1);
        program = temp.MakeFolder("program");
    }
    void TearDown() override { ::unsetenv("KESTREL_ENDPOINTS"); }

    CliRun Cli(std::vector<std::string> arguments) const {
        arguments.insert(arguments.end(), {"--game-dir", temp.path() + "/game", "--program-dir", program});
        return RunCli(arguments);
    }

    FileServer server;
    TempFolder temp;
    std::string program;
    SyntheticVersion version;
    SyntheticLoader fabric = FabricLoader();
    SyntheticLoader quilt = QuiltLoader();
};

TEST_F(LoaderCliTest, ListsAndInstallsLoaders) {
    const CliRun fabrics = Cli({"loaders", "fabric", version.id});
    ASSERT_EQ(fabrics.status, 0) << fabrics.err;
    EXPECT_EQ(fabrics.out, "0.16.9\n0.16.10-beta.1\n");
    const CliRun quilts = Cli({"loaders", "quilt", version.id});
    ASSERT_EQ(quilts.status, 0) << quilts.err;
    EXPECT_EQ(quilts.out, "0.20.0\n0.20.0-beta.3\n");

    // Without a loader version: the newest stable one.
    const CliRun install = Cli({"install", version.id, "--loader", "fabric", "--jobs", "4"});
    ASSERT_EQ(install.status, 0) << install.err;
    EXPECT_EQ(install.out, fabric.Id() + "\n");
    EXPECT_NE(install.err.find("下载加载器文件"), std::string::npos) << install.err;
    const CliRun chain = Cli({"chain", fabric.Id()});
    ASSERT_EQ(chain.status, 0) << chain.err;
    EXPECT_EQ(chain.out, fabric.Id() + "\n" + version.id + "\n");

    const CliRun named = Cli({"install", version.id, "--loader", "quilt:" + quilt.version});
    ASSERT_EQ(named.status, 0) << named.err;
    EXPECT_EQ(named.out, quilt.Id() + "\n");
    // The game version was there already: the catalogue was read once.
    EXPECT_EQ(server.RequestsFor("/meta/mc/game/version_manifest_v2.json"), 1);
    const CliRun verify = Cli({"verify", quilt.Id()});
    EXPECT_EQ(verify.status, 0) << verify.out << verify.err;
}

TEST_F(LoaderCliTest, FailuresAndUsageErrors) {
    struct Case {
        std::vector<std::string> arguments;
        int status;
        std::string err;  // a part of stderr
    };
    const std::vector<Case> cases = {
        {{"loaders", "fabric"}, 2, "usage:"},
        {{"loaders", "rift", version.id}, 2, "usage:"},
        {{"loaders", "fabric", version.id, "--mirror", "elsewhere"}, 2, "--mirror official|bmclapi"},
        {{"loaders", "fabric", "0.0-none"}, 1, "无法获取 Fabric 版本列表"},
        {{"install", version.id, "--loader", "rift"}, 2, "usage:"},
        {{"install", version.id, "--loader", "fabric:"}, 2, "usage:"},
        {{"install", version.id, "--loader", "fabric:9.9.9"}, 1, "无法获取 Fabric 的版本文件"},
        {{"install", version.id, "--loader", "fabric:../x"}, 1, "加载器版本名不安全"},
    };
    for (const Case& c : cases) {
        const CliRun run = Cli(c.arguments);
        EXPECT_EQ(run.status, c.status) << c.arguments[0] << " " << run.err;
        EXPECT_NE(run.err.find(c.err), std::string::npos) << run.err;
    }
    EXPECT_FALSE(std::filesystem::exists(temp.path() + "/game/versions/" + version.id));
}

}  // namespace
}  // namespace kestrel::install
