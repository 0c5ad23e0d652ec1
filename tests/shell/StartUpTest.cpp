// The start-up sequence of the main window on the in-memory toolkit: the
// order of its steps and threads, the overlay's texts, percentages and fade,
// the data folder, the options loader's Java check, and that nothing it
// runs can hold up the user-interface thread.

#include "shell/StartUp.h"

#include <future>

#include <gtest/gtest.h>

#include "shell/StartUpFolders.h"
#include "shell/StartUpOverlay.h"
#include "toolkit/Assets.h"
#include "StartUpFixture.h"

namespace kestrel::shell {
namespace {

using testing::EventLog;
using testing::StartUpFixture;

TEST(StartUp, RunsItsStepsInOrderWithTheirTextsAndPercentages) {
    StartUpFixture f;
    EventLog log;
    StartUpHooks hooks = StartUpFixture::QuietHooks();
    // The second wave's hooks note their name and whether the two pauses
    // (100 ms and 500 ms of fake time) were over when they started.
    auto note = [&](const std::string& name) { log.Add(name + (f.clock.NowMs() >= 600 ? "@after" : "@early")); };
    hooks.lay_out_account_panel = [&](LauncherContext&) { log.Add("layout"); };
    hooks.read_account_cache = [&](LauncherContext& ctx) {
        log.Add("cache");
        accounts::CachedAccount cached;
        cached.text = "NAME:\"Steve\"";
        cached.name = "Steve";
        ctx.state.accounts.SetCached(cached);
    };
    hooks.run_update_checks = [&](LauncherContext&, std::stop_token, const StepReporter& step) {
        note("updates");
        step("正在尝试连接Github仓库...", 20);
        step("正在检查更新(游戏客户端)...", 30);
        step("正在检查更新(启动器)...", 30);
    };
    hooks.automatic_sign_in = [&](LauncherContext&, std::stop_token, const StepReporter&) { log.Add("sign-in"); };
    hooks.update_result_text = [](LauncherContext&) { return std::string("检查更新完成!"); };
    hooks.show_update_state = [&](LauncherContext& ctx) {
        log.Add("update state");
        ctx.main_window->SetText("版本号显示", "22w02a");
    };
    hooks.fill_notice_board = [&](LauncherContext&, std::stop_token) { note("notice"); };
    hooks.fill_status_board = [&](LauncherContext&, std::stop_token) { note("status"); };
    hooks.load_slogans = [&](LauncherContext&, std::stop_token) { note("slogans"); };
    hooks.wire_sign_in = [&](LauncherContext&) { log.Add("wire sign-in"); };
    hooks.wire_launch = [&](LauncherContext&) { log.Add("wire launch"); };
    hooks.wire_content = [&](LauncherContext&) { log.Add("wire content"); };

    f.Start(hooks);
    ASSERT_TRUE(f.WaitForOverlayAway());
    ASSERT_TRUE(f.window->WaitUntil([&] { return log.IndexOf("update state") >= 0; }, std::chrono::seconds(10)));
    f.workers.StopAll();

    auto& w = *f.window;
    EXPECT_EQ(w.History("初始化", "x,y"), (std::vector<std::string>{"0,0", "5000,0"}));
    EXPECT_EQ(w.History("窗口EX1", "visible"), (std::vector<std::string>{"1"}));
    EXPECT_EQ(w.History("初始化进度_文字1", "text"),
              (std::vector<std::string>{"正在尝试连接Github仓库...", "正在检查更新(游戏客户端)...",
                                        "正在检查更新(启动器)...", "正在自动登录您的账号", "检查更新完成!"}));
    EXPECT_EQ(w.History("初始化进度", "value"), (std::vector<std::string>{"20", "30", "30", "80", "100"}));
    EXPECT_EQ(w.History("初始化进度_文字", "text"), (std::vector<std::string>{"20%", "30%", "30%", "80%", "100%"}));
    EXPECT_EQ(w.Picture("初始化").size(), toolkit::Asset("overlay.png").size());

    // The waits: 100 ms before the frame, 500 ms before the second wave, 1 s
    // before the fade, 25 fade steps of 10 ms and the 3 s with the overlay
    // hidden. The second wave's threads start after the first 600 ms.
    std::vector<std::int64_t> expected = {100, 500, 1000};
    expected.insert(expected.end(), 25, 10);
    expected.push_back(3000);
    EXPECT_EQ(f.clock.Sleeps(), expected);
    for (const char* job : {"updates@after", "notice@after", "status@after", "slogans@after"}) {
        EXPECT_GE(log.IndexOf(job), 0) << job;
    }
    // The wiring comes before the window opens, the layout with its creation;
    // the sign-in waits for the cache and the update state comes last.
    const auto entries = log.Entries();
    ASSERT_GE(entries.size(), 4u);
    EXPECT_EQ(std::vector<std::string>(entries.begin(), entries.begin() + 4),
              (std::vector<std::string>{"wire sign-in", "wire launch", "wire content", "layout"}));
    EXPECT_LT(log.IndexOf("cache"), log.IndexOf("sign-in"));
    EXPECT_LT(log.IndexOf("updates@after"), log.IndexOf("sign-in"));
    EXPECT_LT(log.IndexOf("sign-in"), log.IndexOf("update state"));

    // The constants of the start.
    const Constants c = f.state.constants.Get();
    EXPECT_EQ(c.launcher_version, "22w02a");
    EXPECT_EQ(c.update_base_url, f.ctx.endpoints.Base("update"));
    EXPECT_EQ(c.notice_url, f.ctx.endpoints.Base("update") + "notice.xml");
    EXPECT_EQ(c.slogans_url, f.ctx.endpoints.Base("slogans"));
    EXPECT_EQ(c.oauth_client_id, "0f3c9a2e-5b7d-4e61-8a4c-2d9e7b1f6c30");
    EXPECT_TRUE(w.Problems().empty()) << w.Problems().front();
}

TEST(StartUp, WithoutHooksOrCacheItStillReachesTheFadeAndSkipsTheSignInStep) {
    StartUpFixture f;
    f.Start(StartUpFixture::QuietHooks());
    ASSERT_TRUE(f.WaitForOverlayAway());
    // No update check and no cached account: only the 100 % of the last step.
    EXPECT_TRUE(f.window->History("初始化进度_文字1", "text").empty());
    EXPECT_EQ(f.window->History("初始化进度", "value"), (std::vector<std::string>{"100"}));
    EXPECT_EQ(f.window->Text("初始化进度_文字"), "100%");
    // The defaults of a missing options file are in the record, and music
    // is on, but there is nothing to play: no player is made.
    EXPECT_TRUE(f.state.settings.Get().music_player);
    EXPECT_EQ(f.state.settings.Get().memory, 4096);
    EXPECT_TRUE(f.app.MediaPlayers().empty());
    EXPECT_TRUE(f.app.MessageBoxes().empty());
}

TEST(StartUp, TheSignInWaitsForTheAccountCacheHoweverLongItsReadingTakes) {
    StartUpFixture f;
    StartUpHooks hooks = StartUpFixture::QuietHooks();
    // The cache is read only after the update checks are over, long after
    // the 500 ms pause: the start-up worker must wait for it all the same.
    std::promise<void> updates_done;
    std::shared_future<void> updates_done_future = updates_done.get_future().share();
    hooks.run_update_checks = [&](LauncherContext&, std::stop_token, const StepReporter&) { updates_done.set_value(); };
    hooks.read_account_cache = [&](LauncherContext& ctx) {
        updates_done_future.wait();
        accounts::CachedAccount cached;
        cached.text = "NAME:\"Alex\"";
        ctx.state.accounts.SetCached(cached);
    };
    std::atomic<int> sign_ins{0};
    hooks.automatic_sign_in = [&](LauncherContext&, std::stop_token, const StepReporter&) { ++sign_ins; };
    f.Start(hooks);
    ASSERT_TRUE(f.WaitForOverlayAway());
    EXPECT_EQ(sign_ins, 1);
    EXPECT_EQ(f.window->History("初始化进度", "value"), (std::vector<std::string>{"80", "100"}));
}

TEST(StartUp, MusicStartsAfterTheLastStepWhenTheSettingIsOn) {
    for (const bool music_on : {true, false}) {
        SCOPED_TRACE(music_on);
        StartUpFixture f;
        f.Write("KSTfiles/LauncherOptions.ini", music_on ? "Musicplayer=\"True\"" : "Musicplayer=\"False\"");
        const std::string track = f.Write("KSTfiles/Music/track.mp3", "ID3");
        // The first draw is the music loop's (there are no backgrounds); the
        // launch button is pressed right then, so the loop ends by itself.
        std::promise<void> drawn;
        f.random.on_draw = [&] {
            f.state.music_playing = false;
            drawn.set_value();
            f.random.on_draw = nullptr;
        };
        f.Start(StartUpFixture::QuietHooks());
        ASSERT_TRUE(f.WaitForOverlayAway());
        if (music_on) drawn.get_future().wait();
        f.workers.StopAll();
        if (music_on) {
            ASSERT_EQ(f.app.MediaPlayers().size(), 1u);
            EXPECT_EQ(f.app.MediaPlayers()[0].opened, (std::vector<std::string>{track}));
            EXPECT_EQ(f.app.MediaPlayers()[0].plays, 0);
        } else {
            EXPECT_TRUE(f.app.MediaPlayers().empty());
            EXPECT_TRUE(f.random.Ranges().empty());
        }
    }
}

TEST(StartUpOverlay, FadesIn25StepsOf10ThenGoesOutOfSight) {
    StartUpFixture f;
    f.window->Move("初始化", 0, 0);
    f.window->ClearChanges();
    FadeOverlay(*f.window, f.clock, {});

    std::vector<std::string> fade;
    for (int opacity = 245; opacity >= 5; opacity -= 10) fade.push_back(std::to_string(opacity));
    ASSERT_EQ(fade.size(), 25u);
    std::vector<std::string> expected = fade;
    expected.push_back("255");
    for (const char* name : {"初始化", "初始化进度", "初始化进度_文字", "初始化进度_文字1"}) {
        EXPECT_EQ(f.window->History(name, "opacity"), expected) << name;
    }
    EXPECT_EQ(f.window->History("初始化", "visible"), (std::vector<std::string>{"0", "0"}));
    EXPECT_EQ(f.window->Geometry("初始化").x, 5000);
    std::vector<std::int64_t> sleeps(25, 10);
    sleeps.push_back(3000);
    EXPECT_EQ(f.clock.Sleeps(), sleeps);
}

TEST(StartUpOverlay, AStopRequestEndsTheFadeAtOnce) {
    StartUpFixture f;
    std::stop_source stop;
    stop.request_stop();
    FadeOverlay(*f.window, f.clock, stop.get_token());
    EXPECT_EQ(f.window->History("初始化", "opacity"), (std::vector<std::string>{"245"}));
    EXPECT_TRUE(f.window->Visible("初始化"));
}

TEST(StartUpOverlay, AStepShowsTextBarAndPercentage) {
    StartUpFixture f;
    SetStartUpStep(*f.window, "正在检查更新(启动器)...", 30);
    EXPECT_EQ(f.window->Text("初始化进度_文字1"), "正在检查更新(启动器)...");
    EXPECT_EQ(f.window->Value("初始化进度"), 30);
    EXPECT_EQ(f.window->Text("初始化进度_文字"), "30%");
}

TEST(StartUpFolders, MakesTheFoldersAndWritesBothReadmesInGbkEveryTime) {
    StartUpFixture f;
    f.Write("KSTfiles/Backgrounds/必读.txt", "edited by the player");
    // An editor's line end is not part of the version: with it the client
    // package would never match the published one.
    f.Write("KSTfiles/ClientVersion.ini", "1.2.3\r\n");
    f.Start(StartUpFixture::QuietHooks());
    ASSERT_TRUE(f.WaitForOverlayAway());
    EXPECT_TRUE(platform::IsFolder(f.Program("KSTfiles/Music")));
    EXPECT_EQ(f.Read("KSTfiles/Backgrounds/必读.txt"),
              "\xc4\xbf\xc7\xb0\xd6\xbb\xc4\xdc\xca\xb6\xb1\xf0\x6a\x70\x67\xa3\xa1\xa3\xa1\xa3\xa1\xa3\xa1\x0d\x0a"
              "\xc7\xd2\xce\xaa\xc1\xcb\xcf\xd4\xca\xbe\xd0\xa7\xb9\xfb\xa3\xac\xc7\xeb\xc4\xfa\xcc\xed\xbc\xd3\x37"
              "\x38\x38\x78\x34\x35\x35\xbb\xf2\xcf\xe0\xcd\xac\xb1\xc8\xc0\xfd\xb5\xc4\xcd\xbc\xc6\xac");
    EXPECT_EQ(f.Read("KSTfiles/Music/必读.txt"),
              "\xc4\xbf\xc7\xb0\xd6\xbb\xc4\xdc\xca\xb6\xb1\xf0\x4d\x50\x33\xa3\xa1\xa3\xa1\xa3\xa1\xa3\xa1");
    EXPECT_EQ(f.state.constants.Get().client_version, "1.2.3");
}

TEST(StartUpFolders, AMissingClientVersionFileGivesAnEmptyClientVersion) {
    StartUpFixture f;
    f.state.constants.Update([](Constants& c) { c.client_version = "stale"; });
    SetStartUpConstants(f.ctx);
    EXPECT_EQ(f.state.constants.Get().client_version, "");
}

TEST(StartUpOptions, FillsInJavaOrWarnsOnceWhenThereIsNone) {
    struct Case {
        const char* name;
        std::string options;  // the options file
        std::string found;    // what Java discovery finds
        std::string java;     // the Java path afterwards
        bool warned;
        bool searched;
    };
    const Case cases[] = {
        {"none found", "", "", "", true, true},
        {"one found", "", "/usr/lib/jvm/java-17/bin/java", "/usr/lib/jvm/java-17/bin/java", false, true},
        {"already set", "Java=\"/opt/jdk/bin/java\"", "/other/bin/java", "/opt/jdk/bin/java", false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StartUpFixture f;
        if (!c.options.empty()) f.Write("KSTfiles/LauncherOptions.ini", c.options);
        StartUpHooks hooks = StartUpFixture::QuietHooks();
        bool searched = false;
        hooks.first_java_path = [&] {
            searched = true;
            return c.found;
        };
        f.Start(hooks);
        ASSERT_TRUE(f.WaitForOverlayAway());
        f.workers.StopAll();
        EXPECT_EQ(f.state.settings.Get().java_path, c.java);
        EXPECT_EQ(searched, c.searched);
        const auto boxes = f.app.MessageBoxes();
        ASSERT_EQ(boxes.size(), c.warned ? 1u : 0u);
        if (c.warned) {
            EXPECT_EQ(boxes[0].text, "未自动检测到Java,请您前往设置手动选择!");
            EXPECT_EQ(boxes[0].caption, "Kestrel2");
            EXPECT_EQ(boxes[0].icon, toolkit::MessageIcon::Warning);
        }
    }
}

TEST(StartUp, TheUserInterfaceThreadIsNeverHeldByAHookThatWaitsForEver) {
    StartUpFixture f;
    StartUpHooks hooks = StartUpFixture::QuietHooks();
    bool settings_opened = false;
    hooks.open_settings_window = [&](LauncherContext&) { settings_opened = true; };
    // The slogans never arrive: the hook holds the clock and waits on it
    // until the launcher ends.
    std::atomic<bool> slogans_waiting{false};
    hooks.load_slogans = [&](LauncherContext& ctx, std::stop_token stop) {
        f.clock.Hold(true);
        slogans_waiting = true;
        ctx.clock.Sleep(24LL * 3600 * 1000, stop);
    };
    f.Write(".minecraft/versions/1.18.2/1.18.2.json", "{}");

    f.Start(hooks);  // returns: the created event ran on this thread
    EXPECT_EQ(f.window->Geometry("初始化").x, 0);
    ASSERT_TRUE(f.window->WaitUntil([&] { return slogans_waiting.load(); }, std::chrono::seconds(10)));
    // The options loader's worker writes the folders, off this thread.
    EXPECT_TRUE(f.window->WaitUntil(
        [&] { return platform::IsRegularFile(f.Program("KSTfiles/Backgrounds/必读.txt")); },
        std::chrono::seconds(10)));
    f.clock.WaitForSleepers(1);

    // The window answers the player meanwhile.
    EXPECT_EQ(f.window->Fire("设置按钮", toolkit::Event::Click), 1);
    EXPECT_TRUE(settings_opened);
    f.window->Fire("版本框", toolkit::Event::ListOpened);
    EXPECT_TRUE(f.window->WaitUntil([&] { return f.window->Items("版本框").size() == 1; }, std::chrono::seconds(10)));

    // Closing ends the launcher, and shutting down does not wait for the sleep.
    EXPECT_TRUE(f.window->CloseByPlayer());
    EXPECT_EQ(f.app.QuitCount(), 1);
    f.workers.StopAll();
    EXPECT_EQ(f.workers.Running(), 0);
}

}  // namespace
}  // namespace kestrel::shell
