// kestrel-cli offline-uuid: the UUID an offline account of a name plays with.

#include <ostream>

#include "Command.h"
#include "accounts/OfflineUuid.h"

namespace kestrel::cli {

namespace {

int OfflineUuidOf(const CliArguments& arguments, const CliContext& context) {
    if (arguments.positional().size() != 1) return UsageError(context);
    context.out << accounts::OfflineUuid(arguments.positional()[0]) << "\n";
    return kDone;
}

}  // namespace

std::vector<Command> AccountCommands() {
    return {
        {"offline-uuid", "NAME", OfflineUuidOf},
    };
}

}  // namespace kestrel::cli
