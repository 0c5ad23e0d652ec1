// kestrel-cli: the launcher's command-line companion. It runs the same core
// code as the GUI, one command per invocation; see README.md.

#include <iostream>

#include "CliArguments.h"
#include "Command.h"
#include "platform/LauncherPaths.h"

namespace {

using kestrel::cli::AllCommands;
using kestrel::cli::CliArguments;
using kestrel::cli::CliContext;
using kestrel::cli::kUsage;

int PrintUsage(std::ostream& err) {
    err << "usage: kestrel-cli COMMAND [ARGS] [--game-dir DIR] [--host linux|windows]\ncommands:";
    for (const auto& command : AllCommands()) err << "\n  " << command.name << " " << command.usage;
    err << "\n";
    return kUsage;
}

}  // namespace

int main(int argc, char** argv) {
    std::string problem;
    const auto arguments = CliArguments::Parse(argc, argv, problem);
    if (!arguments) {
        std::cerr << "usage: " << problem << "\n";
        return kUsage;
    }
    const std::string host = arguments->Get("--host", "linux");
    if (host != "linux" && host != "windows") {
        std::cerr << "usage: --host linux|windows\n";
        return kUsage;
    }
    CliContext context{
        arguments->Get("--game-dir", kestrel::platform::LauncherPaths::Current().default_game_folder),
        host == "windows" ? kestrel::platform::HostProfile::Windows64() : kestrel::platform::HostProfile::Current(),
        std::cout,
        std::cerr,
        "",
    };
    for (const auto& command : AllCommands()) {
        if (command.name != arguments->command()) continue;
        context.usage = "kestrel-cli " + command.name + (command.usage.empty() ? "" : " " + command.usage);
        return command.run(*arguments, context);
    }
    return PrintUsage(std::cerr);
}
