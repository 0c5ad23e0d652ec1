#include "shell/UpdateState.h"

#include <gtest/gtest.h>

#include <thread>

#include "content/Slogans.h"
#include "shell/ContentWiring.h"
#include "shell/NoticeBoard.h"
#include "shell/SloganLine.h"
#include "shell/ContentWiringFixture.h"
#include "toolkit/Assets.h"

namespace kestrel::shell {
namespace {

using testing::ClosingServer;
using testing::ContentLauncher;
using testing::SilentServer;
using testing::Step;

const Step kConnecting{"正在尝试连接Github仓库...", 20};
const Step kClientCheck{"正在检查更新(游戏客户端)...", 30};
const Step kLauncherCheck{"正在检查更新(启动器)...", 30};

constexpr std::uint32_t kYellow = 0xFFFFEE00;
constexpr std::uint32_t kRed = 0xFFFF0000;

// The update server's answers for one start and what the start shows.
struct Case {
    const char* name;
    const char* update_xml;         // nullptr: the file is missing (404)
    const char* client_update_xml;  // nullptr: missing
    const char* client_version;     // ClientVersion.ini's text
    bool probe_answers;
    std::vector<Step> steps;
    bool updater;  // the updater ran and the launcher ended
    // The version label afterwards.
    std::string label;
    int x;
    std::uint32_t colour;  // 0: as designed
    bool icon;
    bool progress_hidden;  // 更新进度 and 更新进度_文字
};

const Step kUpToDate{"检查更新完成!", 100};
const Step kOptional{"检查更新完成,有新版本可以下载!", 100};
const Step kUnknown{"未知错误", 100};

const Case kCases[] = {
    {"equal version with level 0 is up to date; the level is not looked at",
     "<main>22w02a</main><updatelevel>0</updatelevel>", "<latest>c2</latest>", "c2", true,
     {kConnecting, kClientCheck, kLauncherCheck, kUpToDate}, false, "22w02a", 242, 0, false, false},
    {"another version with level 1 is an optional update", "<main>22w05a</main>\r\n<updatelevel>1</updatelevel>",
     "<latest>c2</latest>", "c2", true, {kConnecting, kClientCheck, kLauncherCheck, kOptional}, false,
     "22w02a,点击这里更新到22w05a", 260, kYellow, true, true},
    {"an older published version counts as an update too", "<main>21w40a</main><updatelevel>1</updatelevel>",
     nullptr, "", true, {kConnecting, kClientCheck, kLauncherCheck, kOptional}, false,
     "22w02a,点击这里更新到21w40a", 260, kYellow, true, true},
    {"another version with level 2 is unrecognised", "<main>22w05a</main><updatelevel>2</updatelevel>",
     "<latest>c2</latest>", "c2", true, {kConnecting, kClientCheck, kLauncherCheck, kUnknown}, false, "22w02a", 260,
     kRed, true, false},
    {"another version without a level is unrecognised", "<main>22w05a</main>", nullptr, "c2", true,
     {kConnecting, kClientCheck, kLauncherCheck, kUnknown}, false, "22w02a", 260, kRed, true, false},
    {"a missing update.xml is unrecognised", nullptr, nullptr, "c2", true,
     {kConnecting, kClientCheck, kLauncherCheck, kUnknown}, false, "22w02a", 260, kRed, true, false},
    {"another version with level 0 is mandatory", "<main>22w05a</main><updatelevel>0</updatelevel>",
     "<latest>c2</latest>", "c2", true, {kConnecting, kClientCheck, kLauncherCheck}, true, "正在检查版本号...", 242,
     0, false, false},
    {"a newer client package starts the updater before the launcher check",
     "<main>22w02a</main><updatelevel>1</updatelevel>", "<latest>c3</latest>", "c2", true,
     {kConnecting, kClientCheck}, true, "正在检查版本号...", 242, 0, false, false},
    {"without ClientVersion.ini any published client package is newer", "<main>22w02a</main>",
     "<latest>c1</latest>", "", true, {kConnecting, kClientCheck}, true, "正在检查版本号...", 242, 0, false, false},
    {"an empty <latest> is no client update", "<main>22w02a</main>", "<latest></latest>", "c2", true,
     {kConnecting, kClientCheck, kLauncherCheck, kUpToDate}, false, "22w02a", 242, 0, false, false},
    {"no answer to the probe shows the failure form", "<main>22w05a</main><updatelevel>2</updatelevel>", nullptr,
     "c2", false, {kConnecting, kClientCheck, kLauncherCheck, kUnknown}, false, "22w02a", 260, kRed, true, true},
    {"the failure form of the probe stays when the launcher is up to date", "<main>22w02a</main>", nullptr, "c2",
     false, {kConnecting, kClientCheck, kLauncherCheck, kUpToDate}, false, "22w02a", 260, kRed, true, true},
};

TEST(UpdateChecks, EachAnswerOfTheUpdateServer) {
    for (const Case& test : kCases) {
        SCOPED_TRACE(test.name);
        ContentLauncher launcher;
        launcher.InstallUpdater();
        if (test.update_xml) launcher.Serve("/launcher//update.xml", test.update_xml);
        if (test.client_update_xml) launcher.Serve("/launcher//Client_update.xml", test.client_update_xml);
        ClosingServer dead;
        if (!test.probe_answers) launcher.Point("update_probe", dead.Url("/"));
        launcher.state().constants.Update([&](Constants& c) { c.client_version = test.client_version; });
        // A sign-in in progress shows its progress; only some states hide it.
        launcher.window().Show("更新进度");
        launcher.window().Show("更新进度_文字");
        const std::uint32_t designed = launcher.window().TextColor("版本号显示");

        RunUpdateChecks(launcher.ctx(), {}, launcher.Reporter());

        EXPECT_EQ(launcher.Steps(), test.steps);
        EXPECT_EQ(launcher.app().QuitCount(), test.updater ? 1 : 0);
        if (test.updater) {
            EXPECT_TRUE(launcher.UpdaterRan());
        }
        EXPECT_TRUE(launcher.app().MessageBoxes().empty());
        toolkit::MemorySurface& window = launcher.window();
        EXPECT_EQ(window.Text("版本号显示"), test.label);
        EXPECT_EQ(window.Geometry("版本号显示").x, test.x);
        EXPECT_EQ(window.Geometry("版本号显示").y, 434);
        EXPECT_TRUE(window.Visible("版本号显示"));
        EXPECT_EQ(window.TextColor("版本号显示"), test.colour ? test.colour : designed);
        EXPECT_EQ(window.Visible("更新失败提示"), test.icon);
        if (test.icon) {
            EXPECT_EQ(window.Picture("更新失败提示"), toolkit::Asset("update-failed.png"));
        }
        EXPECT_EQ(window.Visible("更新进度"), !test.progress_hidden);
        EXPECT_EQ(window.Visible("更新进度_文字"), !test.progress_hidden);
        // The pause between the two checks goes through the clock.
        const bool reached_launcher_check = test.steps.size() >= 3;
        EXPECT_EQ(launcher.clock().Sleeps(), reached_launcher_check ? std::vector<std::int64_t>{500}
                                                                    : std::vector<std::int64_t>{});
        EXPECT_TRUE(window.Problems().empty());
    }
}

TEST(UpdateChecks, WithoutNetworkTheLabelTurnsRedAndNothingIsStarted) {
    ContentLauncher launcher;
    launcher.InstallUpdater();
    ClosingServer dead;
    for (const char* name : {"update", "update_probe", "slogans"}) launcher.Point(name, dead.Url("/"));
    RunUpdateChecks(launcher.ctx(), {}, launcher.Reporter());
    EXPECT_EQ(launcher.Steps(), (std::vector<Step>{kConnecting, kClientCheck, kLauncherCheck, kUnknown}));
    EXPECT_EQ(launcher.window().Text("版本号显示"), "22w02a");
    EXPECT_EQ(launcher.window().TextColor("版本号显示"), kRed);
    EXPECT_TRUE(launcher.window().Visible("更新失败提示"));
    EXPECT_EQ(launcher.app().QuitCount(), 0);
    EXPECT_FALSE(std::filesystem::exists(launcher.Marker()));
    EXPECT_EQ(launcher.state().loading_picture.Get(), "");
    // The rest of the online content gives up quietly too.
    FillNoticeBoard(launcher.ctx(), {});
    EXPECT_FALSE(launcher.window().Visible("公告板"));
    LoadSlogans(launcher.ctx(), {});
    EXPECT_EQ(launcher.window().Text("副标题"), content::kFallbackSlogan);
}

TEST(UpdateChecks, TheLoadingPictureIsKeptForTheLaunch) {
    ContentLauncher launcher;
    const std::string gif("GIF89a\0\1\2", 9);
    launcher.Serve("/launcher/loading.gif", gif);
    launcher.Serve("/launcher//update.xml", "<main>22w02a</main>");
    RunUpdateChecks(launcher.ctx(), {}, launcher.Reporter());
    EXPECT_EQ(launcher.state().loading_picture.Get(), gif);
}

TEST(UpdateChecks, AnUpdaterThatDoesNotStartIsReportedAndTheLauncherStillEnds) {
    // A mandatory update and a newer client package both end the launcher;
    // without the updater the player is told why it closes.
    for (const bool client : {false, true}) {
        SCOPED_TRACE(client ? "client package" : "mandatory update");
        ContentLauncher launcher;
        if (client) {
            launcher.Serve("/launcher//Client_update.xml", "<latest>c9</latest>");
        } else {
            launcher.Serve("/launcher//update.xml", "<main>22w05a</main><updatelevel>0</updatelevel>");
        }
        RunUpdateChecks(launcher.ctx(), {}, launcher.Reporter());
        ASSERT_EQ(launcher.app().MessageBoxes().size(), 1u);
        const toolkit::MessageRecord message = launcher.app().MessageBoxes()[0];
        EXPECT_EQ(message.text, std::string(kUpdaterFailedText) + launcher.folder().path() + "/Update");
        EXPECT_EQ(message.caption, "Kestrel2");
        EXPECT_EQ(message.icon, toolkit::MessageIcon::Warning);
        EXPECT_EQ(launcher.app().QuitCount(), 1);
    }
}

TEST(UpdateChecks, TheTwoHalvesLetTheSignInRunBetween) {
    ContentLauncher launcher;
    launcher.Serve("/launcher//update.xml", "<main>22w05a</main><updatelevel>1</updatelevel>");
    const auto update = CheckForUpdates(launcher.ctx(), {}, launcher.Reporter());
    ASSERT_TRUE(update.has_value());
    EXPECT_EQ(update->state, content::UpdateState::kOptionalUpdate);
    EXPECT_EQ(launcher.Steps(), (std::vector<Step>{kConnecting, kClientCheck, kLauncherCheck}));
    // Nothing shows on the label until the state is applied.
    EXPECT_EQ(launcher.window().Text("版本号显示"), "正在检查版本号...");
    ShowUpdateState(launcher.ctx(), *update);
    EXPECT_EQ(launcher.window().Text("版本号显示"), "22w02a,点击这里更新到22w05a");
}

TEST(UpdateChecks, AStopEndsAHangingDownloadAndLeavesTheWindowAlone) {
    ContentLauncher launcher;
    SilentServer silent;
    launcher.Point("update", silent.Url("/launcher/"));
    std::stop_source stop;
    std::jthread worker([&] { RunUpdateChecks(launcher.ctx(), stop.get_token(), launcher.Reporter()); });
    ASSERT_TRUE(testing::Eventually([&] { return silent.connections() > 0; }));
    stop.request_stop();
    worker.join();
    EXPECT_EQ(launcher.Steps(), std::vector<Step>{kConnecting});
    EXPECT_EQ(launcher.window().Text("版本号显示"), "正在检查版本号...");
    EXPECT_EQ(launcher.app().QuitCount(), 0);
}

// A click on the version label, in each state it can be in.
TEST(VersionLabel, AClickUpdatesOnlyInTheOptionalUpdateState) {
    const struct {
        const char* name;
        const char* update_xml;  // nullptr: the checks have not ended yet
        bool updates;
    } cases[] = {
        {"optional update (yellow)", "<main>22w05a</main><updatelevel>1</updatelevel>", true},
        {"up to date (as designed)", "<main>22w02a</main>", false},
        {"unrecognised (red)", "<main>22w05a</main><updatelevel>7</updatelevel>", false},
        {"still checking", nullptr, false},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        ContentLauncher launcher;
        launcher.InstallUpdater();
        WireContent(launcher.ctx());
        if (test.update_xml) {
            launcher.Serve("/launcher//update.xml", test.update_xml);
            RunUpdateChecks(launcher.ctx(), {}, launcher.Reporter());
        }
        ASSERT_EQ(launcher.app().QuitCount(), 0);
        ASSERT_TRUE(launcher.window().Click("版本号显示"));
        EXPECT_EQ(launcher.app().QuitCount(), test.updates ? 1 : 0);
        if (test.updates) {
            EXPECT_TRUE(launcher.UpdaterRan());
        } else {
            EXPECT_FALSE(std::filesystem::exists(launcher.Marker()));
        }
    }
}

}  // namespace
}  // namespace kestrel::shell
