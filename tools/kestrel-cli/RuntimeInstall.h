#pragma once

// Installing one of Mojang's Java runtimes from kestrel-cli: for `runtime
// install`, `runtime for` and a launch whose version needs a Java that is
// not on the machine. The files come from --mirror (else the options file's
// DownloadSource), --jobs at once (default 16, 1 to 256 as for the install
// commands); the progress goes to stderr, a line that rewrites itself on a
// terminal, else one line a second.
//
// Threading: runs on the main thread like the commands.

#include <optional>
#include <string>

#include "Command.h"
#include "runtimes/RuntimeInstaller.h"

namespace kestrel::cli {

// The install options of --mirror and --jobs; nothing after a usage line.
std::optional<runtimes::RuntimeInstallOptions> RuntimeInstallOptionsOf(const CliArguments& arguments,
                                                                      const CliContext& context);

// Installs (or repairs) the component in the game folder; its java
// executable. Nothing once the reason is on stderr, with status set to
// kUsage or kFailed.
std::optional<std::string> InstallRuntime(const std::string& component, const CliArguments& arguments,
                                          const CliContext& context, int& status);

}  // namespace kestrel::cli
