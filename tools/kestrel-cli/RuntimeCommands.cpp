// kestrel-cli runtimes, runtime install|for|verify: Mojang's Java runtimes in
// the game folder.

#include <optional>
#include <ostream>

#include "ChainCheck.h"
#include "Command.h"
#include "RuntimeInstall.h"
#include "launch/VersionManifests.h"
#include "runtimes/LaunchJava.h"
#include "runtimes/RuntimeInstaller.h"
#include "runtimes/RuntimeLayout.h"

namespace kestrel::cli {

namespace {

int InstallComponent(const std::string& component, const CliArguments& arguments, const CliContext& context) {
    int status = kDone;
    const std::optional<std::string> java = InstallRuntime(component, arguments, context, status);
    if (!java) return status;
    context.out << *java << "\n";
    return kDone;
}

int Runtimes(const CliArguments& arguments, const CliContext& context) {
    if (!arguments.positional().empty()) return UsageError(context);
    const std::string platform = runtimes::RuntimePlatform(context.profile);
    for (const runtimes::InstalledRuntime& runtime :
         runtimes::InstalledRuntimes(context.game_dir, platform, context.profile)) {
        context.out << runtime.component << "\t" << runtime.version << "\t" << runtime.java << "\n";
    }
    return kDone;
}

int Runtime(const CliArguments& arguments, const CliContext& context) {
    const std::vector<std::string>& words = arguments.positional();
    if (words.size() != 2) return UsageError(context);
    if (words[0] == "install") return InstallComponent(words[1], arguments, context);
    if (words[0] == "for") {
        if (!CheckChain(words[1], context)) return kFailed;
        const launch::VersionManifests manifests(context.game_dir, context.profile);
        return InstallComponent(runtimes::ComponentOfChain(manifests.ReadChain(words[1])), arguments, context);
    }
    if (words[0] == "verify") {
        const std::optional<runtimes::RuntimeInstallOptions> options = RuntimeInstallOptionsOf(arguments, context);
        if (!options) return kUsage;
        const runtimes::RuntimeInstaller installer(context.game_dir, context.profile, *options);
        const auto problems = installer.Verify(words[1], {});
        if (!problems) {
            context.err << problems.error() << "\n";
            return kFailed;
        }
        for (const runtimes::RuntimeProblem& problem : *problems) {
            context.out << (problem.kind == runtimes::RuntimeProblem::Kind::kMissing ? "missing " : "corrupt ")
                        << problem.path << "\n";
        }
        return problems->empty() ? kDone : kFailed;
    }
    return UsageError(context);
}

}  // namespace

std::vector<Command> RuntimeCommands() {
    return {
        {"runtimes", "", Runtimes},
        {"runtime", "install COMPONENT | for ID | verify COMPONENT [--mirror official|bmclapi] [--jobs N]", Runtime},
    };
}

}  // namespace kestrel::cli
