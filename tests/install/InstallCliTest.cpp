// kestrel-cli remote-versions, install and verify against a file server on
// 127.0.0.1, reached through an endpoints file as a player's would be.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>

#include "cli/CliRunner.h"
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
        std::string lines;
        for (const net::OriginRule& rule : OriginsTo(server)) lines += rule.origin + "=" + rule.base + "\n";
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
    };
    for (const Case& c : cases) {
        const CliRun run = Cli(c.arguments);
        EXPECT_EQ(run.status, c.status) << c.arguments[0] << " " << run.err;
        EXPECT_NE(run.err.find(c.err), std::string::npos) << run.err;
    }
    EXPECT_FALSE(std::filesystem::exists(temp.path() + "/evil"));
}

}  // namespace
}  // namespace kestrel::install
