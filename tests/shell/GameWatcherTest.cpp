// The game-window watcher and the after-launch actions, run on the test's
// thread with the test clock and scripted answers for the game's window and
// process.

#include "shell/GameWatcher.h"

#include <algorithm>
#include <numeric>

#include <gtest/gtest.h>

#include "platform/Files.h"
#include "shell/LaunchTestRig.h"
#include "toolkit/Assets.h"

namespace kestrel::shell {
namespace {

using testing::LaunchRig;
using Sleeps = std::vector<std::int64_t>;

class GameWatcherTest : public ::testing::Test {
protected:
    GameWatcherTest() {
        start_ = std::dynamic_pointer_cast<toolkit::MemorySurface>(
            rig_.app.CreateSurface(toolkit::GameStartWindowDef(854, 510), rig_.main.get()));
        start_->ShowWindow();
        rig_.state.launch_in_progress = true;
    }

    void Watch(int action, const std::string& title = "", LaunchServices services = {}) {
        if (!services.find_window) services = rig_.system.Services();
        GameWatcher(rig_.ctx, start_, services, GameWatch{1234, title, action, log_, 0}).Run(stop_.get_token());
    }

    // The sleeps begin with those of the search; a game that keeps running is
    // then tested every 500 ms until the first minute since its launch is over.
    void ExpectSearchThenFirstMinute(const Sleeps& search) const {
        const Sleeps sleeps = rig_.clock.Sleeps();
        ASSERT_GE(sleeps.size(), search.size());
        EXPECT_EQ(Sleeps(sleeps.begin(), sleeps.begin() + static_cast<std::ptrdiff_t>(search.size())), search);
        EXPECT_TRUE(std::all_of(sleeps.begin() + static_cast<std::ptrdiff_t>(search.size()), sleeps.end(),
                                [](std::int64_t ms) { return ms == 500; }));
        EXPECT_EQ(std::accumulate(sleeps.begin(), sleeps.end(), std::int64_t{0}), 60000);
    }

