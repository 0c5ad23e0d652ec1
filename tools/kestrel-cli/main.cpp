// kestrel-cli: the launcher's command-line companion. It runs the same core
// code as the GUI, one command per invocation; see README.md.

#include <iostream>

#include "AbsolutePath.h"
#include "CliArguments.h"
#include "Command.h"
#include "platform/LauncherPaths.h"
#include "shell/SettingsRecord.h"

namespace {

using kestrel::cli::AllCommands;
using kestrel::cli::CliArguments;
using kestrel::cli::CliContext;
using kestrel::cli::kDone;
using kestrel::cli::kUsage;

// The options that name a folder or a file the game or the launcher uses
// later; they are made absolute before any command sees them.
constexpr const char* kPathOptions[] = {"--game-dir", "--java", "--program-dir"};

void PrintUsage(std::ostream& stream) {
    stream << "usage: kestrel-cli COMMAND [ARGS] [--game-dir DIR] [--host linux|windows]\n"
              "       kestrel-cli help [COMMAND] | --help | --version\ncommands:";
    for (const auto& command : AllCommands()) {
        stream << "\n  " << command.name << (command.usage.empty() ? "" : " " + command.usage);
    }
    stream << "\n";
}

// `help` and `--help`: the usage on stdout; `help COMMAND`: that command's
// usage line.
int Help(const CliArguments& arguments) {
    const bool named = arguments.command() == "help" && !arguments.positional().empty();
    if (!named) {
        PrintUsage(std::cout);
        return kDone;
    }
    const std::string& name = arguments.positional()[0];
    for (const auto& command : AllCommands()) {
        if (command.name != name) continue;
        std::cout << "usage: kestrel-cli " << command.name << (command.usage.empty() ? "" : " " + command.usage)
                  << "\n";
        return kDone;
    }
    std::cerr << "unknown command: " << name << "\n";
    PrintUsage(std::cerr);
    return kUsage;
}

}  // namespace

int main(int argc, char** argv) {
    std::string problem;
    auto arguments = CliArguments::Parse(argc, argv, problem);
    if (!arguments) {
        std::cerr << "usage: " << problem << "\n";
        return kUsage;
    }
    if (arguments->Has("--help") || arguments->command() == "help") return Help(*arguments);
    // The launcher's version, which kestrel --version prints too.
    if (arguments->Has("--version")) {
        std::cout << "kestrel-cli " << kestrel::shell::kLauncherVersion << "\n";
        return kDone;
    }
    const std::string host = arguments->Get("--host", "linux");
    if (host != "linux" && host != "windows") {
        std::cerr << "usage: --host linux|windows\n";
        return kUsage;
    }
    for (const char* option : kPathOptions) {
        if (arguments->Has(option)) arguments->Replace(option, kestrel::cli::AbsolutePath(arguments->Get(option)));
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
    if (!arguments->command().empty()) std::cerr << "unknown command: " << arguments->command() << "\n";
    PrintUsage(std::cerr);
    return kUsage;
}
