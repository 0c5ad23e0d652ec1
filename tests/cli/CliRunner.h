#pragma once

// Runs the built kestrel-cli with arguments and collects its exit status,
// standard output and standard error.

#include <sys/wait.h>

#include <cstdio>
#include <string>
#include <vector>

#include "support/TempFolder.h"

namespace kestrel::testing {

struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

inline std::string ShellQuote(const std::string& word) {
    std::string quoted = "'";
    for (char c : word) {
        if (c == '\'') {
            quoted += "'\\''";
        } else {
            quoted += c;
        }
    }
    return quoted + "'";
}

// Runs kestrel-cli in the given working folder (the test's own when empty).
inline CliRun RunCliIn(const std::string& folder, const std::vector<std::string>& arguments) {
    TempFolder scratch;
    std::string command = folder.empty() ? "" : "cd " + ShellQuote(folder) + " && ";
    command += ShellQuote(KESTREL_CLI);
    for (const std::string& argument : arguments) command += " " + ShellQuote(argument);
    command += " >" + scratch.path() + "/out 2>" + scratch.path() + "/err";
    CliRun run;
    const int raw = std::system(command.c_str());
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    const auto slurp = [&](const char* name) {
        std::string text;
        if (FILE* file = std::fopen((scratch.path() + "/" + name).c_str(), "rb")) {
            char buffer[4096];
            std::size_t got;
            while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, got);
            std::fclose(file);
        }
        return text;
    };
    run.out = slurp("out");
    run.err = slurp("err");
    return run;
}

inline CliRun RunCli(const std::vector<std::string>& arguments) { return RunCliIn("", arguments); }

}  // namespace kestrel::testing
