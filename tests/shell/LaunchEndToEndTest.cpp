// The whole launch for real: under an X server of the test's own (Xvfb), the
// machine's Java runs the fake game in its window mode; the watcher finds
// the game's window, gives it the configured title, and after-launch action
// 5 closes the game-start window.

#include <signal.h>

#include <filesystem>

#include <gtest/gtest.h>

#include "platform/Files.h"
#include "platform/Process.h"
#include "platform/WindowFinder.h"
#include "shell/LaunchFlow.h"
#include "shell/LaunchTestRig.h"
#include "support/XvfbServer.h"

namespace kestrel::shell {
namespace {

namespace fs = std::filesystem;

// The system clock at a hundredth of the time: the watcher's 9 s pause takes
// 90 ms, its 500 ms looks 5 ms, while the game really starts meanwhile.
class FastClock final : public platform::Clock {
public:
    bool Sleep(std::int64_t ms, std::stop_token stop) override {
        return real_.Sleep(std::max<std::int64_t>(1, ms / 100), stop);
    }
    std::int64_t NowMs() const override { return real_.NowMs() * 100; }

private:
    platform::SystemClock real_;
};

TEST(LaunchEndToEnd, TheWatcherRenamesTheRealGameWindowAndClosesTheStartWindow) {
    const std::string java = fs::canonical(KESTREL_JAVA).string();
    // A headless Java runtime has no X11 toolkit to open the game's window.
    if (!fs::exists(fs::path(java).parent_path().parent_path() / "lib" / "libawt_xawt.so")) {
        GTEST_SKIP() << java << " is a headless runtime; the game's window needs the full one (openjdk-17-jre)";
    }
    testing::XvfbServer xvfb;
    if (!xvfb.ok()) GTEST_SKIP() << xvfb.why();

    testing::LaunchRig rig;
    const std::string record = rig.game.root() + "/record.json";
    rig.game.Manifest("1.12.2", testing::manifests::Vanilla1122(" --record " + record + " --window"));
    fs::copy_file(KESTREL_FAKE_GAME_JAR, rig.game.path() + "/versions/1.12.2/1.12.2.jar");
    const std::string title = "我的世界 Kestrel 2";
    rig.Settings([&](SettingsRecord& s) {
        s.java_path = java;
        s.game_window_title = title;
        s.launcher_waiting = kDoNothing;
    });

    FastClock clock;
    platform::Workers workers;
    LauncherContext ctx{rig.state, rig.app, clock, rig.random, workers, rig.ctx.paths, rig.ctx.host, {}, rig.main};
    WireLaunch(ctx);
    ASSERT_TRUE(rig.main->Click("启动游戏按钮"));
    const bool closed = rig.WaitForClosedStartWindow();
    workers.StopAll();
    const int pid = rig.state.game_pid;
    ASSERT_TRUE(rig.app.MessageBoxes().empty()) << rig.app.MessageBoxes()[0].text;
    ASSERT_GT(pid, 0);
    EXPECT_TRUE(closed) << "the watcher never found the game's window";

    const platform::WindowId window = platform::FindWindowOf(pid);
    EXPECT_NE(window, platform::kNoWindow);
    EXPECT_EQ(platform::WindowTitle(window), title);
    EXPECT_FALSE(rig.state.launch_in_progress);
    EXPECT_TRUE(rig.main->WindowVisible());
    EXPECT_TRUE(platform::ReadFile(record).has_value());

    ::kill(pid, SIGTERM);
    EXPECT_TRUE(platform::WaitForProcess(pid).ok());
}

}  // namespace
}  // namespace kestrel::shell
