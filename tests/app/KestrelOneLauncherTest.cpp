// One launcher at a time on a program folder: a second kestrel started while
// one runs brings the running one's window to the front and ends with 0,
// instead of opening a second window over the same options file and account
// cache. The window's class is the one the desktop entry names, so the
// desktop ties the window to its menu entry.

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "app/KestrelProcess.h"
#include "platform/Clock.h"
#include "support/X11Windows.h"
#include "support/XvfbServer.h"

namespace kestrel::app {
namespace {

constexpr int kPollMs = 50;
constexpr int kPatienceMs = 90000;  // sanitizer builds start slowly

std::string StartupWmClassOfTheDesktopEntry() {
    std::ifstream entry(KESTREL_DESKTOP_ENTRY);
    std::string line;
    while (std::getline(entry, line)) {
        if (line.rfind("StartupWMClass=", 0) == 0) return line.substr(15);
    }
    return "";
}

TEST(KestrelOneLauncher, ASecondLauncherBringsTheFirstToTheFrontAndEnds) {
    testing::XvfbServer xvfb;
    if (!xvfb.ok()) GTEST_SKIP() << xvfb.why();
    testing::KestrelProcess kestrel(xvfb.name());
    ASSERT_TRUE(kestrel.Start({}));

    Display* display = XOpenDisplay(xvfb.name().c_str());
    ASSERT_NE(display, nullptr);
    testing::IgnoreXErrors();
    platform::SystemClock clock;
    Window launcher = 0;
    for (int waited = 0; waited < kPatienceMs && !launcher && kestrel.ExitStatusNow() < 0; waited += kPollMs) {
        launcher = testing::TopLevelWindowTitled(display, "Kestrel 2");
        if (!launcher) clock.Sleep(kPollMs, {});
    }
    ASSERT_NE(launcher, 0u) << "the main window did not appear";

    XClassHint hint{};
    ASSERT_TRUE(XGetClassHint(display, launcher, &hint));
    const std::string instance = hint.res_name, window_class = hint.res_class;
    XFree(hint.res_name);
    XFree(hint.res_class);
    EXPECT_EQ(window_class, StartupWmClassOfTheDesktopEntry()) << "WM_CLASS " << instance << ", " << window_class;

    // Another program's window covers the launcher's. (The launcher may
    // open windows of its own meanwhile, a warning for instance: only the
    // order of these two counts.)
    const Window cover = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1000, 800, 0, 0, 0);
    XMapRaised(display, cover);
    XSync(display, False);
    const auto above_cover = [&] {
        bool cover_seen = false;
        for (Window window : testing::ViewableTopLevelWindows(display)) {
            if (window == cover) cover_seen = true;
            if (window == launcher) return cover_seen;
        }
        return false;
    };
    ASSERT_FALSE(above_cover());

    EXPECT_EQ(kestrel.RunAnother({}, kPatienceMs), 0);
    bool in_front = false;
    for (int waited = 0; waited < kPatienceMs && !in_front; waited += kPollMs) {
        in_front = above_cover();
        if (!in_front) clock.Sleep(kPollMs, {});
    }
    EXPECT_TRUE(in_front) << "the running launcher's window stayed behind";
    EXPECT_EQ(kestrel.ExitStatusNow(), -1) << "the running launcher ended";
    // Only the first launcher's window is there.
    int windows = 0;
    for (Window window : testing::ViewableTopLevelWindows(display)) windows += testing::WmName(display, window) == "Kestrel 2";
    EXPECT_EQ(windows, 1);
    XDestroyWindow(display, cover);
    XCloseDisplay(display);
}

}  // namespace
}  // namespace kestrel::app
