// The download window in the real kestrel program, seen from outside through
// the X server of the test's own: kestrel starts with --window download from
// a temporary program folder whose game folder is empty and whose account
// cache remembers an offline player. A local file server stands in for the
// catalogue's and the game files' hosts (the endpoints file sends the
// official hosts there) and serves one small version whose client jar is the
// fake game. Synthetic clicks (XTest) choose the version and install it;
// once the options file names it, the download window is closed and the
// launch button starts the game, whose window appears.
//
// With KESTREL_SCREENSHOTS=DIR in the environment the test also saves the
// pictures of the window for the documentation: the list, a running install
// (the client jar's download is held back until the picture is taken) and
// the finished one.

#include <QImage>
#include <signal.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "app/KestrelProcess.h"
#include "download/DownloadFixture.h"
#include "download/FileServer.h"
#include "launch/GameFolder.h"
#include "platform/Clock.h"
#include "platform/Files.h"
#include "support/XvfbServer.h"
// Xlib's macros clash with the names of the headers above.
#include "app/XTestWindow.h"

namespace kestrel::app {
namespace {

namespace fs = std::filesystem;
using download::HexSha1;

constexpr int kPollMs = 50;
constexpr int kPatienceMs = 120000;
constexpr const char* kId = "e2e-1.0";

// Places in the download window: the background at (1, 30); the catalogue
// panel at (16, 16) in it with the list at (12, 42); the install panel at
// (466, 16) with "安装" at (12, 242), 282 × 34. The list's first row lies
// below its heading.
constexpr int kFirstRowX = 1 + 16 + 12 + 80, kFirstRowY = 30 + 16 + 42 + 36;
constexpr int kInstallX = 1 + 466 + 12 + 141, kInstallY = 30 + 16 + 242 + 17;
constexpr int kCloseX = 790 - 21, kCloseY = 15;
// 启动游戏按钮 in the main window.
constexpr int kLaunchX = 1 + 55 + 64, kLaunchY = 30 + 330 + 17;

// One small version: the fake game as its client jar, one asset, no
// libraries, served under the official hosts' folders.
struct SmallVersion {
    std::string client;
    std::string sound = download::Bytes(600, 3);
    std::string record;

