#include <ostream>

#include "Command.h"

namespace kestrel::cli {

std::vector<Command> AllCommands() {
    std::vector<Command> all;
    for (auto group : {VersionCommands, LibraryCommands, LaunchCommands, JavaCommands, AccountCommands,
                       JsonCommands, OptionsCommands, SkinCommands, PingCommands,
                       InstallCommands, LoaderCommands, RuntimeCommands}) {
        for (Command& command : group()) all.push_back(std::move(command));
    }
    return all;
}

int UsageError(const CliContext& context) {
    context.err << "usage: " << context.usage << "\n";
    return kUsage;
}

}  // namespace kestrel::cli
