// The real kestrel program on a virtual X server of the test's own: its main
// window appears, the start-up overlay fades, and the program saves a
// picture of the window and ends by itself (--grab). It runs from a
// temporary program folder (a copy of the program), with every service
// address on a closed port of 127.0.0.1, as on a machine without network:
// the start-up must still end with the overlay faded. (That a request which
// never gets an answer cannot hold up the window is shown with the in-memory
// toolkit, where a start-up hook waits for ever.)

#include <QImage>

#include <signal.h>

#include <cstdio>
#include <string>

#include <gtest/gtest.h>

#include "app/KestrelProcess.h"
#include "app/OverlayDifference.h"
#include "platform/Clock.h"
#include "platform/Files.h"
#include "support/X11Windows.h"
#include "support/XvfbServer.h"

namespace kestrel::app {
namespace {

// The libraries the program names in its dynamic section, as readelf lists
// them ("[libc.so.6]" lines).
std::string NeededLibraries(const std::string& program) {
    std::string out;
    if (FILE* pipe = ::popen(("readelf -d '" + program + "'").c_str(), "r")) {
        char line[512];
        while (std::fgets(line, sizeof line, pipe)) {
            if (std::string(line).find("(NEEDED)") != std::string::npos) out += line;
        }
        ::pclose(pipe);
    }
    return out;
}

// The network stack and libcrypto cost a start their loading while the first
// frame needs neither: the program loads them on first use, so it must not
// name them.
TEST(KestrelProgram, LinksNoNetworkOrCryptoLibraries) {
    const std::string needed = NeededLibraries(KESTREL_EXE);
    ASSERT_NE(needed.find("libQt6Widgets"), std::string::npos) << "readelf found nothing:\n" << needed;
    for (const char* library : {"libcurl", "libcrypto", "libssl", "libgnutls"}) {
        EXPECT_EQ(needed.find(library), std::string::npos) << library << " in\n" << needed;
    }
}

constexpr int kPollMs = 50;
constexpr int kPatienceMs = 90000;  // sanitizer builds start slowly

TEST(KestrelEndToEnd, TheMainWindowAppearsAndTheOverlayFades) {
    testing::XvfbServer xvfb;
    if (!xvfb.ok()) GTEST_SKIP() << xvfb.why();

    testing::KestrelProcess kestrel(xvfb.name());
    kestrel.folder().MakeFolder("program/.minecraft/versions/1.18.2");
    const std::string shot = kestrel.folder().path() + "/main-window.png";
    ASSERT_TRUE(kestrel.Start({"--grab", shot}));

    Display* display = XOpenDisplay(xvfb.name().c_str());
    ASSERT_NE(display, nullptr);
    testing::IgnoreXErrors();
    platform::SystemClock clock;
    bool appeared = false;
    int status = -1;
    for (int waited = 0; waited < kPatienceMs && status < 0; waited += kPollMs) {
        if (!appeared) appeared = testing::TopLevelWindowTitled(display, "Kestrel 2") != 0;
        status = kestrel.ExitStatusNow();
        if (status < 0) clock.Sleep(kPollMs, {});
    }
    XCloseDisplay(display);
    if (status < 0) FAIL() << "kestrel did not end";
    EXPECT_TRUE(appeared);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(platform::ReadFile(kestrel.stdout_path()).value_or(""), "saved " + shot + "\n");

    // The picture is the window without the overlay: compare it with the
    // overlay's own picture.
    QImage picture(QString::fromStdString(shot));
    ASSERT_FALSE(picture.isNull());
    EXPECT_EQ(picture.size(), QSize(790, 486));
    const long long difference = testing::OverlayDifference(picture, QRect(250, 40, 270, 446));
    EXPECT_GT(difference, 1000) << "the overlay still covers the window";

    // The start-up ran in the temporary program folder.
    EXPECT_TRUE(platform::IsRegularFile(kestrel.program() + "/KSTfiles/Backgrounds/必读.txt"));
}

// A request of the system to end the program (SIGTERM at log-out, SIGINT
// from a terminal) ends it as closing its window does: the workers are
// stopped and joined and the program exits with status 0, instead of dying
// in the middle of whatever it was writing.
TEST(KestrelEndToEnd, StopSignalsEndTheProgramCleanly) {
    testing::XvfbServer xvfb;
    if (!xvfb.ok()) GTEST_SKIP() << xvfb.why();
    for (int signal_number : {SIGTERM, SIGINT}) {
        testing::KestrelProcess kestrel(xvfb.name());
        ASSERT_TRUE(kestrel.Start({}));
        Display* display = XOpenDisplay(xvfb.name().c_str());
        ASSERT_NE(display, nullptr);
        testing::IgnoreXErrors();
        platform::SystemClock clock;
        bool appeared = false;
        for (int waited = 0; waited < kPatienceMs && !appeared && kestrel.ExitStatusNow() < 0; waited += kPollMs) {
            appeared = testing::TopLevelWindowTitled(display, "Kestrel 2") != 0;
            if (!appeared) clock.Sleep(kPollMs, {});
        }
        XCloseDisplay(display);
        ASSERT_TRUE(appeared) << "the main window did not appear";
        ::kill(kestrel.pid(), signal_number);
        int status = -1;
        for (int waited = 0; waited < kPatienceMs && status < 0; waited += kPollMs) {
            status = kestrel.ExitStatusNow();
            if (status < 0) clock.Sleep(kPollMs, {});
        }
        EXPECT_EQ(status, 0) << "signal " << signal_number;
    }
}

}  // namespace
}  // namespace kestrel::app
