// The whole launch in the real kestrel program, seen from outside through
// the X server of the test's own: kestrel starts from a temporary program
// folder whose options name a version that runs the fake game in its window
// mode, the machine's Java, a game window title and after-launch action 5;
// the account cache remembers an offline player. Every service address is a
// closed port of 127.0.0.1. Once the start-up overlay has faded (the
// remembered player is signed in before the fade begins), a synthetic click
// (XTest) on 启动游戏按钮 starts the game: its window appears and takes the
// configured title, and only then does the game-start window ("Minecraft")
// go. The test ends the game, then closes the main window with its close
// button, which ends kestrel with status 0.

#include <QImage>
#include <signal.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "app/KestrelProcess.h"
#include "app/OverlayDifference.h"
#include "launch/GameFolder.h"
#include "platform/Clock.h"
#include "platform/Files.h"
#include "support/XvfbServer.h"
// Xlib's macros (Status, None, Bool) clash with the names of the headers
// above, so the X headers come last.
#include "app/XTestWindow.h"

namespace kestrel::app {
namespace {

namespace fs = std::filesystem;

constexpr int kPollMs = 50;
constexpr int kPatienceMs = 120000;  // sanitizer builds start slowly; the watcher pauses 9 s
constexpr const char* kTitle = "我的世界 Kestrel 2";
// The centre of 启动游戏按钮 in the main window: the background at (1, 30),
// the account panel at (0, 0) in it, the button at (55, 330), 128 × 34.
constexpr int kLaunchX = 1 + 55 + 64, kLaunchY = 30 + 330 + 17;
const QRect kLaunchButton(1 + 55, 30 + 330, 128, 34);
// The frame's close button: the last 42 pixels of the 30-pixel title bar.
constexpr int kCloseX = 790 - 21, kCloseY = 15;

TEST(KestrelEndToEnd, TheLaunchButtonStartsTheGameWhoseWindowTakesTheConfiguredTitle) {
    const std::string java = fs::canonical(KESTREL_JAVA).string();
    // A headless Java runtime has no X11 toolkit to open the game's window.
    if (!fs::exists(fs::path(java).parent_path().parent_path() / "lib" / "libawt_xawt.so")) {
        GTEST_SKIP() << java << " is a headless runtime; the game's window needs the full one (openjdk-17-jre)";
    }
    testing::XvfbServer xvfb;
    if (!xvfb.ok()) GTEST_SKIP() << xvfb.why();
    const auto began = std::chrono::steady_clock::now();

    testing::KestrelProcess kestrel(xvfb.name());
    testing::TempFolder& folder = kestrel.folder();
    const std::string record = folder.path() + "/record.json";
    folder.Write("program/.minecraft/versions/1.12.2/1.12.2.json",
                 testing::manifests::Vanilla1122(" --record " + record + " --window"));
    fs::copy_file(KESTREL_FAKE_GAME_JAR, kestrel.program() + "/.minecraft/versions/1.12.2/1.12.2.jar");
    folder.Write("program/KSTfiles/LauncherOptions.ini", testing::LauncherOptions(java, "1.12.2", kTitle, false));
    folder.Write("appdata/Kestrel2/ACCOUNT.cache", testing::kOfflineSteveAccount);
    ASSERT_TRUE(kestrel.Start({}));

    Display* display = testing::OpenClickableDisplay(xvfb.name());
    ASSERT_NE(display, nullptr) << "no display, or Xvfb without XTest";
    platform::SystemClock clock;
    const auto wait_for = [&](const std::function<bool()>& done) {
        return kestrel.WaitFor(done, kPatienceMs, kPollMs);
    };

    // The overlay has faded once the launch button shows instead of it, and
    // the button's place looks the same over six polls (the fade changes
    // the picture every 10 ms, and lasts 250 ms).
    Window main = 0;
    QImage last;
    int same = 0;
    const bool faded = wait_for([&] {
        if (!main) main = testing::TopLevelWindowTitled(display, "Kestrel 2");
        if (!main) return false;
        const QImage picture = testing::WindowPicture(display, main);
        if (picture.size() != QSize(790, 486)) return false;
        const QImage button = picture.copy(kLaunchButton);
        same = button == last ? same + 1 : 0;
        last = button;
        return same >= 6 && testing::OverlayDifference(picture, kLaunchButton) > 1000;
    });
    ASSERT_TRUE(faded) << "the overlay did not fade (kestrel status " << kestrel.ExitStatusNow() << ")";

    testing::Click(display, main, kLaunchX, kLaunchY);

    // The game's window: a top-level window of another process than kestrel,
    // under the game's own title or the configured one.
    Window game = 0;
    bool titled = false, start_seen = false, start_gone = false, gone_before_title = false;
    wait_for([&] {
        if (!game) {
            game = testing::TopLevelWindowWhere(display, [&](Window w) {
                if (testing::WindowPid(display, w) == kestrel.pid()) return false;
                const std::string name = testing::NetWmName(display, w);
                return name == kTitle || name == "Fake Game" || testing::WmName(display, w) == "Fake Game";
            });
        }
        if (game && !titled) titled = testing::NetWmName(display, game) == kTitle;
        const Window now = testing::TopLevelWindowTitled(display, "Minecraft");
        if (now) {
            start_seen = true;
        } else if (start_seen && !start_gone) {
            start_gone = true;
            gone_before_title = !titled;
        }
        return titled && start_gone;
    });
    const long game_pid = game ? testing::WindowPid(display, game) : 0;
    // A test that fails from here on still ends the game.
    struct EndGame {
        long pid;
        ~EndGame() {
            if (pid > 0) ::kill(static_cast<pid_t>(pid), SIGKILL);
        }
    } end_game{game_pid};
    EXPECT_TRUE(start_seen) << "no game-start window";
    EXPECT_NE(game, 0u) << "the game's window never appeared";
    EXPECT_TRUE(titled) << "the game's window is titled \"" << (game ? testing::NetWmName(display, game) : "")
                        << "\"";
    EXPECT_TRUE(start_gone) << "the game-start window stayed";
    EXPECT_FALSE(gone_before_title) << "the game-start window went before the game's window was renamed";

    // The game ran as the remembered player, with the launch's watermark as
    // its version name.
    const std::string started = platform::ReadFile(record).value_or("");
    EXPECT_NE(started.find("\"--username\",\"Steve\""), std::string::npos) << started;
    EXPECT_NE(started.find("\"--version\",\"由Kestrel 2安全启动\""), std::string::npos) << started;

    // The game ends; its window goes with its connection.
    if (game_pid > 0) {
        ::kill(static_cast<pid_t>(game_pid), SIGTERM);
        EXPECT_TRUE(wait_for([&] {
            return testing::TopLevelWindowWhere(display, [&](Window w) { return w == game; }) == 0;
        })) << "the game did not end";
        end_game.pid = 0;
    }

    // The main window is still the player's; its close button ends kestrel.
    ASSERT_EQ(kestrel.ExitStatusNow(), -1) << "kestrel ended by itself";
    ASSERT_EQ(testing::TopLevelWindowTitled(display, "Kestrel 2"), main);
    testing::Click(display, main, kCloseX, kCloseY);
    int status = -1;
    for (int waited = 0; waited < kPatienceMs && status < 0; waited += kPollMs) {
        status = kestrel.ExitStatusNow();
        if (status < 0) clock.Sleep(kPollMs, {});
    }
    XCloseDisplay(display);
    EXPECT_EQ(status, 0) << "kestrel did not end by itself after its window closed";

    const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
    std::printf("the launch end to end took %.1f s\n", seconds);
}

}  // namespace
}  // namespace kestrel::app
