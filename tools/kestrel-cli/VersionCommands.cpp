// kestrel-cli versions, chain: the installed versions and inheritance chains.

#include <ostream>

#include "ChainCheck.h"
#include "Command.h"
#include "launch/VersionManifests.h"
#include "platform/Files.h"

namespace kestrel::cli {

namespace {

launch::VersionManifests ManifestsOf(const CliContext& context) {
    return launch::VersionManifests(context.game_dir, context.profile);
}

int Versions(const CliArguments& arguments, const CliContext& context) {
    if (!arguments.positional().empty()) return UsageError(context);
    // A game folder that exists without a versions folder has nothing
    // installed yet; one that does not exist is a mistyped --game-dir.
    const std::string folder = context.profile.NativePath(context.game_dir);
    if (!platform::IsFolder(folder)) {
        context.err << (platform::IsRegularFile(folder) ? "the game folder is not a folder: "
                                                        : "the game folder does not exist: ")
                    << folder << "\n";
        return kFailed;
    }
    for (const std::string& id : ManifestsOf(context).Installed()) context.out << id << "\n";
    return kDone;
}

int Chain(const CliArguments& arguments, const CliContext& context) {
    if (arguments.positional().size() != 1) return UsageError(context);
    if (!CheckChain(arguments.positional()[0], context)) return kFailed;
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
