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

// A game that ends with a non-zero status before its window appeared, or
// within the first minute, is reported with its status and the end of its
// log; any other end is not.
TEST_F(GameWatcherTest, AGameThatEndsBadlyIsReportedWithTheEndOfItsLog) {
    struct Case {
        std::string what;
        int window_at_find;  // 0: no window ever
        int alive_answers;
        std::optional<int> status;
        int action;
        bool reported;
    };
    const std::vector<Case> cases = {
        {"status 1 before its window", 0, 2, 1, kDoNothing, true},
        {"status 1 before its window, after minutes of loading", 0, 300, 1, kDoNothing, true},
        {"status 0 before its window", 0, 2, 0, kDoNothing, false},
        {"no known status", 0, 2, std::nullopt, kDoNothing, false},
        {"killed 10 s after its window came", 1, 20, 137, kDoNothing, true},
        {"still running when the first minute is over", 1, 200, 1, kDoNothing, false},
        {"status 1 at 29 s, hidden until its end", 1, 2, 1, kHideUntilExit, true},
        {"status 1 at 79 s, hidden until its end", 1, 7, 1, kHideUntilExit, false},
        {"status 1 at 29 s, before the restart", 1, 2, 1, kRestartAfterExit, true},
        {"status 1, the launcher ended with the launch", 1, 0, 1, kExitLauncher, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        LaunchRig rig;
        const std::string log = rig.game.root() + "/logs/kestrel-launch-2026-12-10_12-00-00.log";
        ASSERT_TRUE(platform::CreateFolders(rig.game.root() + "/logs"));
        ASSERT_TRUE(platform::WriteFileAtomically(log, "[main] loading\nException in thread \"main\"\n").ok());
        auto start = std::dynamic_pointer_cast<toolkit::MemorySurface>(
            rig.app.CreateSurface(toolkit::GameStartWindowDef(854, 510), rig.main.get()));
        start->ShowWindow();
        rig.system.window_at_find = c.window_at_find;
        rig.system.alive_answers = c.alive_answers;
        rig.system.exit_status = c.status;
        GameWatcher(rig.ctx, start, rig.system.Services(), GameWatch{1234, "", c.action, log, 0}).Run({});

        const auto boxes = rig.app.MessageBoxes();
        if (!c.reported) {
            EXPECT_TRUE(boxes.empty()) << boxes.front().text;
            continue;
        }
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, "游戏启动后异常退出!\r\n退出代码:" + std::to_string(*c.status) +
                                     "\r\n\r\n游戏最后的输出:\r\n[main] loading\r\nException in thread \"main\"" +
                                     "\r\n\r\n日志文件:" + log + "\r\n是否打开日志文件?");
        EXPECT_EQ(boxes[0].caption, "游戏异常退出");
        EXPECT_EQ(boxes[0].icon, toolkit::MessageIcon::Error);
        EXPECT_EQ(boxes[0].buttons, toolkit::MessageButtons::YesNo);
        EXPECT_EQ(rig.app.OpenedInShell(), std::vector<std::string>{log}) << "Yes opens the log";
        EXPECT_FALSE(rig.state.launch_in_progress);
    }
}

// The answers to the report: No opens nothing; a log that cannot be opened
// is named; a launch without a log reports the status alone.
TEST_F(GameWatcherTest, TheReportOpensTheLogOnlyWhenAskedAndCanDoWithoutOne) {
    rig_.system.alive_answers = 1;
    rig_.system.exit_status = 1;
    log_ = rig_.game.root() + "/empty.log";
    ASSERT_TRUE(platform::WriteFileAtomically(log_, "").ok());
    rig_.app.ScriptAnswer(toolkit::MessageAnswer::No);
    Watch(kDoNothing);
    ASSERT_EQ(rig_.app.MessageBoxes().size(), 1u);
    EXPECT_NE(rig_.app.MessageBoxes()[0].text.find("游戏没有留下任何输出。"), std::string::npos);
    EXPECT_TRUE(rig_.app.OpenedInShell().empty());

    LaunchRig rig;
    rig.app.SetOpenInShellResult(false);
    auto start = std::dynamic_pointer_cast<toolkit::MemorySurface>(
        rig.app.CreateSurface(toolkit::GameStartWindowDef(854, 510), rig.main.get()));
    start->ShowWindow();
    rig.system.alive_answers = 1;
    rig.system.exit_status = 2;
    GameWatcher(rig.ctx, start, rig.system.Services(), GameWatch{1234, "", kDoNothing, log_, 0}).Run({});
    auto boxes = rig.app.MessageBoxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1].text, "无法打开日志文件,请手动打开:\r\n" + log_);

    LaunchRig no_log;
    start = std::dynamic_pointer_cast<toolkit::MemorySurface>(
        no_log.app.CreateSurface(toolkit::GameStartWindowDef(854, 510), no_log.main.get()));
    start->ShowWindow();
    no_log.system.alive_answers = 1;
    no_log.system.exit_status = 3;
    GameWatcher(no_log.ctx, start, no_log.system.Services(), GameWatch{1234, "", kDoNothing, "", 0}).Run({});
    boxes = no_log.app.MessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "游戏启动后异常退出!\r\n退出代码:3");
    EXPECT_EQ(boxes[0].buttons, toolkit::MessageButtons::Ok);
    EXPECT_TRUE(no_log.app.OpenedInShell().empty());
}

}  // namespace
}  // namespace kestrel::shell
