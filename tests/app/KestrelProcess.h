#pragma once

// The real kestrel program, run by a test on its X server: a copy of the
// program (and its transfer module) in a temporary program folder, its per-user folder beside it, and
// every service address on a closed port of 127.0.0.1, as on a machine
// without network. The test may fill the folders in before Start. A program
// still running when the KestrelProcess goes is killed, so a failed test
// leaves nothing behind.
//
// Threading: the test's main thread only.

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/Clock.h"
#include "support/TempFolder.h"

namespace kestrel::testing {

// A port on 127.0.0.1 that nothing listens on: bound, then let go.
inline int ClosedPort() {
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

class KestrelProcess {
public:
    // display: the X server's name (":N").
    explicit KestrelProcess(const std::string& display) : display_(display) {
        program_ = folder_.MakeFolder("program");
        std::filesystem::copy_file(KESTREL_EXE, program_ + "/kestrel");
        std::filesystem::permissions(program_ + "/kestrel", std::filesystem::perms::owner_all);
        // A program folder holds the transfer module beside the launcher,
        // which loads it on its first request.
        std::filesystem::copy_file(std::filesystem::path(KESTREL_EXE).parent_path() / "libkestrel_curl.so",
                                   program_ + "/libkestrel_curl.so");
        app_data_ = folder_.MakeFolder("appdata");
        const std::string base = "http://127.0.0.1:" + std::to_string(ClosedPort()) + "/";
        endpoints_ = folder_.Write(
            "endpoints.txt", "mojang_auth=" + base + "\nmicrosoft_login=" + base + "\nxbox_user=" + base +
                                 "\nxsts=" + base + "\nminecraft_services=" + base + "\nsession=" + base +
                                 "\nupdate=" + base + "launcher/\nupdate_probe=" + base + "\nslogans=" + base +
                                 "slogans/Titlelist.ini\nthanks=" + base + "Special_thanks.txt\n");
        runtime_ = folder_.MakeFolder("runtime");
        std::filesystem::permissions(runtime_, std::filesystem::perms::owner_all);
    }
    ~KestrelProcess() {
        if (pid_ > 0 && !exited_) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    KestrelProcess(const KestrelProcess&) = delete;
    KestrelProcess& operator=(const KestrelProcess&) = delete;

    TempFolder& folder() { return folder_; }
    // The program folder: the copy of kestrel, KSTfiles/, .minecraft/.
    const std::string& program() const { return program_; }
    // $LOCALAPPDATA: the account cache lives in Kestrel2/ below it.
    const std::string& app_data() const { return app_data_; }
    // What the program wrote to its standard output.
    std::string stdout_path() const { return folder_.path() + "/stdout.txt"; }

    // Starts the program with these arguments; false when it could not be.
    bool Start(std::vector<std::string> args) {
        pid_ = Spawn(std::move(args), stdout_path());
        return pid_ > 0;
    }

    // Starts one more launcher on the same program folder and environment
    // and waits for it to end: its exit status (128 + the signal), or -1
    // when it was still running after patience_ms and was killed.
    int RunAnother(std::vector<std::string> args, int patience_ms) {
        const pid_t other = Spawn(std::move(args), folder_.path() + "/another-stdout.txt");
        if (other <= 0) return -1;
        int status = 0;
        for (int waited = 0; waited < patience_ms; waited += 50) {
            if (::waitpid(other, &status, WNOHANG) == other) {
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            }
            ::usleep(50 * 1000);
        }
        ::kill(other, SIGKILL);
        ::waitpid(other, nullptr, 0);
        return -1;
    }

    pid_t pid() const { return pid_; }

    // The exit status (128 + the signal for a killed program), or -1 while
    // it runs.
    int ExitStatusNow() {
        if (exited_) return status_;
        int status = 0;
        if (pid_ <= 0 || ::waitpid(pid_, &status, WNOHANG) != pid_) return -1;
        exited_ = true;
        status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        return status_;
    }

    // Polls every poll_ms until done() holds or kestrel has ended; false
    // when it did not hold within patience_ms.
    bool WaitFor(const std::function<bool()>& done, int patience_ms, int poll_ms) {
        platform::SystemClock clock;
        for (int waited = 0; waited < patience_ms; waited += poll_ms) {
            if (done()) return true;
            if (ExitStatusNow() >= 0) return false;
            clock.Sleep(poll_ms, {});
        }
        return false;
    }

private:
    pid_t Spawn(std::vector<std::string> args, const std::string& out) {
        std::vector<std::string> env = {
            "DISPLAY=" + display_,
            "LOCALAPPDATA=" + app_data_,
            "KESTREL_ENDPOINTS=" + endpoints_,
            "HOME=" + folder_.path(),
            "XDG_RUNTIME_DIR=" + runtime_,
            // No session bus: the connection Qt's accessibility makes at the
            // first window fails at once. Left unset, libdbus would fork to
            // start one, and the child of a sanitizer build can hang in
            // malloc before its exec (another thread held the sanitizer
            // allocator's lock at the fork), and the window with it.
            "DBUS_SESSION_BUS_ADDRESS=unix:path=" + runtime_ + "/no-bus",
            "QT_QPA_PLATFORM=xcb",
            "PATH=/usr/bin:/bin",
            // A desktop session's UTF-8 locale: the game (Java) reads its
            // arguments in it.
            "LANG=C.UTF-8",
            std::string("LSAN_OPTIONS=suppressions=") + KESTREL_LSAN_SUPPRESSIONS + ":print_suppressions=0",
            // Whole stacks in a sanitizer build's leak report: Qt and the
            // libraries under it keep no frame pointers, so the fast unwinder
            // stops at their first frame, and the suppressions, which name
            // their libraries and functions, could not match.
            "ASAN_OPTIONS=fast_unwind_on_malloc=0",
            // No Java of the machine is found by looking: only the one the
            // options name, if any, is used.
            "JAVA_HOME=" + folder_.path() + "/no-java",
        };
        args.insert(args.begin(), program_ + "/kestrel");
        std::vector<char*> argv, envp;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        for (auto& e : env) envp.push_back(e.data());
        envp.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        pid_t pid = -1;
        const bool started = ::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data()) == 0;
        posix_spawn_file_actions_destroy(&actions);
        return started ? pid : -1;
    }

    std::string display_;
    TempFolder folder_;
    std::string program_, app_data_, endpoints_, runtime_;
    pid_t pid_ = -1;
    bool exited_ = false;
    int status_ = -1;
};

}  // namespace kestrel::testing
