// The launch from the click on the launch button: the game-start window, the
// launch request, the launch worker with its progress, its failures, and a
// real launch of the fake game (compiled by the build) with the machine's
// Java.

#include "shell/LaunchFlow.h"

#include <signal.h>

#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <thread>

#include <gtest/gtest.h>

#include "launch/CommandLineBuilder.h"
#include "launch/Launcher.h"
#include "platform/Files.h"
#include "shell/GameStartWindow.h"
#include "shell/LaunchTestRig.h"
#include "toolkit/Assets.h"

namespace kestrel::shell {
namespace {

using testing::LaunchRig;
using Texts = std::vector<std::string>;
namespace fs = std::filesystem;

constexpr const char* kButton = "启动游戏按钮";

// The bar's values must be 0, 40, then the animation's steps 41, 42, ... and
// nothing after the final value; each shown with "%" beside it.
void ExpectProgress(const toolkit::MemorySurface& window, int final_value) {
    const Texts values = window.History("初始化进度", "value");
    ASSERT_GE(values.size(), 2u);
    EXPECT_EQ(values[0], "0");
    EXPECT_EQ(values[1], "40");
    const size_t steps = values.size() - 2 - (final_value >= 0 ? 1 : 0);
    for (size_t i = 0; i < steps; ++i) EXPECT_EQ(values[2 + i], std::to_string(41 + static_cast<int>(i)));
    EXPECT_LE(steps, 40u);
    if (final_value >= 0) {
        EXPECT_EQ(values.back(), std::to_string(final_value));
    }
    Texts percents;
    for (const std::string& v : values) percents.push_back(v + "%");
    EXPECT_EQ(window.History("初始化进度_文字", "text"), percents);
}

TEST(LaunchFlow, WithoutAVersionTheClickReportsItAndClosesTheWindow) {
    LaunchRig rig;
    std::shared_ptr<toolkit::MediaPlayer> player = rig.app.CreateMediaPlayer();
    player->Play();
    rig.state.music.Set(player);
    rig.state.music_playing = true;
    rig.state.loading_picture.Set("GIF89a loading");
    rig.Settings([](SettingsRecord& s) {
        s.selected_version = "";
        s.game_window_width = 1001;
        s.game_window_height = 333;
    });
    WireLaunch(rig.ctx, rig.system.Services());
    ASSERT_TRUE(rig.main->Click(kButton));

    // The music stops for good.
    EXPECT_FALSE(rig.state.music_playing);
    EXPECT_EQ(rig.app.MediaPlayers().at(0).pauses, 1);
    // The game-start window was built at the game window's size plus 30.
    const auto window = rig.StartWindow();
    ASSERT_TRUE(window);
    EXPECT_EQ(window->Definition().width, 1001);
    EXPECT_EQ(window->Definition().height, 363);
    EXPECT_EQ(window->Definition().title, "Minecraft");

    const auto boxes = rig.app.MessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    // The version box is empty: the message says how to install a version.
    EXPECT_EQ(boxes[0].text, std::string("启动失败!\r\n错误信息:您并未选择要启动的版本!") + kNoVersionHint);
    EXPECT_EQ(boxes[0].buttons, toolkit::MessageButtons::Ok);
    EXPECT_EQ(boxes[0].caption, "ERROR");
    EXPECT_EQ(boxes[0].icon, toolkit::MessageIcon::Error);
    EXPECT_EQ(window->CloseCount(), 1);
    EXPECT_FALSE(rig.state.launch_in_progress);
    // Nothing else happens: no worker, no layout, no progress.
    EXPECT_EQ(rig.workers.Running(), 0);
    EXPECT_TRUE(window->History("初始化进度", "x,y").empty());
    EXPECT_TRUE(window->History("初始化进度", "value").empty());
    EXPECT_TRUE(window->Picture("游戏初始化").empty());
}

// With versions in the box and none selected, the message is the plain one;
// with none at all it offers the download window, which "是" opens.
TEST(LaunchFlow, WithoutAnyVersionTheMessageOffersTheDownloadWindow) {
    struct Case {
        const char* what;
        std::vector<std::string> box;
        bool offer;
        toolkit::MessageAnswer answer;
        std::string text;
        int opened;
    };
    const std::string plain = "启动失败!\r\n错误信息:您并未选择要启动的版本!";
    const Case cases[] = {
        {"versions to choose from", {"1.12.2"}, true, toolkit::MessageAnswer::Yes, plain, 0},
        {"none, and yes", {}, true, toolkit::MessageAnswer::Yes, plain + kNoVersionHint + kNoVersionOffer, 1},
        {"none, and no", {}, true, toolkit::MessageAnswer::No, plain + kNoVersionHint + kNoVersionOffer, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        LaunchRig rig;
        rig.Settings([](SettingsRecord& s) { s.selected_version = ""; });
        rig.main->SetItems("版本框", c.box);
        int opened = 0;
        LaunchServices services = rig.system.Services();
        if (c.offer) services.open_download_window = [&opened] { ++opened; };
        WireLaunch(rig.ctx, services);
        rig.app.ScriptAnswer(c.answer);
        ASSERT_TRUE(rig.main->Click(kButton));
        const auto boxes = rig.app.MessageBoxes();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, c.text);
        EXPECT_EQ(boxes[0].buttons, c.box.empty() ? toolkit::MessageButtons::YesNo : toolkit::MessageButtons::Ok);
        EXPECT_EQ(opened, c.opened);
        EXPECT_FALSE(rig.state.launch_in_progress);
        EXPECT_EQ(rig.StartWindow()->CloseCount(), 1);
    }
}

TEST(LaunchFlow, AFailingLaunchShowsItsTextClosesTheWindowAndResetsTheState) {
    struct Case {
        std::string what;
        std::function<void(LaunchRig&)> arrange;
        std::string error;
    };
    const std::vector<Case> cases = {
        {"no Java", [](LaunchRig&) {}, std::string(launch::kErrorNoJava)},
        {"too little memory",
         [](LaunchRig& rig) {
             const std::string java = rig.game.FakeJava("jdk", "17.0.2");
             rig.Settings([&](SettingsRecord& s) {
                 s.java_path = java;
                 s.memory = 256;
             });
         },
         std::string(launch::kErrorMemory)},
        {"a Java that cannot run",
         [](LaunchRig& rig) {
             const std::string java = rig.game.FakeJava("jdk", "17.0.2");
             rig.Settings([&](SettingsRecord& s) { s.java_path = java; });
         },
         std::string(launch::kErrorUnknown)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        LaunchRig rig;
        rig.game.Manifest("1.12.2", testing::manifests::Vanilla1122());
        rig.Settings([](SettingsRecord& s) { s.game_window_watermark = "由Kestrel 2安全启动"; });
        c.arrange(rig);
        rig.state.game_pid = 77;  // of an earlier launch
        rig.state.loading_picture.Set("GIF89a loading");
        WireLaunch(rig.ctx, rig.system.Services());
        ASSERT_TRUE(rig.main->Click(kButton));
        ASSERT_TRUE(rig.app.WaitForMessageBoxes(1, std::chrono::seconds(60)));
        ASSERT_TRUE(rig.WaitForClosedStartWindow());
        rig.workers.StopAll();

        const auto boxes = rig.app.MessageBoxes();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, "启动失败!\r\n错误信息:" + c.error);
        EXPECT_EQ(boxes[0].caption, "ERROR");
        EXPECT_EQ(boxes[0].icon, toolkit::MessageIcon::Error);
        EXPECT_FALSE(rig.state.launch_in_progress);
        EXPECT_EQ(rig.state.launch_error.Get(), c.error);
        EXPECT_EQ(rig.state.game_pid, 0);
        // The stand-in watermark typed as the setting is empty afterwards.
        EXPECT_EQ(rig.state.settings.Get().game_window_watermark, "");

        const auto window = rig.StartWindow();
        EXPECT_EQ(window->CloseCount(), 1);
        EXPECT_EQ(window->History("初始化进度_文字1", "text"), (Texts{"正在检查参数", "正在启动游戏"}));
        ExpectProgress(*window, -1);
        // Laid out for 854 x 480 before the worker started.
        EXPECT_EQ(window->Geometry("初始化进度"), (toolkit::Rect{172, 382, 510, 20}));
        EXPECT_EQ(window->Picture("游戏初始化"), "GIF89a loading");
        EXPECT_TRUE(rig.app.SoundsPlayed().empty()) << "no watcher after a failure";
        EXPECT_TRUE(window->Problems().empty());
    }
}

TEST(LaunchFlow, TheFakeGameStartsAndAGameThatEndsWithoutAWindowEndsTheWatch) {
    LaunchRig rig;
    const std::string record = rig.game.root() + "/record.json";
    rig.game.Manifest("1.12.2", testing::manifests::Vanilla1122(" --record " + record));
    fs::copy_file(KESTREL_FAKE_GAME_JAR, rig.game.path() + "/versions/1.12.2/1.12.2.jar");
    const std::string java = fs::canonical(KESTREL_JAVA).string();
    rig.Settings([&](SettingsRecord& s) {
        s.java_path = java;
        s.game_window_title = "Kestrel";
    });
    // Real process tests; no window ever appears.
    LaunchServices services = LaunchServices::Platform();
    services.find_window = [](int) { return platform::kNoWindow; };
    WireLaunch(rig.ctx, services);

    // Every wait is held until the game has ended, so the watcher's first
    // look already finds the game gone.
    rig.clock.Hold(true);
    ASSERT_TRUE(rig.main->Click(kButton));
    const auto window = rig.StartWindow();
    ASSERT_TRUE(window->WaitUntil([&] { return window->Active("游戏初始化"); }, std::chrono::seconds(60)))
        << (rig.app.MessageBoxes().empty() ? "" : rig.app.MessageBoxes()[0].text);
    const int pid = rig.state.game_pid;
    ASSERT_GT(pid, 0);
    const Result<int> status = platform::WaitForProcess(pid);
    ASSERT_TRUE(status.ok());
    EXPECT_EQ(*status, 0);
    rig.clock.Hold(false);
    ASSERT_TRUE(rig.WaitForClosedStartWindow());
    rig.workers.StopAll();

    const auto text = platform::ReadFile(record);
    ASSERT_TRUE(text.has_value()) << "the fake game did not run";
    EXPECT_NE(text->find("\"Steve\""), std::string::npos);
    EXPECT_NE(text->find("由Kestrel 2安全启动"), std::string::npos) << "the stand-in watermark";
    EXPECT_EQ(rig.state.settings.Get().game_window_watermark, "");

    EXPECT_EQ(window->History("初始化进度_文字1", "text"), (Texts{"正在检查参数", "正在启动游戏", "正在等待游戏启动"}));
    ExpectProgress(*window, 100);
    EXPECT_EQ(rig.app.SoundsPlayed(), std::vector<size_t>{toolkit::Asset("launch.wav").size()});
    EXPECT_EQ(window->History("游戏初始化", "active"), (Texts{"1", "0"}));
    // The watcher's pause, and no 500 ms wait: the game was gone at the first look.
    const std::vector<std::int64_t> sleeps = rig.clock.Sleeps();
    EXPECT_EQ(std::count(sleeps.begin(), sleeps.end(), 9000), 1);
    EXPECT_EQ(std::count(sleeps.begin(), sleeps.end(), 500), 0);
    EXPECT_EQ(window->CloseCount(), 1);
    EXPECT_FALSE(rig.state.launch_in_progress);
    EXPECT_EQ(rig.state.launch_error.Get(), "");
    EXPECT_EQ(rig.state.game_pid, pid);
    EXPECT_TRUE(rig.main->Reachable(kButton));
    EXPECT_TRUE(rig.app.MessageBoxes().empty());
}

// The windows of the game-start window's table built so far.
size_t StartWindows(const toolkit::MemoryApplication& app) {
    size_t count = 0;
    for (const auto& window : app.Windows()) count += window->Definition().name == toolkit::kGameStartWindow;
    return count;
}

// A launch that starts the real fake game, which stays (as a game still
// loading does) until it is ended; no window ever appears, and every wait
// of the watcher is held.
void PrepareLingeringGame(LaunchRig& rig, LaunchServices& services) {
    rig.game.Manifest("1.12.2", testing::manifests::Vanilla1122(" --record " + rig.game.root() + "/record.json --linger"));
    fs::copy_file(KESTREL_FAKE_GAME_JAR, rig.game.path() + "/versions/1.12.2/1.12.2.jar");
    const std::string java = fs::canonical(KESTREL_JAVA).string();
    rig.Settings([&](SettingsRecord& s) { s.java_path = java; });
    services = LaunchServices::Platform();
    services.find_window = [](int) { return platform::kNoWindow; };
    rig.clock.Hold(true);
}

// One launch at a time: a click while the game starts does nothing. Once
// the game runs, Escape (or the close control) ends the wait for its window
// and closes the game-start window, and the game runs on; the next click is
// a launch of its own.
TEST(LaunchFlow, ASecondClickDoesNothingAndACancelAfterTheStartLeavesTheGameRunning) {
    LaunchRig rig;
    LaunchServices services;
    PrepareLingeringGame(rig, services);
    WireLaunch(rig.ctx, services);

    std::vector<int> games;
    const std::vector<std::function<bool(toolkit::MemorySurface&)>> cancels = {
        [](toolkit::MemorySurface& w) { return w.PressKey(toolkit::kGameStartWindow, toolkit::kKeyEscape); },
        [](toolkit::MemorySurface& w) { return w.Click("取消启动"); },
    };
    for (size_t i = 0; i < cancels.size(); ++i) {
        SCOPED_TRACE(i == 0 ? "Escape" : "the close control");
        ASSERT_TRUE(rig.main->Click(kButton));
        const auto window = rig.StartWindow();
        ASSERT_EQ(StartWindows(rig.app), i + 1);
        ASSERT_TRUE(window->WaitUntil([&] { return window->Active("游戏初始化"); }, std::chrono::seconds(60)))
            << (rig.app.MessageBoxes().empty() ? "" : rig.app.MessageBoxes()[0].text);
        const int pid = rig.state.game_pid;
        ASSERT_GT(pid, 0);
        games.push_back(pid);

        ASSERT_TRUE(rig.main->Click(kButton));
        EXPECT_EQ(StartWindows(rig.app), i + 1) << "a click during the launch started another";

        ASSERT_TRUE(cancels[i](*window));
        EXPECT_EQ(window->CloseCount(), 1);
        EXPECT_FALSE(rig.state.launch_in_progress);
        // The watch ends at once: the held pause is cut short.
        ASSERT_TRUE(window->WaitUntil([&] { return !window->Active("游戏初始化"); }, std::chrono::seconds(60)));
        EXPECT_TRUE(platform::ProcessAlive(pid)) << "the game runs on";
        EXPECT_EQ(platform::ExitStatusOf(pid), std::nullopt);
    }
    rig.workers.StopAll();
    EXPECT_NE(games[0], games[1]);
    EXPECT_TRUE(rig.app.MessageBoxes().empty());
    const std::vector<std::int64_t> sleeps = rig.clock.Sleeps();
    EXPECT_EQ(std::count(sleeps.begin(), sleeps.end(), 500), 0) << "no search for a window after a cancel";
    for (const int pid : games) {
        ::kill(pid, SIGTERM);
        EXPECT_TRUE(platform::WaitForProcess(pid).ok());
    }
}

// Before the game process exists, a cancel stops the launch: no game, no
// word, the launch is over.
TEST(LaunchFlow, ACancelBeforeTheGameProcessExistsStopsTheLaunch) {
    const std::vector<std::pair<std::string, std::function<bool(toolkit::MemorySurface&)>>> cancels = {
        {"Escape", [](toolkit::MemorySurface& w) { return w.PressKey(toolkit::kGameStartWindow, toolkit::kKeyEscape); }},
        {"the close control", [](toolkit::MemorySurface& w) { return w.Click("取消启动"); }},
    };
    for (const auto& [what, cancel] : cancels) {
        SCOPED_TRACE(what);
        LaunchRig rig;
        LaunchServices services;
        PrepareLingeringGame(rig, services);
        // The real launch, held at its start until the test has cancelled.
        std::mutex mutex;
        std::condition_variable changed;
        bool entered = false, released = false;
        services.start_game = [&](const launch::LaunchPlan& plan, std::stop_token stop) {
            std::unique_lock lock(mutex);
            entered = true;
            changed.notify_all();
            changed.wait(lock, [&] { return released; });
            return launch::Launcher(rig.ctx.host, rig.random).Start(plan, stop);
        };
        WireLaunch(rig.ctx, services);
        ASSERT_TRUE(rig.main->Click(kButton));
        {
            std::unique_lock lock(mutex);
            changed.wait(lock, [&] { return entered; });
        }
        const auto window = rig.StartWindow();
        ASSERT_TRUE(cancel(*window));
        EXPECT_EQ(window->CloseCount(), 1);
        EXPECT_FALSE(rig.state.launch_in_progress);
        {
            std::lock_guard lock(mutex);
            released = true;
            changed.notify_all();
        }
        rig.workers.StopAll();

        EXPECT_EQ(rig.state.game_pid, 0) << "no game was started";
        EXPECT_FALSE(fs::exists(rig.game.root() + "/record.json"));
        EXPECT_TRUE(rig.app.MessageBoxes().empty());
        EXPECT_EQ(rig.state.launch_error.Get(), "");
        EXPECT_TRUE(rig.app.SoundsPlayed().empty()) << "no watcher";
        EXPECT_EQ(window->History("初始化进度_文字1", "text"), (Texts{"正在检查参数", "正在启动游戏"}));
        EXPECT_TRUE(rig.main->Reachable(kButton));
    }
}

// A game that dies at start (here the fake game, which without a record
// file complains on its error stream and exits with 3) is reported with its
// status and its last words, read from its launch log, which Yes opens.
TEST(LaunchFlow, AGameThatDiesAtStartIsReportedWithItsLog) {
    LaunchRig rig;
    rig.game.Manifest("1.12.2", testing::manifests::Vanilla1122());
    fs::copy_file(KESTREL_FAKE_GAME_JAR, rig.game.path() + "/versions/1.12.2/1.12.2.jar");
    const std::string java = fs::canonical(KESTREL_JAVA).string();
    rig.Settings([&](SettingsRecord& s) { s.java_path = java; });
    LaunchServices services = LaunchServices::Platform();
    services.find_window = [](int) { return platform::kNoWindow; };
    WireLaunch(rig.ctx, services);

    rig.clock.Hold(true);
    ASSERT_TRUE(rig.main->Click(kButton));
    const auto window = rig.StartWindow();
    ASSERT_TRUE(window->WaitUntil([&] { return window->Active("游戏初始化"); }, std::chrono::seconds(60)));
    // Reaped here first: the watcher still learns the status.
    EXPECT_EQ(platform::WaitForProcess(rig.state.game_pid).value(), 3);
    rig.clock.Hold(false);
    ASSERT_TRUE(rig.app.WaitForMessageBoxes(1, std::chrono::seconds(60)));
    rig.workers.StopAll();

    const auto boxes = rig.app.MessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "游戏异常退出");
    EXPECT_EQ(boxes[0].buttons, toolkit::MessageButtons::YesNo);
    EXPECT_TRUE(boxes[0].text.starts_with("游戏启动后异常退出!\r\n退出代码:3\r\n")) << boxes[0].text;
    EXPECT_NE(boxes[0].text.find("fake game: no --record FILE and no -Dkestrel.record"), std::string::npos)
        << boxes[0].text;
    const std::vector<std::string> opened = rig.app.OpenedInShell();
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(fs::path(opened[0]).parent_path(), fs::path(rig.game.path() + "/logs"));
    EXPECT_NE(boxes[0].text.find("日志文件:" + opened[0]), std::string::npos);
    EXPECT_EQ(window->CloseCount(), 1);
    EXPECT_FALSE(rig.state.launch_in_progress);
}

}  // namespace
}  // namespace kestrel::shell
