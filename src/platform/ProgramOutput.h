#pragma once

// Running a short helper program for what it prints: the launcher asks a Java
// executable that has no `release` file for its version this way. The
// program gets the launcher's environment, an empty standard input, and one
// pipe for both standard output and standard error, since Java prints its
// settings and version on standard error.
//
// The program runs in a process group of its own. When it has not ended
// within the time limit, or prints more than the byte limit, the whole group
// is killed (a shell script that started a child cannot leave it behind
// holding the pipe) and reaped, and the call reports the failure; a hanging
// or chatty program therefore never hangs or floods the launcher. The time
// limit is real time on purpose: it bounds a foreign process, not one of the
// launcher's own waits.
//
// A stop request ends the run the same way within a few tens of
// milliseconds.
//
// Threading: free functions; safe from any thread. They reap only the child
// they started.

#include <chrono>
#include <stop_token>
#include <string>
#include <vector>

#include "platform/Result.h"

namespace kestrel::platform {

struct ProgramLimits {
    std::chrono::milliseconds time{5000};
    std::size_t output_bytes = std::size_t{1} << 20;
};

// How a run ended.
enum class ProgramEnd {
    kEnded,          // by itself; exit_status holds its status
    kTimedOut,       // killed at the time limit
    kTooMuchOutput,  // killed at the byte limit
    kStopped,        // killed at a stop request
};

struct ProgramRun {
    ProgramEnd end = ProgramEnd::kEnded;
    // Standard output and error interleaved as it wrote them, up to its end.
    std::string output;
    // The exit status (128 + the signal number when a signal ended it);
    // -1 unless the program ended by itself.
    int exit_status = -1;
};

// Runs the program within the limits; an error only when it could not be
// started.
Result<ProgramRun> RunProgram(const std::string& exe, const std::vector<std::string>& arguments,
                              const ProgramLimits& limits = {}, std::stop_token stop = {});

// What the program printed, whatever its exit status. An error when it could
// not be started, ran out of time or printed more than the limit.
Result<std::string> ProgramOutput(const std::string& exe, const std::vector<std::string>& arguments,
                                  const ProgramLimits& limits = {});

}  // namespace kestrel::platform