    std::string Index() const {
        return R"({"objects":{"sound/click.ogg":{"hash":")" + HexSha1(sound) + R"(","size":)" +
               std::to_string(sound.size()) + "}}}";
    }
    std::string Json() const {
        return std::string(R"({"id":")") + kId + R"(","type":"release","mainClass":"net.minecraft.client.main.Main",)" +
               R"("minecraftArguments":")" + testing::manifests::kLegacyArguments + " --record " + record +
               R"( --window","assets":"e2e","assetIndex":{"id":"e2e","sha1":")" + HexSha1(Index()) +
               R"(","size":)" + std::to_string(Index().size()) +
               R"(,"url":"https://piston-meta.mojang.com/v1/packages/e2e-index.json"},)" +
               R"("downloads":{"client":{"sha1":")" + HexSha1(client) + R"(","size":)" + std::to_string(client.size()) +
               R"(,"url":"https://piston-data.mojang.com/v1/objects/client.jar"}},"libraries":[]})";
    }
    void Serve(kestrel::testing::FileServer& server) const {
        server.Put("/meta/mc/game/version_manifest_v2.json",
                   std::string(R"({"latest":{},"versions":[{"id":")") + kId +
                       R"(","type":"release","url":"https://piston-meta.mojang.com/v1/packages/e2e.json",)" +
                       R"("releaseTime":"2026-12-01T10:00:00+00:00","sha1":")" + HexSha1(Json()) + R"("},)" +
                       // Older entries, never fetched, so the list looks like the real one.
                       R"({"id":"e2e-snapshot","type":"snapshot","url":"https://piston-meta.mojang.com/s.json"},)" +
                       R"({"id":"1.21.4","type":"release","url":"https://piston-meta.mojang.com/a.json","releaseTime":"2024-12-03T10:12:57+00:00"},)" +
                       R"({"id":"1.21.1","type":"release","url":"https://piston-meta.mojang.com/b.json","releaseTime":"2024-08-08T12:24:45+00:00"},)" +
                       R"({"id":"1.20.1","type":"release","url":"https://piston-meta.mojang.com/c.json","releaseTime":"2023-06-12T13:25:51+00:00"},)" +
                       R"({"id":"1.16.5","type":"release","url":"https://piston-meta.mojang.com/d.json","releaseTime":"2021-01-14T16:05:32+00:00"},)" +
                       R"({"id":"1.12.2","type":"release","url":"https://piston-meta.mojang.com/e.json","releaseTime":"2017-09-18T08:39:46+00:00"},)" +
                       R"({"id":"1.8.9","type":"release","url":"https://piston-meta.mojang.com/f.json","releaseTime":"2015-12-03T09:24:39+00:00"}]})");
        server.Put("/meta/v1/packages/e2e.json", Json());
        server.Put("/meta/v1/packages/e2e-index.json", Index());
        server.Put("/data/v1/objects/client.jar", client);
        const std::string hash = HexSha1(sound);
        server.Put("/assets/" + hash.substr(0, 2) + "/" + hash, sound);
    }
};

TEST(KestrelEndToEnd, TheDownloadWindowInstallsAVersionThatThenLaunches) {
    const std::string java = fs::canonical(KESTREL_JAVA).string();
    if (!fs::exists(fs::path(java).parent_path().parent_path() / "lib" / "libawt_xawt.so")) {
        GTEST_SKIP() << java << " is a headless runtime; the game's window needs the full one (openjdk-17-jre)";
    }
    testing::XvfbServer xvfb;
    if (!xvfb.ok()) GTEST_SKIP() << xvfb.why();
    const char* shots = std::getenv("KESTREL_SCREENSHOTS");
    // The title is not ASCII: the window manager's UTF-8 name carries it.
    const auto titled = [](Display* d, const std::string& title) {
        return testing::TopLevelWindowWhere(d, [&](Window w) { return testing::NetWmName(d, w) == title; });
    };

    kestrel::testing::FileServer server;
    testing::KestrelProcess kestrel(xvfb.name());
    testing::TempFolder& folder = kestrel.folder();
    SmallVersion version;
    version.client = platform::ReadFile(KESTREL_FAKE_GAME_JAR).value_or("");
    ASSERT_FALSE(version.client.empty());
    version.record = folder.path() + "/record.json";
    version.Serve(server);
    if (shots) {
        // The client jar is held back until the running install's picture is taken.
        server.Script("/data/v1/objects/client.jar", {{kestrel::testing::FileServer::Fault::kStall, 0, 1000}});
    }
    const std::string endpoints = folder.path() + "/endpoints.txt";
    folder.Write("endpoints.txt", platform::ReadFile(endpoints).value_or("") +
                                      "https://piston-meta.mojang.com=" + server.Url("/meta") +
                                      "\nhttps://piston-data.mojang.com=" + server.Url("/data") +
                                      "\nhttps://resources.download.minecraft.net=" + server.Url("/assets") + "\n");
    folder.Write("program/KSTfiles/LauncherOptions.ini", testing::LauncherOptions(java, "", "", true));
    folder.Write("appdata/Kestrel2/ACCOUNT.cache", testing::kOfflineSteveAccount);
    ASSERT_TRUE(kestrel.Start({"--window", "download"}));

    Display* display = testing::OpenClickableDisplay(xvfb.name());
    ASSERT_NE(display, nullptr) << "no display, or Xvfb without XTest";
    platform::SystemClock clock;
    const auto wait_for = [&](const std::function<bool()>& done) {
        return kestrel.WaitFor(done, kPatienceMs, kPollMs);
    };
    // A picture that stays the same over several polls: the window has
    // painted what it was told.
    const auto settled = [&](Window window) {
        QImage last;
        int same = 0;
        wait_for([&] {
            const QImage picture = testing::WindowPicture(display, window);
            same = !picture.isNull() && picture == last ? same + 1 : 0;
            last = picture;
            return same >= 6;
        });
        return last;
    };
    const auto save = [&](const QImage& picture, const char* name) {
        if (shots) picture.save(QString::fromStdString(std::string(shots) + "/" + name), "PNG");
    };

    // The window opens once the start-up is over and fetches the catalogue.
    Window download = 0;
    ASSERT_TRUE(wait_for([&] {
        download = titled(display, "下载游戏");
        return download && server.RequestsFor("/meta/mc/game/version_manifest_v2.json") > 0;
    })) << "no download window (kestrel status " << kestrel.ExitStatusNow() << ")";
    save(settled(download), "download-window-list.png");

    testing::Click(display, download, kFirstRowX, kFirstRowY);
    settled(download);
    testing::Click(display, download, kInstallX, kInstallY);
    if (shots) {
        ASSERT_TRUE(wait_for([&] { return server.RequestsFor("/data/v1/objects/client.jar") > 0; }))
            << "the install did not start";
        save(settled(download), "download-window-installing.png");
        server.ReleaseStalls();
    }

    // The install ends with the version selected in the options file.
    const std::string options = kestrel.program() + "/KSTfiles/LauncherOptions.ini";
    const std::string jar = kestrel.program() + "/.minecraft/versions/" + kId + "/" + kId + ".jar";
    ASSERT_TRUE(wait_for([&] {
        return fs::exists(jar) && platform::ReadFile(options).value_or("").find(std::string("RINKU_SUTAATO=\"") + kId +
                                                                                  "\"") != std::string::npos;
    })) << "the version was not installed and selected";
    EXPECT_EQ(platform::ReadFile(jar).value_or(""), version.client);
    save(settled(download), "download-window-done.png");

    // Closed, the download window is gone; the launch button starts the game.
    testing::Click(display, download, kCloseX, kCloseY);
    ASSERT_TRUE(wait_for([&] { return titled(display, "下载游戏") == 0; }));
    const Window main = testing::TopLevelWindowTitled(display, "Kestrel 2");
    ASSERT_NE(main, 0u);
    testing::Click(display, main, kLaunchX, kLaunchY);
    Window game = 0;
    wait_for([&] {
        game = testing::TopLevelWindowWhere(display, [&](Window w) {
            if (testing::WindowPid(display, w) == kestrel.pid()) return false;
            return testing::NetWmName(display, w) == "Fake Game" || testing::WmName(display, w) == "Fake Game";
        });
        return game != 0;
    });
    const long game_pid = game ? testing::WindowPid(display, game) : 0;
    // A test that fails from here on still ends the game.
    struct EndGame {
        long pid;
        ~EndGame() {
            if (pid > 0) ::kill(static_cast<pid_t>(pid), SIGKILL);
        }
    } end_game{game_pid};
    EXPECT_NE(game, 0u) << "the installed version did not start";
    const std::string started = platform::ReadFile(version.record).value_or("");
    EXPECT_NE(started.find(std::string("\"--version\"")), std::string::npos) << started;
    EXPECT_NE(started.find("\"--username\",\"Steve\""), std::string::npos) << started;

    // The game-start window goes once the game's window is found.
    EXPECT_TRUE(wait_for([&] { return testing::TopLevelWindowTitled(display, "Minecraft") == 0; }))
        << "the game-start window stayed";

    // The game ends and its window goes; then the main window's close button
    // ends kestrel, as a player would.
    if (game_pid > 0) {
        ::kill(static_cast<pid_t>(game_pid), SIGTERM);
        EXPECT_TRUE(wait_for([&] {
            return testing::TopLevelWindowWhere(display, [&](Window w) { return w == game; }) == 0;
        })) << "the game did not end";
        end_game.pid = 0;
    }
    ASSERT_EQ(kestrel.ExitStatusNow(), -1) << "kestrel ended by itself";
    testing::Click(display, main, kCloseX, kCloseY);
    int status = -1;
    for (int waited = 0; waited < kPatienceMs && status < 0; waited += kPollMs) {
        status = kestrel.ExitStatusNow();
        if (status < 0) clock.Sleep(kPollMs, {});
    }
    XCloseDisplay(display);
    EXPECT_EQ(status, 0);
}

}  // namespace
}  // namespace kestrel::app
