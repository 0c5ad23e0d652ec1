#pragma once

// ProgramArguments is what the kestrel program was asked on its command
// line. It is read before the window system is touched, so that --version
// and --help answer without a display.
//
// Threading: a plain value.

#include <string>

namespace kestrel::app {

struct ProgramArguments {
    enum class Action { kRun, kVersion, kHelp, kUsageError };

    Action action = Action::kRun;
    std::string grab;     // --grab FILE.png: the picture to save once started
    std::string window;   // --window download: the window to open at start ("" = none)
    std::string problem;  // for kUsageError: what was wrong

    // argv as main gets it (argv[0] is the program).
    static ProgramArguments Parse(int argc, const char* const* argv);
};

// The usage text --help prints (several lines, ending in a line break).
std::string ProgramUsage();

// The line --version prints: the program and the launcher's version.
std::string ProgramVersionLine();

}  // namespace kestrel::app
