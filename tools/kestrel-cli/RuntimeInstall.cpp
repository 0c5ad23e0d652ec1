#include "RuntimeInstall.h"

#include <unistd.h>

#include <charconv>
#include <chrono>
#include <cstdio>
#include <memory>
#include <ostream>

#include "ProgramOptions.h"
#include "net/Endpoints.h"
#include "net/UrlRewriter.h"
#include "runtimes/LaunchJava.h"

namespace kestrel::cli {

namespace {

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

}  // namespace

std::optional<runtimes::RuntimeInstallOptions> RuntimeInstallOptionsOf(const CliArguments& arguments,
                                                                      const CliContext& context) {
    const std::optional<net::Mirror> mirror = MirrorOption(arguments, context);
    if (!mirror) return std::nullopt;
    const std::optional<int> parallelism = JobsOption(arguments, context);
    if (!parallelism) return std::nullopt;
    const net::Endpoints endpoints = net::Endpoints::FromEnvironment();
    runtimes::RuntimeInstallOptions options;
    options.index_url = endpoints.Base("java_runtimes");
    options.download.parallelism = *parallelism;
    options.download.rewriter = net::UrlRewriter::ForMirror(*mirror, endpoints);
    return options;
}

std::optional<std::string> InstallRuntime(const std::string& component, const CliArguments& arguments,
                                          const CliContext& context, int& status) {
    const std::optional<runtimes::RuntimeInstallOptions> options = RuntimeInstallOptionsOf(arguments, context);
    if (!options) {
        status = kUsage;
        return std::nullopt;
    }
    const Result<std::string> java =
        runtimes::InstallJavaRuntime(context.game_dir, component, context.profile, *options, {}, ProgressPrinter(context));
    if (!java) {
        context.err << java.error() << "\n";
        status = kFailed;
        return std::nullopt;
    }
    return *java;
}

}  // namespace kestrel::cli
