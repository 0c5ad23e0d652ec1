// kestrel-cli libraries, classpath: the library list and the classpath of a
// version, as the command line gets them.

#include <ostream>

#include "ChainCheck.h"
#include "Command.h"
#include "launch/Libraries.h"

namespace kestrel::cli {

namespace {

launch::Libraries LibrariesOf(const CliContext& context) {
    return launch::Libraries(launch::VersionManifests(context.game_dir, context.profile));
}

int ListLibraries(const CliArguments& arguments, const CliContext& context) {
    if (arguments.positional().size() != 1) return UsageError(context);
    if (!CheckChain(arguments.positional()[0], context)) return kFailed;
    for (const launch::LibraryRecord& record : LibrariesOf(context).List(arguments.positional()[0])) {
        context.out << record.name << "\t" << record.path << "\n";
    }
    return kDone;
}

int Classpath(const CliArguments& arguments, const CliContext& context) {
    if (arguments.positional().size() != 1) return UsageError(context);
    if (!CheckChain(arguments.positional()[0], context)) return kFailed;
    context.out << LibrariesOf(context).Classpath(arguments.positional()[0]) << "\n";
    return kDone;
}

}  // namespace

std::vector<Command> LibraryCommands() {
    return {
        {"libraries", "ID", ListLibraries},
        {"classpath", "ID", Classpath},
    };
}

}  // namespace kestrel::cli
