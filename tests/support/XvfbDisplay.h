#pragma once

// XvfbDisplay starts a virtual X server of its own for one test (or one
// benchmark) on a free display (Xvfb -displayfd picks it) and ends it again.
// Where Xvfb is not installed, ok() is false and error() says so, and the
// test skips with that message.
//
// Also: TopLevelWindowOf finds the viewable top-level window of a process by
// its title, through Xlib.

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

extern char** environ;

namespace kestrel::testing {

// The full path of a program on PATH, or "".
inline std::string FindOnPath(const std::string& program) {
    const char* path = std::getenv("PATH");
    std::string rest = path ? path : "/usr/bin:/bin";
    while (!rest.empty()) {
        const auto colon = rest.find(':');
        const std::string folder = rest.substr(0, colon);
        rest = colon == std::string::npos ? "" : rest.substr(colon + 1);
        const std::string candidate = (folder.empty() ? "." : folder) + "/" + program;
        if (::access(candidate.c_str(), X_OK) == 0) return candidate;
    }
    return "";
}

class XvfbDisplay {
public:
    XvfbDisplay() {
        const std::string xvfb = FindOnPath("Xvfb");
        if (xvfb.empty()) {
            error_ = "Xvfb is not installed (Debian package xvfb)";
            return;
        }
        int fds[2];
        if (::pipe(fds) != 0) {
            error_ = "no pipe";
            return;
        }
        const std::string fd_text = std::to_string(fds[1]);
        std::vector<std::string> args = {xvfb, "-displayfd", fd_text, "-screen", "0", "1280x800x24",
                                         "-nolisten", "tcp", "-noreset"};
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addclose(&actions, fds[0]);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        const int spawned = ::posix_spawn(&pid_, xvfb.c_str(), &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        ::close(fds[1]);
        if (spawned != 0) {
            ::close(fds[0]);
            pid_ = -1;
            error_ = "Xvfb did not start";
            return;
        }
        // Xvfb writes the display number once it accepts clients; it ends
        // (closing the pipe) if it cannot start.
        std::string number;
        pollfd entry{fds[0], POLLIN, 0};
        while (::poll(&entry, 1, 30000) > 0) {
            char c;
            if (::read(fds[0], &c, 1) != 1 || c == '\n') break;
            number += c;
        }
        ::close(fds[0]);
        if (number.empty()) {
            error_ = "Xvfb gave no display";
            return;
        }
        name_ = ":" + number;
    }
    ~XvfbDisplay() {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            int status = 0;
            ::waitpid(pid_, &status, 0);
        }
    }
    XvfbDisplay(const XvfbDisplay&) = delete;
    XvfbDisplay& operator=(const XvfbDisplay&) = delete;

    bool ok() const { return !name_.empty(); }
    const std::string& error() const { return error_; }
    const std::string& name() const { return name_; }  // ":N"

private:
    pid_t pid_ = -1;
    std::string name_;
    std::string error_;
};

// The viewable top-level window titled title, or 0.
inline Window TopLevelWindowTitled(Display* display, const std::string& title) {
    Window root_return = 0, parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    Window found = 0;
    if (!XQueryTree(display, DefaultRootWindow(display), &root_return, &parent, &children, &count)) return 0;
    for (unsigned i = 0; i < count && !found; ++i) {
        XWindowAttributes attributes;
        if (!XGetWindowAttributes(display, children[i], &attributes) || attributes.map_state != IsViewable) continue;
        char* name = nullptr;
        if (XFetchName(display, children[i], &name) && name) {
            if (title == name) found = children[i];
            XFree(name);
        }
    }
    if (children) XFree(children);
    return found;
}

}  // namespace kestrel::testing
