#include "platform/ChildProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <utility>

#include "platform/Descriptor.h"
#include "platform/Process.h"

namespace kestrel::platform {

Result<ChildProcess> ChildProcess::Start(const ChildOptions& options) {
    Descriptor output;
    Descriptor ours;
    if (options.output == ChildOutput::kFile) {
        // Close-on-exec keeps the log away from every other program the
        // launcher starts; the child gets its own copies as 1 and 2.
        output.reset(::open(options.output_file.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC | O_NOFOLLOW,
                            0644));
        if (output.get() < 0) {
            return Error{"cannot open " + options.output_file + ": " + std::strerror(errno)};
        }
    } else if (options.output == ChildOutput::kPipe) {
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC) != 0) return Error{std::string("cannot make a pipe: ") + std::strerror(errno)};
        ours.reset(fds[0]);
        output.reset(fds[1]);
    }
    const Result<int> pid = StartProcess(options.exe, options.command_line, options.cwd, output.get());
    if (!pid.ok()) return Error{pid.error()};
    // Our copy of the write end closes here, so the reader sees the end of
    // the output once the child has closed its copies.
    return ChildProcess(*pid, ours.release());
}

ChildProcess::ChildProcess(ChildProcess&& other) noexcept
    : pid_(std::exchange(other.pid_, 0)), pipe_fd_(std::exchange(other.pipe_fd_, -1)) {}

ChildProcess& ChildProcess::operator=(ChildProcess&& other) noexcept {
    if (this != &other) {
        if (pipe_fd_ >= 0) ::close(pipe_fd_);
        pid_ = std::exchange(other.pid_, 0);
        pipe_fd_ = std::exchange(other.pipe_fd_, -1);
    }
    return *this;
}

ChildProcess::~ChildProcess() {
    if (pipe_fd_ >= 0) ::close(pipe_fd_);
}

bool ChildProcess::Alive() const { return ProcessAlive(pid_); }

std::optional<int> ChildProcess::ExitStatus() const { return ExitStatusOf(pid_); }

WaitEnd ChildProcess::Wait(std::stop_token stop, std::chrono::milliseconds limit) const {
    using Steady = std::chrono::steady_clock;
    const bool limited = limit != kNoLimit;
    const Steady::time_point deadline = limited ? Steady::now() + limit : Steady::time_point::max();
    // The system tells a parent of its child's end only through a signal or
    // a blocking wait; neither can be cut short by a stop token, so the wait
    // looks every few milliseconds (at once at first, for short programs)
    // and sleeps on a condition a stop request wakes.
    std::mutex mutex;
    std::condition_variable_any wake;
    std::chrono::milliseconds slice(1);
    for (;;) {
        if (!Alive()) return WaitEnd::kEnded;
        if (stop.stop_requested()) return WaitEnd::kStopped;
        const Steady::time_point now = Steady::now();
        if (now >= deadline) return WaitEnd::kTimedOut;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now);
        std::unique_lock lock(mutex);
        wake.wait_for(lock, stop, limited ? std::min(slice, left + std::chrono::milliseconds(1)) : slice,
                      [] { return false; });
        slice = std::min(slice * 2, std::chrono::milliseconds(20));
    }
}

std::string ChildProcess::ReadOutput() {
    std::string output;
    if (pipe_fd_ < 0) return output;
    char buffer[4096];
    for (;;) {
        const ssize_t got = ::read(pipe_fd_, buffer, sizeof buffer);
        if (got > 0) {
            output.append(buffer, static_cast<std::size_t>(got));
        } else if (got < 0 && errno == EINTR) {
            continue;
        } else {
            break;
        }
    }
    return output;
}

std::string ChildProcess::ReadOutput(std::stop_token stop, std::chrono::milliseconds limit) {
    using Steady = std::chrono::steady_clock;
    std::string output;
    if (pipe_fd_ < 0) return output;
    const Steady::time_point deadline = Steady::now() + limit;
    char buffer[4096];
    // Short polls, so a stop request is seen within a few tens of
    // milliseconds.
    constexpr std::chrono::milliseconds kSlice(20);
    while (!stop.stop_requested()) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Steady::now());
        if (left.count() <= 0) break;
        pollfd ready{pipe_fd_, POLLIN, 0};
        const int polled = ::poll(&ready, 1, static_cast<int>(std::min(left, kSlice).count()));
        if (polled < 0 && errno != EINTR) break;
        if (polled <= 0) continue;
        const ssize_t got = ::read(pipe_fd_, buffer, sizeof buffer);
        if (got > 0) {
            output.append(buffer, static_cast<std::size_t>(got));
        } else if (got < 0 && errno == EINTR) {
            continue;
        } else {
            break;  // the end of the output, or a failed read
        }
    }
    return output;
}

void ChildProcess::Kill() const {
    // Alive reaps the child once it has ended, so a running child's pid is
    // still its own here and no other process can be hit.
    if (pid_ > 0 && Alive()) ::kill(pid_, SIGKILL);
}

}  // namespace kestrel::platform
