#pragma once

// LoggingConfiguration is the logging setup a version's chain asks for in
// `logging.client`: {argument: "-Dlog4j.configurationFile=${path}",
// file: {id, …}, type}. The file is kept as
// <game folder>/assets/log_configs/<file id>, and the launch passes the
// argument, with ${path} replaced by that file's path, to Java just before
// the main class. Versions 1.7 to 1.18 need it: their own logging set-up
// evaluates lookups in chat messages, which lets any server run code on the
// player's machine (CVE-2021-44228); the configuration turns that off.
//
// The chain's first manifest that has `logging.client` gives it (a child's
// own setup replaces its parent's). Nothing is added when no manifest has
// one, when its file id could leave the log_configs folder (SafeNames.h),
// when the file is not there, or when the argument is empty or does not
// begin with "-" (it would be taken for the main class).
//
// Threading: a plain value.

#include <optional>
#include <string>
#include <vector>

#include "launch/VersionManifests.h"
#include "platform/HostProfile.h"

namespace kestrel::launch {

struct LoggingConfiguration {
    std::string path;      // the configuration file, in the profile's separators
    std::string argument;  // the argument with ${path} replaced, unquoted

    static std::optional<LoggingConfiguration> Of(const std::vector<ChainManifest>& chain,
                                                  const std::string& game_folder,
                                                  const platform::HostProfile& profile);

    // The argument as it goes on the command line: it stays one argument
    // when the line is split by the Windows rules (CommandLine.h), and the
    // path is quoted the way the launcher quotes its other paths.
    std::string CommandLineText() const;

private:
    std::string template_;  // the manifest's argument
};

}  // namespace kestrel::launch
