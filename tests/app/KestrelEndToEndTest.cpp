// The real kestrel program on a virtual X server of the test's own: its main
// window appears, the start-up overlay fades, and the program saves a
// picture of the window and ends by itself (--grab). It runs from a
// temporary program folder (a copy of the program), with every service
// address on a closed port of 127.0.0.1, as on a machine without network:
// the start-up must still end with the overlay faded. (That a request which
// never gets an answer cannot hold up the window is shown with the in-memory
// toolkit, where a start-up hook waits for ever.)

#include <QImage>
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#include <spawn.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "platform/Clock.h"
#include "platform/Files.h"
#include "support/TempFolder.h"
#include "support/XvfbDisplay.h"
#include "toolkit/Assets.h"

namespace kestrel::app {
namespace {

namespace fs = std::filesystem;

constexpr int kPollMs = 50;
constexpr int kPatienceMs = 90000;  // sanitizer builds start slowly

// A port on 127.0.0.1 that nothing listens on: bound, then let go.
int ClosedPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), length);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(fd);
    return ntohs(address.sin_port);
}

// The child's exit status, or -1 while it runs.
int ExitStatusNow(pid_t pid) {
    int status = 0;
    const pid_t done = ::waitpid(pid, &status, WNOHANG);
    if (done != pid) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

TEST(KestrelEndToEnd, TheMainWindowAppearsAndTheOverlayFades) {
    testing::XvfbDisplay xvfb;
    if (!xvfb.ok()) GTEST_SKIP() << xvfb.error();

    testing::TempFolder folder;
    const std::string program = folder.MakeFolder("program");
    fs::copy_file(KESTREL_EXE, program + "/kestrel");
    fs::permissions(program + "/kestrel", fs::perms::owner_all);
    folder.MakeFolder("program/.minecraft/versions/1.18.2");
    const std::string base = "http://127.0.0.1:" + std::to_string(ClosedPort()) + "/";
    const std::string endpoints = folder.Write(
        "endpoints.txt", "mojang_auth=" + base + "\nmicrosoft_login=" + base + "\nxbox_user=" + base +
                             "\nxsts=" + base + "\nminecraft_services=" + base + "\nsession=" + base +
                             "\nupdate=" + base + "launcher/\nupdate_probe=" + base + "\nslogans=" + base +
                             "slogans/Titlelist.ini\nthanks=" + base + "Special_thanks.txt\n");
    const std::string shot = folder.path() + "/main-window.png";
    const std::string out = folder.path() + "/stdout.txt";
    const std::string runtime = folder.MakeFolder("runtime");
    fs::permissions(runtime, fs::perms::owner_all);

    std::vector<std::string> env = {
        "DISPLAY=" + xvfb.name(),
        "LOCALAPPDATA=" + folder.path() + "/appdata",
        "KESTREL_ENDPOINTS=" + endpoints,
        "HOME=" + folder.path(),
        "XDG_RUNTIME_DIR=" + runtime,
        "QT_QPA_PLATFORM=xcb",
        "PATH=/usr/bin:/bin",
        std::string("LSAN_OPTIONS=suppressions=") + KESTREL_LSAN_SUPPRESSIONS + ":print_suppressions=0",
        "JAVA_HOME=" + folder.path() + "/no-java",
    };
    std::vector<std::string> args = {program + "/kestrel", "--grab", shot};
    std::vector<char*> argv, envp;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    for (auto& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = -1;
    ASSERT_EQ(::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data()), 0);
    posix_spawn_file_actions_destroy(&actions);

    Display* display = XOpenDisplay(xvfb.name().c_str());
    ASSERT_NE(display, nullptr);
    platform::SystemClock clock;
    bool appeared = false;
    int status = -1;
    for (int waited = 0; waited < kPatienceMs && status < 0; waited += kPollMs) {
        if (!appeared) appeared = testing::TopLevelWindowTitled(display, "Kestrel 2") != 0;
        status = ExitStatusNow(pid);
        if (status < 0) clock.Sleep(kPollMs, {});
    }
    XCloseDisplay(display);
    if (status < 0) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
        FAIL() << "kestrel did not end";
    }
    EXPECT_TRUE(appeared);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(platform::ReadFile(out).value_or(""), "saved " + shot + "\n");

    // The picture is the window without the overlay: compare it with the
    // overlay's own picture.
    QImage picture(QString::fromStdString(shot));
    ASSERT_FALSE(picture.isNull());
    EXPECT_EQ(picture.size(), QSize(790, 486));
    const std::string_view overlay_bytes = toolkit::Asset("overlay.png");
    QImage overlay = QImage::fromData(reinterpret_cast<const uchar*>(overlay_bytes.data()),
                                      static_cast<int>(overlay_bytes.size()))
                         .scaled(790, 486)
                         .convertToFormat(QImage::Format_RGB32);
    picture = picture.convertToFormat(QImage::Format_RGB32);
    long long difference = 0;
    for (int y = 40; y < 486; y += 20) {
        for (int x = 250; x < 520; x += 20) {
            const QRgb a = picture.pixel(x, y), b = overlay.pixel(x, y);
            difference += std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) + std::abs(qBlue(a) - qBlue(b));
        }
    }
    EXPECT_GT(difference, 1000) << "the overlay still covers the window";

    // The start-up ran in the temporary program folder.
    EXPECT_TRUE(platform::IsRegularFile(program + "/KSTfiles/Backgrounds/必读.txt"));
}

}  // namespace
}  // namespace kestrel::app
