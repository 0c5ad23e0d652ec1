#pragma once

// XvfbServer runs an X server of the test's own (Xvfb, without a window
// manager) on a display number that was free, for tests (and benchmarks) of
// real windows. Xvfb picks the number itself and writes it to a pipe once it
// accepts connections (-displayfd), so the test neither guesses a free
// number nor waits for a time; an Xvfb that cannot start exits, which closes
// the pipe, and one that hangs is given up on after 30 s. While the
// XvfbServer lives, $DISPLAY names it (programs the test starts inherit it,
// and so do the window functions of the platform module); the old value
// comes back afterwards.
//
// Where Xvfb is not installed, ok() is false and why() says so; the test
// then skips (CI installs xvfb, so there nothing skips).
//
// Threading: create and destroy it on the test's main thread, before and
// after any other thread reads $DISPLAY.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

extern char** environ;

namespace kestrel::testing {

class XvfbServer {
public:
    XvfbServer() {
        const std::string xvfb = Find("Xvfb");
        if (xvfb.empty()) {
            why_ = "Xvfb is not installed (Debian package xvfb); this test needs an X server of its own";
            return;
        }
        int fds[2];
        if (::pipe(fds) != 0) {
            why_ = "no pipe for Xvfb";
            return;
        }
        ::fcntl(fds[0], F_SETFD, FD_CLOEXEC);
        const std::string fd_text = std::to_string(fds[1]);
        std::vector<std::string> args = {xvfb, "-displayfd", fd_text, "-nolisten", "tcp", "-noreset",
                                         "-screen", "0", "1280x1024x24"};
        std::vector<char*> argv;
        for (auto& arg : args) argv.push_back(arg.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        const int spawned = posix_spawn(&pid_, xvfb.c_str(), &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        ::close(fds[1]);
        if (spawned != 0) {
            ::close(fds[0]);
            pid_ = -1;
            why_ = "Xvfb could not be started";
            return;
        }
        // The number arrives once the server is ready.
        std::string number;
        pollfd entry{fds[0], POLLIN, 0};
        char c = 0;
        while (::poll(&entry, 1, kStartPatienceMs) > 0 && ::read(fds[0], &c, 1) == 1 && c != '\n') number += c;
        ::close(fds[0]);
        if (number.empty()) {
            why_ = "Xvfb did not start a display";
            Stop();
            return;
        }
        name_ = ":" + number;
        if (const char* old = std::getenv("DISPLAY")) old_display_ = old;
        ::setenv("DISPLAY", name_.c_str(), 1);
    }

    ~XvfbServer() {
        if (!name_.empty()) {
            if (old_display_) {
                ::setenv("DISPLAY", old_display_->c_str(), 1);
            } else {
                ::unsetenv("DISPLAY");
            }
        }
        Stop();
    }
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;

    bool ok() const { return !name_.empty(); }
    const std::string& why() const { return why_; }
    // ":N"
    const std::string& name() const { return name_; }

    // The full path of a program on $PATH, or "".
    static std::string Find(const std::string& program) {
        const char* path = std::getenv("PATH");
        std::stringstream folders(path ? path : "/usr/bin:/bin");
        std::string folder;
        while (std::getline(folders, folder, ':')) {
            const std::filesystem::path candidate = std::filesystem::path(folder.empty() ? "." : folder) / program;
            if (::access(candidate.c_str(), X_OK) == 0) return candidate.string();
        }
        return "";
    }

private:
    static constexpr int kStartPatienceMs = 30000;

    void Stop() {
        if (pid_ <= 0) return;
        ::kill(pid_, SIGTERM);
        int status = 0;
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
    }

    pid_t pid_ = -1;
    std::string name_;
    std::string why_;
    std::optional<std::string> old_display_;
};

}  // namespace kestrel::testing
