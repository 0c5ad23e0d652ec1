// kestrel-cli install-loader: installs a Forge or NeoForge version on top of
// its game version through the loader's installer (install/Loaders.h),
// running its install steps with --java PATH, else the options file's Java,
// else a discovered Java of the game version's major version. Prints the
// new version's id.

#include <optional>

#include "Command.h"
#include "InstallOptions.h"
#include "LoaderInstallRun.h"
#include "ProgramOptions.h"
#include "install/Loaders.h"

namespace kestrel::cli {

namespace {

int InstallLoader(const CliArguments& arguments, const CliContext& context) {
    if (arguments.positional().size() != 3) return UsageError(context);
    install::LoaderRequest request;
    if (!install::ParseLoader(arguments.positional()[0], request.loader) ||
        (request.loader != install::Loader::kForge && request.loader != install::Loader::kNeoForge)) {
        return UsageError(context);
    }
    if (arguments.Has("--java") && arguments.Get("--java").empty()) return UsageError(context);
    const std::optional<install::InstallSettings> settings = InstallSettingsFor(arguments, context);
    if (!settings) return kUsage;
    request.game_version = arguments.positional()[1];
    request.loader_version = arguments.positional()[2];
    if (arguments.Has("--java")) {
        request.java = arguments.Get("--java");
    } else {
        request.player_java = ProgramOptions(arguments).java_path;
    }

    return RunLoaderInstall(*settings, request, context);
}

}  // namespace

std::vector<Command> InstallLoaderCommands() {
    return {
        {"install-loader", "forge|neoforge MCVERSION LOADERVERSION [--java PATH] [--mirror official|bmclapi] [--jobs N]",
         InstallLoader},
    };
}

}  // namespace kestrel::cli
