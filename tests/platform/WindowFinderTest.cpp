// The window finder against a real X server of the test's own (Xvfb, which
// has no window manager) and small client processes that open windows.

#include "platform/WindowFinder.h"

// GoogleTest comes before the X headers, whose macros (None, Bool, Status)
// would otherwise rewrite its declarations.
#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "support/XvfbServer.h"

extern char** environ;

namespace kestrel::platform {
namespace {

// One window finder client process (WindowFinderClient.cpp).
class Client {
public:
    explicit Client(std::vector<std::string> options) {
        std::vector<std::string> args = {KESTREL_WINDOW_CLIENT};
        args.insert(args.end(), options.begin(), options.end());
        std::vector<char*> argv;
        for (auto& arg : args) argv.push_back(arg.data());
        argv.push_back(nullptr);
        int in[2];
        int out[2];
        // Close-on-exec, so no other child inherits them (dup2 clears it
        // for the client's own standard input and output).
        if (::pipe2(in, O_CLOEXEC) != 0 || ::pipe2(out, O_CLOEXEC) != 0) return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, in[0], 0);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        const int spawned = posix_spawn(&pid_, args[0].c_str(), &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        ::close(in[0]);
        ::close(out[1]);
        stdin_ = in[1];
        if (spawned != 0) {
            pid_ = -1;
            ::close(out[0]);
            return;
        }
        // The client answers once its windows are in place; a client that
        // fails closes the pipe.
        std::string line;
        char c = 0;
        while (::read(out[0], &c, 1) == 1 && c != '\n') line += c;
        ::close(out[0]);
        if (!line.empty()) window_ = std::stoull(line);
    }
    ~Client() { End(); }
    Client(const Client&) = delete;
    Client& operator=(const Client&) = delete;

    int pid() const { return pid_; }
    WindowId window() const { return window_; }

    // Lets the client go and waits until it has ended (its windows are gone).
    void End() {
        if (stdin_ >= 0) ::close(stdin_);
        stdin_ = -1;
        if (pid_ > 0) {
            int status = 0;
            ::waitpid(pid_, &status, 0);
        }
        pid_ = -1;
    }

private:
    pid_t pid_ = -1;
    int stdin_ = -1;
    WindowId window_ = kNoWindow;
};

// $DISPLAY set to a value (or removed) for one test.
class DisplayVariable {
public:
    explicit DisplayVariable(const char* value) {
        if (const char* old = std::getenv("DISPLAY")) old_ = old;
        if (value) {
            ::setenv("DISPLAY", value, 1);
        } else {
            ::unsetenv("DISPLAY");
        }
    }
    ~DisplayVariable() {
        if (old_) {
            ::setenv("DISPLAY", old_->c_str(), 1);
        } else {
            ::unsetenv("DISPLAY");
        }
    }

private:
    std::optional<std::string> old_;
};

// A property as the X server stores it: its type's name and its bytes.
struct RawProperty {
    std::string type;
    std::string bytes;
};

RawProperty ReadRaw(WindowId window, const char* name) {
    RawProperty raw;
    Display* display = XOpenDisplay(nullptr);
    if (!display) return raw;
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, static_cast<Window>(window), XInternAtom(display, name, False), 0, 4096, False,
                           AnyPropertyType, &type, &format, &count, &remaining, &data) == Success &&
        data) {
        if (format == 8) raw.bytes.assign(reinterpret_cast<const char*>(data), count);
        if (type != None) {
            char* type_name = XGetAtomName(display, type);
            raw.type = type_name;
            XFree(type_name);
        }
    }
    if (data) XFree(data);
    XCloseDisplay(display);
    return raw;
}

