// kestrel-cli loaders: the versions of a mod loader offered for a game
// version, stable ones first and newest first within each, one a line, each
// as `install --loader NAME:VER` takes it (install/Loaders.h).

#include <optional>
#include <ostream>

#include "Command.h"
#include "InstallOptions.h"
#include "install/Loaders.h"

namespace kestrel::cli {

namespace {

int Loaders(const CliArguments& arguments, const CliContext& context) {
    if (arguments.positional().size() != 2) return UsageError(context);
    install::Loader loader = install::Loader::kFabric;
    if (!install::ParseLoader(arguments.positional()[0], loader)) return UsageError(context);
    const std::optional<install::InstallSettings> settings = InstallSettingsFor(arguments, context);
    if (!settings) return kUsage;
    const Result<std::vector<install::LoaderVersion>> versions =
        install::ListLoaderVersions(*settings, loader, arguments.positional()[1]);
    if (!versions) {
        context.err << versions.error() << "\n";
        return kFailed;
    }
    for (const install::LoaderVersion& version : *versions) context.out << version.version << "\n";
    return kDone;
}

}  // namespace

std::vector<Command> LoaderCommands() {
    return {
        {"loaders", "fabric|quilt|forge|neoforge MCVERSION [--mirror official|bmclapi]", Loaders},
    };
}

}  // namespace kestrel::cli
