#pragma once

// The commands of kestrel-cli. Each command is a function that gets the
// parsed arguments and the context (game folder, host profile, output streams)
// and returns the exit status: 0 done, 1 the operation failed (the launcher's
// error text on stderr), 2 usage error (a usage line on stderr).
//
// Threading: commands run on the main thread, one per process.

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

#include "CliArguments.h"
#include "platform/HostProfile.h"

namespace kestrel::cli {

enum ExitStatus : int { kDone = 0, kFailed = 1, kUsage = 2 };

struct CliContext {
    std::string game_dir;
    platform::HostProfile profile;
    std::ostream& out;
    std::ostream& err;
    std::string usage;  // "kestrel-cli NAME ARGS" of the running command
};

struct Command {
    std::string name;
    std::string usage;  // the arguments after the name
    std::function<int(const CliArguments&, const CliContext&)> run;
};

// Every command, in the order the usage text lists them.
std::vector<Command> AllCommands();

// Prints the running command's usage line on stderr and returns kUsage.
int UsageError(const CliContext& context);

// The command groups; each lives in its own file.
std::vector<Command> VersionCommands();
std::vector<Command> JsonCommands();
std::vector<Command> LibraryCommands();
std::vector<Command> JavaCommands();
std::vector<Command> LaunchCommands();
std::vector<Command> AccountCommands();
std::vector<Command> OptionsCommands();
std::vector<Command> SkinCommands();
std::vector<Command> PingCommands();
std::vector<Command> InstallCommands();
std::vector<Command> LoaderCommands();
std::vector<Command> RuntimeCommands();

}  // namespace kestrel::cli
