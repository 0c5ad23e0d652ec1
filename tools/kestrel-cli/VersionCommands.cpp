// kestrel-cli versions, chain: the installed versions and inheritance chains.

#include <ostream>

#include "Command.h"
#include "launch/VersionManifests.h"

namespace kestrel::cli {

namespace {

launch::VersionManifests ManifestsOf(const CliContext& context) {
    return launch::VersionManifests(context.game_dir, context.profile);
}

int Versions(const CliArguments& arguments, const CliContext& context) {
    if (!arguments.positional().empty()) return UsageError(context);
    for (const std::string& id : ManifestsOf(context).Installed()) context.out << id << "\n";
    return kDone;
}

int Chain(const CliArguments& arguments, const CliContext& context) {
    if (arguments.positional().size() != 1) return UsageError(context);
    for (const std::string& id : ManifestsOf(context).Chain(arguments.positional()[0])) context.out << id << "\n";
    return kDone;
}

}  // namespace

std::vector<Command> VersionCommands() {
    return {
        {"versions", "", Versions},
        {"chain", "ID", Chain},
    };
}

}  // namespace kestrel::cli
