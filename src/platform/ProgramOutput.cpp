#include "platform/ProgramOutput.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>

extern char** environ;

namespace kestrel::platform {

namespace {

// Both ends of a pipe, closed when they go out of scope.
struct Pipe {
    int read = -1;
    int write = -1;
    ~Pipe() {
        if (read >= 0) ::close(read);
        if (write >= 0) ::close(write);
    }
};

// Kills the program's group and reaps the program; its exit status.
int KillAndReap(pid_t pid) {
    ::kill(-pid, SIGKILL);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
    return -1;
}

// The longest a wait for output lasts before the stop token is looked at.
constexpr int kStopCheckMs = 20;

}  // namespace

Result<ProgramRun> RunProgram(const std::string& exe, const std::vector<std::string>& arguments,
                              const ProgramLimits& limits, std::stop_token stop) {
    Pipe pipe;
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) return Error{std::string("cannot make a pipe: ") + std::strerror(errno)};
    pipe.read = ends[0];
    pipe.write = ends[1];

    std::vector<std::string> argv_text;
    argv_text.reserve(arguments.size() + 1);
    argv_text.push_back(exe);
    argv_text.insert(argv_text.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& argument : argv_text) argv.push_back(argument.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    if (posix_spawn_file_actions_init(&actions) != 0) return Error{"cannot prepare the process"};
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, pipe.write, STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, pipe.write, STDERR_FILENO);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
    pid_t pid = 0;
    const int failed = posix_spawn(&pid, exe.c_str(), &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (failed != 0) return Error{"cannot start " + exe + ": " + std::strerror(failed)};
    ::close(pipe.write);
    pipe.write = -1;

    // Read until every writer has closed the pipe (end of file), the time is
    // up or the output is too long.
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + limits.time;
    ProgramRun run;
    const auto killed = [&](ProgramEnd end) {
        KillAndReap(pid);
        run.end = end;
        return run;
    };
    char buffer[4096];
    for (;;) {
        if (stop.stop_requested()) return killed(ProgramEnd::kStopped);
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) return killed(ProgramEnd::kTimedOut);
        pollfd wait{pipe.read, POLLIN, 0};
        const int ready = ::poll(&wait, 1, static_cast<int>(std::min<std::int64_t>(left.count(), kStopCheckMs)));
        if (ready < 0 && errno == EINTR) continue;
        if (ready < 0) break;  // the pipe cannot be read: what came is all there is
        if (ready == 0) continue;  // the checks above end it
        const ssize_t got = ::read(pipe.read, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        if (run.output.size() + static_cast<std::size_t>(got) > limits.output_bytes) {
            return killed(ProgramEnd::kTooMuchOutput);
        }
        run.output.append(buffer, static_cast<std::size_t>(got));
    }
    // The pipe is closed, so the program has ended or closed its outputs;
    // one that lingers past the deadline after that is killed all the same.
    // The ended program is left a zombie (WNOWAIT) until its group has been
    // killed: while it is unreaped its id cannot name anyone else's group.
    for (;;) {
        siginfo_t info{};
        const int waited = ::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT);
        if (waited < 0 && errno == EINTR) continue;
        if (waited < 0 || info.si_pid == pid) break;
        if (stop.stop_requested()) return killed(ProgramEnd::kStopped);
        if (Clock::now() >= deadline) return killed(ProgramEnd::kTimedOut);
        ::usleep(1000);
    }
    // Children it left behind in its group go with it.
    run.exit_status = KillAndReap(pid);
    return run;
}

Result<std::string> ProgramOutput(const std::string& exe, const std::vector<std::string>& arguments,
                                  const ProgramLimits& limits) {
    Result<ProgramRun> run = RunProgram(exe, arguments, limits);
    if (!run) return Error{run.error()};
    switch (run->end) {
        case ProgramEnd::kEnded: return std::move(run->output);
        case ProgramEnd::kTooMuchOutput: return Error{exe + " printed too much"};
        case ProgramEnd::kTimedOut:
        case ProgramEnd::kStopped: break;
    }
    return Error{exe + " did not end in time"};
}

}  // namespace kestrel::platform
