#include "app/ProgramArguments.h"

#include <string_view>

#include "shell/SettingsRecord.h"

namespace kestrel::app {

ProgramArguments ProgramArguments::Parse(int argc, const char* const* argv) {
    ProgramArguments arguments;
    for (int i = 1; i < argc; ++i) {
        const std::string_view word = argv[i];
        // --help and --version win over anything else on the line, as they
        // do for most programs: the player who asks for them wants only them.
        if (word == "--help" || word == "-h") return {Action::kHelp, "", "", ""};
        if (word == "--version") {
            arguments.action = Action::kVersion;
        } else if (word == "--grab" && i + 1 < argc) {
            arguments.grab = argv[++i];
        } else if (word == "--window" && i + 1 < argc && std::string_view(argv[i + 1]) == "download") {
            arguments.window = argv[++i];
        } else if (arguments.action != Action::kVersion) {
            arguments.action = Action::kUsageError;
            if (word == "--grab") {
                arguments.problem = "option --grab needs a file name";
            } else if (word == "--window") {
                arguments.problem = "option --window takes: download";
            } else {
                arguments.problem = "unknown argument: " + std::string(word);
            }
        }
    }
    return arguments;
}

std::string ProgramUsage() {
    return "usage: kestrel [--window download] [--grab FILE.png] [--version] [--help]\n"
           "  --window download  opens the download window once the start-up overlay has\n"
           "                   faded\n"
           "  --grab FILE.png  once the start-up overlay has faded, saves a picture of the\n"
           "                   main window to FILE.png and ends; with --window download,\n"
           "                   a picture of the download window once its list is filled\n"
           "  --version        prints the launcher's version and ends\n"
           "  --help           prints this text and ends\n"
           "A second kestrel started while one runs on the same program folder brings the\n"
           "first one's window to the front and ends.\n";
}

std::string ProgramVersionLine() { return "kestrel " + std::string(shell::kLauncherVersion) + "\n"; }

}  // namespace kestrel::app