// WM_NAME decoded the way a window manager decodes it.
std::string DecodedWmName(WindowId window) {
    std::string name;
    Display* display = XOpenDisplay(nullptr);
    if (!display) return name;
    XTextProperty text{};
    if (XGetWMName(display, static_cast<Window>(window), &text)) {
        char** list = nullptr;
        int count = 0;
        if (Xutf8TextPropertyToTextList(display, &text, &list, &count) == Success) {
            for (int i = 0; i < count; ++i) name += list[i];
            XFreeStringList(list);
        }
        XFree(text.value);
    }
    XCloseDisplay(display);
    return name;
}

TEST(WindowFinder, WithoutADisplayNothingIsFoundOrRenamed) {
    for (const char* display : {static_cast<const char*>(nullptr), ":4093"}) {
        DisplayVariable variable(display);
        EXPECT_EQ(FindWindowOf(::getpid()), kNoWindow);
        EXPECT_FALSE(SetWindowTitle(0x200007, "Minecraft"));
        EXPECT_EQ(WindowTitle(0x200007), "");
    }
}

class WindowFinderOnXvfb : public ::testing::Test {
protected:
    void SetUp() override {
        if (!xvfb_.ok()) GTEST_SKIP() << xvfb_.why();
    }
    testing::XvfbServer xvfb_;
};

TEST_F(WindowFinderOnXvfb, FindsTheVisibleTopLevelWindowOfEachProcess) {
    Client plain({});
    Client framed({"--framed"});
    ASSERT_NE(plain.window(), kNoWindow) << "the client could not open its windows";
    ASSERT_NE(framed.window(), kNoWindow);

    // The hidden window and the dialog come first among the root's children
    // and carry the same process id; the main window is the one found.
    EXPECT_EQ(FindWindowOf(plain.pid()), plain.window());
    // Inside a frame, the window is found through the client list.
    EXPECT_EQ(FindWindowOf(framed.pid()), framed.window());
    // A process without windows, and no process at all.
    EXPECT_EQ(FindWindowOf(::getpid()), kNoWindow);
    EXPECT_EQ(FindWindowOf(0), kNoWindow);
    EXPECT_EQ(FindWindowOf(-1), kNoWindow);

    const int plain_pid = plain.pid();
    plain.End();
    EXPECT_EQ(FindWindowOf(plain_pid), kNoWindow);
    EXPECT_EQ(FindWindowOf(framed.pid()), framed.window());

    // The client list now names a window that no longer exists; reading it
    // is an X error, which must not end the program.
    const int framed_pid = framed.pid();
    framed.End();
    EXPECT_EQ(FindWindowOf(framed_pid), kNoWindow);
}

TEST_F(WindowFinderOnXvfb, SetsTheTitleForEveryKindOfWindowManager) {
    Client client({"--title", "Minecraft 1.19"});
    ASSERT_NE(client.window(), kNoWindow);
    EXPECT_EQ(WindowTitle(client.window()), "Minecraft 1.19");

    const std::string title = "我的世界 1.19 — Kestrel";
    ASSERT_TRUE(SetWindowTitle(client.window(), title));
    EXPECT_EQ(WindowTitle(client.window()), title);
    const RawProperty net_name = ReadRaw(client.window(), "_NET_WM_NAME");
    EXPECT_EQ(net_name.type, "UTF8_STRING");
    EXPECT_EQ(net_name.bytes, title);
    EXPECT_EQ(DecodedWmName(client.window()), title);

    // A Latin-1 title is plain STRING text in WM_NAME.
    ASSERT_TRUE(SetWindowTitle(client.window(), "Caf\xC3\xA9"));
    EXPECT_EQ(ReadRaw(client.window(), "WM_NAME").type, "STRING");
    EXPECT_EQ(DecodedWmName(client.window()), "Caf\xC3\xA9");

    const WindowId gone = client.window();
    client.End();
    EXPECT_FALSE(SetWindowTitle(gone, "Minecraft"));
    EXPECT_EQ(WindowTitle(gone), "");
    EXPECT_FALSE(SetWindowTitle(kNoWindow, "Minecraft"));
}

}  // namespace
}  // namespace kestrel::platform