    LaunchRig rig_;
    std::string log_;  // the launch log the watch is given
    std::shared_ptr<toolkit::MemorySurface> start_;
    std::stop_source stop_;
};

TEST_F(GameWatcherTest, PlaysTheSoundWaitsNineSecondsThenLooksEvery500Ms) {
    rig_.system.window_at_find = 4;
    Watch(kDoNothing, "我的世界 — Kestrel");
    ExpectSearchThenFirstMinute(Sleeps{9000, 500, 500, 500});
    EXPECT_EQ(rig_.app.SoundsPlayed(), std::vector<size_t>{toolkit::Asset("launch.wav").size()});
    EXPECT_EQ(start_->History("游戏初始化", "active"), (std::vector<std::string>{"1", "0"}));
    ASSERT_EQ(rig_.system.titles.size(), 1u);
    EXPECT_EQ(rig_.system.titles[0].first, rig_.system.window);
    EXPECT_EQ(rig_.system.titles[0].second, "我的世界 — Kestrel");
    EXPECT_EQ(start_->CloseCount(), 1);
    EXPECT_FALSE(rig_.state.launch_in_progress);
    EXPECT_TRUE(start_->Problems().empty());
}

TEST_F(GameWatcherTest, WithoutATitleSettingTheGamesTitleStays) {
    rig_.system.window_at_find = 1;
    Watch(kDoNothing);
    ExpectSearchThenFirstMinute(Sleeps{9000});
    EXPECT_TRUE(rig_.system.titles.empty());
}

TEST_F(GameWatcherTest, AGameThatEndsBeforeItsWindowEndsTheSearch) {
    rig_.system.alive_answers = 2;
    Watch(kExitLauncher, "Minecraft");
    EXPECT_EQ(rig_.clock.Sleeps(), (Sleeps{9000, 500, 500}));
    EXPECT_EQ(rig_.system.finds, 3);
    EXPECT_EQ(start_->CloseCount(), 1);
    EXPECT_TRUE(rig_.main->WindowVisible()) << "the main window is the player's again";
    EXPECT_TRUE(rig_.main->Reachable("启动游戏按钮"));
    EXPECT_FALSE(rig_.state.launch_in_progress);
    EXPECT_TRUE(rig_.system.titles.empty());
    EXPECT_EQ(rig_.app.QuitCount(), 0) << "no after-launch action without a window";
}

TEST_F(GameWatcherTest, AStopRequestEndsTheWatchDuringTheWait) {
    rig_.system.window_at_find = 1;
    stop_.request_stop();
    Watch(kExitLauncher);
    EXPECT_EQ(rig_.system.finds, 0);
    EXPECT_EQ(rig_.app.QuitCount(), 0);
}

// What each after-launch action leaves behind, for a game that lives for two
// alive tests once its window is up. Where the launcher stays and does not
// wait for the game's end itself, the first minute's watch sees the end.
struct ActionCase {
    int action;
    int quits;
    bool main_visible;
    bool main_minimised;
    bool start_closed;
    bool start_visible;
    Sleeps sleeps;
    size_t starts;
};

TEST_F(GameWatcherTest, EachAfterLaunchActionDoesWhatItsSettingSays) {
    const std::vector<ActionCase> cases = {
        {kExitLauncher, 1, true, false, false, true, {9000}, 0},
        {kMinimise, 0, false, true, true, false, {9000, 500, 500}, 0},
        {kHideUntilExit, 0, true, false, true, false, {9000, 10000, 10000}, 0},
        {kRestartAfterExit, 1, false, false, false, false, {9000, 10000, 10000}, 1},
        {kDoNothing, 0, true, false, true, false, {9000, 500, 500}, 0},
        {0, 0, true, false, false, true, {9000, 500, 500}, 0},
        {6, 0, true, false, false, true, {9000, 500, 500}, 0},
    };
    for (const ActionCase& c : cases) {
        SCOPED_TRACE("action " + std::to_string(c.action));
        LaunchRig rig;
        auto start = std::dynamic_pointer_cast<toolkit::MemorySurface>(
            rig.app.CreateSurface(toolkit::GameStartWindowDef(854, 510), rig.main.get()));
        start->ShowWindow();
        rig.system.window_at_find = 1;
        rig.system.alive_answers = 2;
        GameWatcher(rig.ctx, start, rig.system.Services(), GameWatch{1234, "", c.action, "", 0}).Run({});
        EXPECT_EQ(rig.app.QuitCount(), c.quits);
        EXPECT_EQ(rig.main->WindowVisible(), c.main_visible);
        EXPECT_EQ(rig.main->Minimized(), c.main_minimised);
        EXPECT_EQ(start->CloseCount() > 0, c.start_closed);
        EXPECT_EQ(start->WindowVisible(), c.start_visible);
        EXPECT_EQ(rig.clock.Sleeps(), c.sleeps);
        EXPECT_EQ(rig.system.started.size(), c.starts);
    }
}

TEST_F(GameWatcherTest, HideUntilExitBringsTheMainWindowBackOnceTheGameHasEnded) {
    rig_.system.window_at_find = 2;
    // Alive at the one test of the search and at three more after the window
    // came: the game ran for 25 to 35 s after the watcher began to wait.
    rig_.system.alive_answers = 4;
    std::vector<std::string> seen;
    rig_.system.on_alive_test = [&] {
        seen.push_back(std::string(rig_.main->WindowVisible() ? "main" : "-") + "/" +
                       (start_->WindowVisible() ? "start" : "-"));
    };
    Watch(kHideUntilExit);
    // Both stay hidden through every alive test (the one during the search
    // came before the window appeared).
    EXPECT_EQ(seen, (std::vector<std::string>{"main/start", "-/-", "-/-", "-/-", "-/-"}));
    EXPECT_EQ(rig_.clock.Sleeps(), (Sleeps{9000, 500, 10000, 10000, 10000}));
    EXPECT_TRUE(rig_.main->WindowVisible());
    EXPECT_EQ(start_->CloseCount(), 1);
    EXPECT_EQ(rig_.app.QuitCount(), 0);
}

TEST_F(GameWatcherTest, RestartStartsTheLauncherFileOfTheProgramFolder) {
    // The "launcher" is a script that notes where it runs and what it was
    // called as.
    const std::string folder = rig_.game.root();
    const std::string marker = folder + "/marker";
    const std::string script = rig_.game.root() + "/kestrel";
    ASSERT_TRUE(platform::WriteFileAtomically(script, "#!/bin/sh\necho \"$0 $(pwd)\" > marker\n").ok());
    std::filesystem::permissions(script, std::filesystem::perms::owner_all);

    LaunchServices services = rig_.system.Services();
    int started_pid = 0;
    services.start_process = [&](const std::string& exe, std::string_view line, const std::string& cwd) {
        const Result<int> pid = platform::StartProcess(exe, line, cwd);
        if (pid.ok()) started_pid = *pid;
        return pid;
    };
    rig_.system.window_at_find = 1;
    rig_.system.alive_answers = 1;
    Watch(kRestartAfterExit, "", services);
    ASSERT_GT(started_pid, 0);
    ASSERT_TRUE(platform::WaitForProcess(started_pid).ok());
    EXPECT_EQ(platform::ReadFile(marker).value_or("<none>"), script + " " + folder + "\n");
    EXPECT_EQ(rig_.app.QuitCount(), 1);
    EXPECT_EQ(rig_.clock.Sleeps(), (Sleeps{9000, 10000}));
}

TEST_F(GameWatcherTest, ARestartThatCannotStartKeepsThisLauncher) {
    rig_.system.window_at_find = 1;
    rig_.system.alive_answers = 0;
    rig_.system.start_fails = true;
    Watch(kRestartAfterExit);
    ASSERT_EQ(rig_.system.started.size(), 1u);
    EXPECT_EQ(rig_.system.started[0], rig_.game.root() + "/kestrel | \"" + rig_.game.root() + "/kestrel\" | " +
                                          rig_.game.root());
    EXPECT_EQ(rig_.app.QuitCount(), 0);
    EXPECT_TRUE(rig_.main->WindowVisible());
    EXPECT_EQ(start_->CloseCount(), 1);
}

}  // namespace
}  // namespace kestrel::shell
