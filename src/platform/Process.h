#pragma once

// Starting the game and watching it. The launcher hands the game a
// Windows-style command line: one text in which arguments are separated by
// blanks and quoted by the Windows rules. On Windows the process itself
// splits it; here StartProcess splits it by the same rules and starts the
// program with the resulting argument vector, so the game receives exactly
// the vector it would receive on Windows.
//
// The Windows rules (those of the Microsoft C runtime):
// - arguments are separated by runs of blanks and tabs;
// - the first argument, the program name, runs to the next blank unless it
//   starts with a double quote, in which case it runs to the next double
//   quote; backslashes are plain characters in it;
// - elsewhere a double quote starts or ends a quoted part, in which blanks
//   and tabs are ordinary characters; two double quotes inside a quoted part
//   give one literal double quote;
// - 2n backslashes before a double quote give n backslashes and the quote
//   acts as above; 2n+1 backslashes before a double quote give n backslashes
//   and a literal double quote; backslashes before anything else are plain.
//
// Processes we start are our children: ProcessAlive reaps a child that has
// ended, so no zombie stays behind and "alive" is true exactly while the
// program runs. Reaping takes the exit status from the system for good, so
// the status of every child reaped here is kept: ExitStatusOf, WaitForProcess
// and a ChildProcess (ChildProcess.h) give it afterwards, whichever of them
// reaped the child. The record of reaped children is the process's own, as
// the system's table of children is: one per process, not per caller.
//
// Threading: free functions; safe from any thread, also when several threads
// ask about, or wait for, the same child.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Result.h"

namespace kestrel::platform {

// The argument vector a Windows program receives for this command line.
std::vector<std::string> SplitCommandLine(std::string_view command_line);

// Starts exe with the argument vector of command_line (program name first),
// in the folder cwd, with the launcher's environment (see ChildEnvironment)
// and nothing redirected. Returns the process id.
Result<int> StartProcess(const std::string& exe, std::string_view command_line, const std::string& cwd);

// The same with the program's standard output and error both going to
// output_fd (an open descriptor of the caller's, which stays the caller's);
// a negative output_fd redirects nothing. Standard input stays the
// launcher's.
Result<int> StartProcess(const std::string& exe, std::string_view command_line, const std::string& cwd,
                         int output_fd);

// The environment a started program gets: the launcher's own, except that
// its character type is always UTF-8. The launcher's texts, and so every
// argument it passes (a Chinese player name, the watermark), are UTF-8; a
// program such as Java decodes its arguments in the locale's charset, so a
// session with no locale (C, POSIX) or a legacy one would see "?" in their
// place. When the effective LC_CTYPE (LC_ALL, else LC_CTYPE, else LANG) is
// not UTF-8, LC_ALL is replaced by C.UTF-8 when it is set, otherwise
// LC_CTYPE=C.UTF-8 is added. QT_MEDIA_BACKEND, which the launcher sets for
// its own media players, is left out. Every other variable stays as it is.
std::vector<std::string> ChildEnvironment(const char* const* environment);

// True while the process runs. A child of ours that has ended is reaped here;
// for any other process the answer is whether it still exists.
bool ProcessAlive(int pid);

// The exit status of our child once it has ended (128 + the signal number
// when a signal ended it); reaps it when it has just ended. Nothing while it
// runs, or for a process that is not ours.
std::optional<int> ExitStatusOf(int pid);

// Waits until our child ends and returns its exit status (128 + the signal
// number when a signal ended it), also when it was reaped before.
Result<int> WaitForProcess(int pid);

}  // namespace kestrel::platform
