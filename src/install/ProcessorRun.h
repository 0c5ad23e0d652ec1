#pragma once

// ProcessorRun is one install step of a Forge or NeoForge installer, made
// ready to run: its jar, classpath, arguments and outputs resolved through
// ProfileValues, and its main class taken from its jar's manifest. It runs as
//   java -cp <jar>:<classpath> <Main-Class> <arguments>
// in its own process, with the temporary folder as its working folder and
// its output appended to the install's log. A step that runs longer than the
// time limit is ended and fails; so does one that exits with a status other
// than 0. Afterwards each output must have its SHA-1; a wrong one is removed
// (nothing launches with a half-patched jar) and fails the step.
//
// A step whose outputs all match already need not run again (OutputsMatch):
// that is what makes a rerun after a failure quick. A step without outputs
// always runs.
//
// Threading: Run blocks the calling thread until the step ends; a stop
// request ends the step's process at once and gives kErrorInstallCancelled.

#include <chrono>
#include <stop_token>
#include <string>
#include <utility>
#include <vector>

#include "install/InstallProfile.h"
#include "install/InstallSettings.h"
#include "install/ProfileValues.h"
#include "platform/Result.h"

namespace kestrel::install {

struct ProcessorOutput {
    std::string path;
    std::string sha1;  // 40 lowercase hex digits
};

struct ProcessorRun {
    std::string jar;
    std::vector<std::string> classpath;
    std::vector<std::string> args;
    std::vector<ProcessorOutput> outputs;

    // Resolves the step; an unknown key, an unsafe library path, an output
    // outside the game and temporary folders or a SHA-1 that is none is an
    // error.
    static Result<ProcessorRun> Resolve(const ProcessorSpec& spec, const ProfileValues& values);

    // The value following option ("--output") among the arguments; empty
    // when there is none.
    std::string OptionValue(std::string_view option) const;

    // True when there are outputs and every one is on disk with its SHA-1.
    bool OutputsMatch() const;

    // name says which step this is in errors ("安装步骤 3/7").
    Status Run(const std::string& java, const std::string& working_folder, const std::string& log_path,
               std::chrono::milliseconds limit, const std::string& name, std::stop_token stop) const;
};

// The last lines of a log, for error texts.
std::string LogTail(const std::string& log_path, int lines = 20);

}  // namespace kestrel::install
