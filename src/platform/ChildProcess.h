#pragma once

// ChildProcess is one program the launcher starts and keeps an eye on: its
// standard output and error can go to a file (appended to, so that both
// streams land in order in one log) or to a pipe the launcher reads, its
// exit status can be asked for once it has ended, and it can be waited for
// with a stop token and a time limit.
//
// The program is started as StartProcess does (Process.h): the Windows-style
// command line split into its argument vector, the folder, the launcher's
// environment with a UTF-8 character type; standard input stays the
// launcher's. A program whose output goes to a file does not depend on the
// launcher in any way and keeps running when the launcher ends; one whose
// output goes to a pipe blocks once the pipe is full and nobody reads it, so
// a pipe is for short programs whose output the caller reads whole.
//
// Destroying a ChildProcess neither stops nor waits for the program; the
// pipe's end of ours is closed. The child's status stays known to
// ProcessAlive, ExitStatusOf and WaitForProcess, which share one record of
// reaped children with this type.
//
// Threading: Alive, ExitStatus and Wait may be called from several threads
// at once (they go through that shared record); ReadOutput from one thread
// at a time. Moving is not thread-safe.

#include <chrono>
#include <optional>
#include <stop_token>
#include <string>

#include "platform/Result.h"

namespace kestrel::platform {

enum class ChildOutput {
    kInherit,  // the launcher's own standard output and error
    kFile,     // both appended to output_file, created when missing
    kPipe,     // both into one pipe; ReadOutput reads it
};

struct ChildOptions {
    std::string exe;           // the program file
    std::string command_line;  // Windows-style, program name first
    std::string cwd;           // "" keeps the launcher's folder
    ChildOutput output = ChildOutput::kInherit;
    std::string output_file;   // kFile only
};

// How a Wait ended.
enum class WaitEnd { kEnded, kTimedOut, kStopped };

class ChildProcess {
public:
    static constexpr std::chrono::milliseconds kNoLimit = std::chrono::milliseconds::max();

    // Starts the program; the error names what could not be done (the
    // output file that could not be opened, the program that could not be
    // started).
    static Result<ChildProcess> Start(const ChildOptions& options);

    ChildProcess(ChildProcess&& other) noexcept;
    ChildProcess& operator=(ChildProcess&& other) noexcept;
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    ~ChildProcess();

    int pid() const { return pid_; }

    // True while the program runs.
    bool Alive() const;
    // The exit status once the program has ended (128 + the signal number
    // when a signal ended it); nothing while it runs.
    std::optional<int> ExitStatus() const;

    // Waits until the program ends, the stop token is requested or limit has
    // passed, whichever comes first. A stop request ends the wait within a
    // few milliseconds; the program is left running.
    WaitEnd Wait(std::stop_token stop, std::chrono::milliseconds limit = kNoLimit) const;

    // Everything the program writes to the pipe, until it (and every program
    // it started that kept the pipe) closes it. Empty without a pipe.
    std::string ReadOutput();

private:
    ChildProcess(int pid, int pipe_fd) : pid_(pid), pipe_fd_(pipe_fd) {}

    int pid_ = 0;
    int pipe_fd_ = -1;  // our end of the pipe; -1 without one
};

}  // namespace kestrel::platform
