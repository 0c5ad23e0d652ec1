#include "launch/Launcher.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "launch/CommandLineBuilder.h"
#include "launch/GameFolder.h"

namespace kestrel::launch {
namespace {

using testing::GameFolder;

TEST(LaunchWatermark, AnEmptySettingLaunchesWithTheStandInAndIsEmptyAgainAfterwards) {
    EXPECT_EQ(LaunchWatermark(""), "由Kestrel 2安全启动");
    EXPECT_EQ(LaunchWatermark("My Pack"), "My Pack");
    EXPECT_EQ(WatermarkSettingAfterLaunch(LaunchWatermark("")), "");
    EXPECT_EQ(WatermarkSettingAfterLaunch("由Kestrel 2安全启动"), "");
    EXPECT_EQ(WatermarkSettingAfterLaunch("My Pack"), "My Pack");
}

TEST(DecimalOrZero, ReadsOnlyWholeDecimalTexts) {
    const std::vector<std::pair<std::string, int>> cases = {
        {"2048", 2048}, {"+513", 513}, {"-1", -1}, {"", 0}, {"abc", 0}, {"1024m", 0}, {" 1", 0},
        {"99999999999999999999", 0},
    };
    for (const auto& [text, value] : cases) EXPECT_EQ(DecimalOrZero(text), value) << text;
}

class LauncherTest : public ::testing::Test {
protected:
    LaunchPlan Plan() const {
        LaunchPlan plan;
        plan.version_id = "1.12.2";
        plan.java_path = java_;
        plan.player_name = "Steve";
        plan.game_folder = game_.path();
        return plan;
    }
    std::string NativesFolder() const { return game_.path() + "/versions/1.12.2/1.12.2-natives"; }

    GameFolder game_;
    std::string java_ = game_.FakeJava("jdk", "17.0.2");  // a file, but no program
    platform::TickRandom random_;
    Launcher launcher_{platform::HostProfile::Linux64(), random_};
};

TEST_F(LauncherTest, FailuresAreTheLaunchersTextsAndStartNothing) {
    game_.Manifest("1.12.2", testing::manifests::Vanilla1122());
    LaunchPlan plan = Plan();
    plan.java_path = game_.root() + "/missing/java";
    plan.version_id = "not-installed";
    EXPECT_EQ(launcher_.Launch(plan).error(), kErrorNoJava);

    plan = Plan();
    plan.memory_mb = 256;
    EXPECT_EQ(launcher_.Launch(plan).error(), kErrorMemory);
    EXPECT_FALSE(std::filesystem::exists(NativesFolder()));

    // The Java file exists but cannot be run: the start fails.
    EXPECT_EQ(launcher_.Launch(Plan()).error(), kErrorUnknown);
    EXPECT_TRUE(std::filesystem::is_directory(NativesFolder()));  // unpacking came first
}

TEST_F(LauncherTest, CommandLineAppliesTheWatermarkStandIn) {
    game_.Manifest("1.12.2", testing::manifests::Vanilla1122());
    const auto line = launcher_.CommandLine(Plan());
    ASSERT_TRUE(line.ok()) << line.error();
    EXPECT_NE(line->find("--version \"由Kestrel 2安全启动\""), std::string::npos) << *line;
    EXPECT_EQ(Launcher::ProcessCommandLine("/j/java", "-x"), "\"/j/java\" -x");
}

}  // namespace
}  // namespace kestrel::launch
