// kestrel-cli natives, command-line, launch: the natives archives of a
// version, the game command line of a launch, and the launch itself (with
// the Java the version needs, LaunchJavaOf), whose
// output goes to a launch log in the game directory (named on stderr; with
// --wait, the log's last lines follow when the game ends with a non-zero
// status). Before the launch, the chain's missing files are fetched
// (LaunchFiles.h).

#include <ostream>

#include "ChainCheck.h"
#include "Command.h"
#include "LaunchFiles.h"
#include "OptionWords.h"
#include "ProgramOptions.h"
#include "RuntimeInstall.h"
#include "launch/LaunchLog.h"
#include "launch/Launcher.h"
#include "launch/NativesExtractor.h"
#include "net/JsonValue.h"
#include "net/JsonWriter.h"
#include "platform/Process.h"
#include "platform/RandomSource.h"
#include "runtimes/LaunchJava.h"
#include "settings/OptionChecks.h"

namespace kestrel::cli {

namespace {

constexpr const char* kPlanUsage =
    "--name NAME [--token T] [--uuid U] [--memory MB] [--width W] [--height H] [--isolation] [--watermark TEXT]";

// The window size of --width or --height: a whole number the settings
// window would take too. Prints what is wrong and gives nothing otherwise.
std::optional<int> WindowSize(const CliArguments& arguments, const std::string& option, const char* fallback,
                              const CliContext& context) {
    const std::string text = arguments.Get(option, fallback);
    const settings::OptionProblem problem = settings::CheckNumber(text, settings::kWindowSizeRange);
    if (problem != settings::OptionProblem::kNone) {
        context.err << option << ": " << OptionProblemText(problem, text, settings::kWindowSizeRange) << "\n";
        return std::nullopt;
    }
    return static_cast<int>(*settings::TypedNumber(text));
}

// The plan of command-line and launch; nothing when a required option is
// missing or a window size is not one (the reason is printed then). The
// memory goes to the launcher as it is: its own check refuses a memory that
// is no number or too small, with its own text. Without --java (where the
// command allows that) the Java is left empty.
std::optional<launch::LaunchPlan> PlanOf(const CliArguments& arguments, const CliContext& context,
                                         bool java_required = true) {
    if (arguments.positional().size() != 1 || (java_required && !arguments.Has("--java")) ||
        !arguments.Has("--name")) {
        return std::nullopt;
    }
    const std::optional<int> width = WindowSize(arguments, "--width", "854", context);
    const std::optional<int> height = WindowSize(arguments, "--height", "480", context);
    if (!width || !height) return std::nullopt;
    launch::LaunchPlan plan;
    plan.version_id = arguments.positional()[0];
    plan.java_path = arguments.Get("--java");
    plan.player_name = arguments.Get("--name");
    plan.access_token = arguments.Get("--token");
    plan.player_uuid = arguments.Get("--uuid");
    plan.memory_mb = launch::DecimalOrZero(arguments.Get("--memory", "2048"));
    plan.window_width = *width;
    plan.window_height = *height;
    plan.isolation = arguments.Has("--isolation");
    plan.watermark = arguments.Get("--watermark");
    plan.game_folder = context.game_dir;
    return plan;
}

int Natives(const CliArguments& arguments, const CliContext& context) {
    if (arguments.positional().size() != 1) return UsageError(context);
    if (!CheckChain(arguments.positional()[0], context)) return kFailed;
    const launch::NativesExtractor natives(launch::VersionManifests(context.game_dir, context.profile));
    for (const std::string& archive : natives.Archives(arguments.positional()[0])) context.out << archive << "\n";
    return kDone;
}

int CommandLine(const CliArguments& arguments, const CliContext& context) {
    const auto plan = PlanOf(arguments, context);
    if (!plan) return UsageError(context);
    if (!CheckChain(plan->version_id, context)) return kFailed;
    platform::TickRandom random;
    const Result<std::string> line = launch::Launcher(context.profile, random).CommandLine(*plan);
    if (!line.ok()) {
        context.err << line.error() << "\n";
        return kFailed;
    }
    if (!arguments.Has("--argv")) {
        context.out << *line << "\n";
        return kDone;
    }
    net::JsonValue vector = net::JsonValue::Array();
    for (std::string& argument :
         platform::SplitCommandLine(launch::Launcher::ProcessCommandLine(plan->java_path, *line))) {
        vector.Append(net::JsonValue::String(std::move(argument)));
    }
    context.out << net::JsonWriter::Write(vector) << "\n";
    return kDone;
}

// The Java of a launch: --java as given; else the options file's Java, or,
// when that is not the major version the chain needs and AutoJava is on, an
// installed Java of that version (downloaded when there is none), as the
// window chooses it. Nothing once the reason is printed, with status set.
std::optional<std::string> LaunchJavaOf(const launch::LaunchPlan& plan, const CliArguments& arguments,
                                        const CliContext& context, int& status) {
    const settings::SettingsRecord options = ProgramOptions(arguments);
    runtimes::LaunchJavaRequest request;
    request.game_folder = context.game_dir;
    request.version_id = plan.version_id;
    request.given_explicitly = arguments.Has("--java");
    request.java = request.given_explicitly ? plan.java_path : options.java_path;
    request.automatic = options.automatic_java;
    const runtimes::LaunchJava chosen = runtimes::ChooseLaunchJava(request, context.profile);
    std::string java = chosen.choice.java;
    switch (chosen.choice.kind) {
        case runtimes::JavaChoice::Kind::kAsChosen:
            return java;
        case runtimes::JavaChoice::Kind::kDownload: {
            context.err << "正在下载Java " << chosen.major << " (" << chosen.choice.component << ")\n";
            std::optional<std::string> installed = InstallRuntime(chosen.choice.component, arguments, context, status);
            if (!installed) return std::nullopt;
            java = std::move(*installed);
            break;
        }
        case runtimes::JavaChoice::Kind::kDiscovered:
            break;
    }
    context.err << "已自动选用Java " << chosen.major << ": " << java << "\n";
    return java;
}

int Launch(const CliArguments& arguments, const CliContext& context) {
    auto plan = PlanOf(arguments, context, false);
    if (!plan) return UsageError(context);
    if (!CheckChain(plan->version_id, context)) return kFailed;
    int failure = kDone;
    std::optional<std::string> java = LaunchJavaOf(*plan, arguments, context, failure);
    if (!java) return failure;
    plan->java_path = std::move(*java);
    if (const int fetched = FetchMissingForLaunch(plan->version_id, plan->java_path, arguments, context);
        fetched != kDone) {
        return fetched;
    }
    platform::TickRandom random;
    const Result<launch::StartedGame> game = launch::Launcher(context.profile, random).Start(*plan);
    if (!game.ok()) {
        context.err << game.error() << "\n";
        return kFailed;
    }
    context.out << game->pid << "\n";
    // The game's output goes to its launch log, not to this terminal.
    if (!game->log_path.empty()) context.err << "日志文件:" << game->log_path << "\n";
    if (!arguments.Has("--wait")) return kDone;
    context.out.flush();
    const Result<int> status = platform::WaitForProcess(game->pid);
    if (!status.ok()) {
        context.err << status.error() << "\n";
        return kFailed;
    }
    if (*status != 0 && !game->log_path.empty()) {
        const std::string tail = launch::LogTail(context.profile.NativePath(game->log_path), 12);
        if (!tail.empty()) context.err << tail << "\n";
    }
    return *status;
}

}  // namespace

std::vector<Command> LaunchCommands() {
    return {
        {"natives", "ID", Natives},
        {"command-line", std::string("ID --java PATH ") + kPlanUsage + " [--argv]", CommandLine},
        {"launch", std::string("ID [--java PATH] ") + kPlanUsage + " [--wait] [--program-dir DIR]", Launch},
    };
}

}  // namespace kestrel::cli
