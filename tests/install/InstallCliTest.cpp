// kestrel-cli remote-versions, install, verify and loaders against a file
// server on 127.0.0.1 (the catalogue, the files, the loaders' metadata
// services and Maven repositories), reached through an endpoints file as a
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

class InstallCliTest : public ::testing::Test {
protected:
    void SetUp() override {
        version.Serve(server);
        version.Serve(mirror, SyntheticVersion::MirrorPath);
        fabric.Serve(server);
        quilt.Serve(server);
        // Fabric's service by its endpoint name, Quilt's by its origin.
        std::string lines = "fabric_meta=" + server.Url("/fabricmeta") + "\n";
        for (const net::OriginRule& rule : OriginsTo(server)) lines += rule.origin + "=" + rule.base + "\n";
        for (const net::OriginRule& rule : LoaderOriginsTo(server)) {
            if (rule.origin != "https://meta.fabricmc.net") lines += rule.origin + "=" + rule.base + "\n";
        }
        lines += "https://bmclapi2.bangbang93.com=" + mirror.Url("/bmcl") + "\n";
        ::setenv("KESTREL_ENDPOINTS", temp.Write("endpoints.txt", lines).c_str(), 1);
        // An empty program folder: the options file's defaults (official).
        program = temp.MakeFolder("program");
    }
    void TearDown() override { ::unsetenv("KESTREL_ENDPOINTS"); }

    CliRun Cli(std::vector<std::string> arguments) const {
        arguments.insert(arguments.end(), {"--game-dir", Game(), "--program-dir", program});
        return RunCli(arguments);
    }
    std::string Game() const { return temp.path() + "/game"; }

    FileServer server;
    FileServer mirror;
    TempFolder temp;
    std::string program;
    SyntheticVersion version;
    SyntheticLoader fabric = FabricLoader();
    SyntheticLoader quilt = QuiltLoader();
};

TEST_F(InstallCliTest, RemoteVersionsListsTheCatalogue) {
    const CliRun all = Cli({"remote-versions"});
    ASSERT_EQ(all.status, 0) << all.err;
    EXPECT_EQ(all.out, version.id + "\trelease\t2013-10-25T13:00:00+00:00\n13w41a\tsnapshot\t2013-10-10T00:00:00+00:00\n");
    const CliRun snapshots = Cli({"remote-versions", "--type", "snapshot"});
    ASSERT_EQ(snapshots.status, 0) << snapshots.err;
    EXPECT_EQ(snapshots.out, "13w41a\tsnapshot\t2013-10-10T00:00:00+00:00\n");
    // The mirror option sends the catalogue request to the mirror.
    ASSERT_EQ(Cli({"remote-versions", "--mirror", "bmclapi"}).status, 0);
    EXPECT_EQ(mirror.RequestsFor("/bmcl/mc/game/version_manifest_v2.json"), 1);
}

TEST_F(InstallCliTest, InstallThenVerifyThenRepair) {
    const CliRun install = Cli({"install", version.id, "--jobs", "4"});
    ASSERT_EQ(install.status, 0) << install.err;
    EXPECT_EQ(install.out, version.id + "\n");
    // Not a terminal: progress lines, no carriage returns.
    EXPECT_NE(install.err.find("下载文件"), std::string::npos) << install.err;
    EXPECT_EQ(install.err.find('\r'), std::string::npos);

    const CliRun clean = Cli({"verify", version.id});
    ASSERT_EQ(clean.status, 0) << clean.err;
    EXPECT_EQ(clean.out, "");

    std::filesystem::remove(Game() + "/libraries/" + version.plain_path);
    temp.Write("game/assets/log_configs/" + version.log_id, "<Configuration></Configuration>");
    const CliRun bad = Cli({"verify", version.id});
    EXPECT_EQ(bad.status, 1);
    EXPECT_EQ(bad.out, "missing libraries/" + version.plain_path + "\ncorrupt assets/log_configs/" + version.log_id + "\n");

    const CliRun repair = Cli({"verify", version.id, "--repair"});
    EXPECT_EQ(repair.status, 0) << repair.err;
    EXPECT_EQ(Cli({"verify", version.id}).status, 0);
}

TEST_F(InstallCliTest, FailuresAndUsageErrors) {
    struct Case {
        std::vector<std::string> arguments;
        int status;
        std::string err;  // a part of stderr
    };
    const std::vector<Case> cases = {
        {{"install", "0.0-missing"}, 1, "版本列表中没有这个版本: 0.0-missing"},
        {{"install", "../evil"}, 1, "版本名不安全: ../evil"},
        {{"verify", "a\nb"}, 1, "版本名不安全: a\nb"},
        {{"verify", "not-installed"}, 1, "版本清单缺失或无法读取"},
        {{"install"}, 2, "usage:"},
        {{"install", version.id, "--mirror", "elsewhere"}, 2, "--mirror official|bmclapi"},
        {{"install", version.id, "--jobs", "0"}, 2, "--jobs"},
        {{"install", version.id, "--jobs", "4x"}, 2, "--jobs"},
        {{"remote-versions", "--type", "beta"}, 2, "usage:"},
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
    EXPECT_FALSE(std::filesystem::exists(temp.path() + "/evil"));
    // A loader install that failed fetched no game version for it.
    EXPECT_FALSE(std::filesystem::exists(Game() + "/versions/" + version.id));
}

TEST_F(InstallCliTest, ListsAndInstallsLoaders) {
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

}  // namespace
}  // namespace kestrel::install
