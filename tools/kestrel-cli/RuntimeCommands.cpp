// kestrel-cli runtimes, runtime install|for|verify: Mojang's Java runtimes in
// the game folder.

#include <unistd.h>

#include <chrono>
#include <charconv>
#include <cstdio>
#include <ostream>

#include "ChainCheck.h"
#include "Command.h"
#include "launch/VersionManifests.h"
#include "net/Endpoints.h"
#include "net/UrlRewriter.h"
#include "runtimes/JavaChoice.h"
#include "runtimes/RuntimeInstaller.h"
#include "runtimes/RuntimeLayout.h"

namespace kestrel::cli {

namespace {

// The download settings of --mirror and --jobs; false after a usage error.
bool InstallOptionsOf(const CliArguments& arguments, const CliContext& context,
                      runtimes::RuntimeInstallOptions& options) {
    const net::Endpoints endpoints = net::Endpoints::FromEnvironment();
    const auto mirror = net::MirrorFromName(arguments.Get("--mirror", "official"));
    if (!mirror) {
        context.err << "usage: --mirror official|bmclapi\n";
        return false;
    }
    const std::string jobs = arguments.Get("--jobs", "16");
    int parallelism = 0;
    const auto [end, error] = std::from_chars(jobs.data(), jobs.data() + jobs.size(), parallelism);
    if (error != std::errc() || end != jobs.data() + jobs.size() || parallelism < 1 || parallelism > 64) {
        context.err << "usage: --jobs N (1-64)\n";
        return false;
    }
    options.index_url = endpoints.Base("java_runtimes");
    options.download.parallelism = parallelism;
    options.download.rewriter = net::UrlRewriter::ForMirror(*mirror, endpoints);
    return true;
}

// Progress on stderr: a line that rewrites itself on a terminal, else one
// line a second.
download::ProgressCallback ProgressPrinter(const CliContext& context) {
    const bool terminal = ::isatty(STDERR_FILENO) != 0;
    auto last = std::make_shared<std::chrono::steady_clock::time_point>();
    return [&context, terminal, last](const download::DownloadProgress& progress) {
        const auto now = std::chrono::steady_clock::now();
        const bool finished = progress.files_done == progress.files_total;
        if (!terminal && !finished && now - *last < std::chrono::seconds(1)) return;
        *last = now;
        char line[160];
        std::snprintf(line, sizeof line, "%d/%d files, %.1f/%.1f MB, %.1f MB/s", progress.files_done,
                      progress.files_total, static_cast<double>(progress.bytes_done) / 1048576.0,
                      static_cast<double>(progress.bytes_total) / 1048576.0, progress.bytes_per_second / 1048576.0);
        context.err << (terminal ? "\r" : "") << line << (terminal && !finished ? "" : "\n") << std::flush;
    };
}

int InstallComponent(const std::string& component, const CliArguments& arguments, const CliContext& context) {
    runtimes::RuntimeInstallOptions options;
    if (!InstallOptionsOf(arguments, context, options)) return kUsage;
    const runtimes::RuntimeInstaller installer(context.game_dir, context.profile, options);
    const auto installed = installer.Install(component, {}, ProgressPrinter(context));
    if (!installed) {
        context.err << installed.error() << "\n";
        return kFailed;
    }
    context.out << installed->java << "\n";
    return kDone;
}

// The component the chain names in javaVersion.component, the root-most
// declaration winning as it does for the major version.
std::string ComponentOfChain(const std::vector<launch::ChainManifest>& chain) {
    std::string component;
    for (const launch::ChainManifest& element : chain) {
        const std::string& named = element.manifest.record.java_component;
        if (!named.empty()) component = named;
    }
    return component.empty() ? std::string(runtimes::kLegacyComponent) : component;
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
        return InstallComponent(ComponentOfChain(manifests.ReadChain(words[1])), arguments, context);
    }
    if (words[0] == "verify") {
        runtimes::RuntimeInstallOptions options;
        if (!InstallOptionsOf(arguments, context, options)) return kUsage;
        const runtimes::RuntimeInstaller installer(context.game_dir, context.profile, options);
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
