// kestrel-cli remote-versions, install and verify: the version catalogue, and
// installing, checking and repairing versions in the game folder, through
// the same installer as the launcher (install/VersionInstaller.h).
//
// --mirror official|bmclapi picks where files come from (default: the options
// file's DownloadSource), --jobs N how many files are fetched at once
// (default 16). Progress goes to stderr: a bar redrawn in place on a
// terminal, otherwise one line a second, so a log stays readable.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <optional>
#include <ostream>
#include <sstream>

#include "Command.h"
#include "ProgramOptions.h"
#include "install/VersionInstaller.h"
#include "java/MemoryAdvisor.h"
#include "net/Endpoints.h"
#include "platform/FileLock.h"
#include "platform/LauncherPaths.h"
#include "settings/OptionsFile.h"

namespace kestrel::cli {

namespace {

constexpr const char* kTypes[] = {"release", "snapshot", "old_beta", "old_alpha"};

// The installer for the command's options; nothing (after the usage line)
// when --mirror or --jobs is not one the command takes.
std::optional<install::VersionInstaller> InstallerFor(const CliArguments& arguments, const CliContext& context) {
    const std::optional<net::Mirror> mirror = MirrorOption(arguments, context);
    if (!mirror) return std::nullopt;
    int jobs = 16;
    if (arguments.Has("--jobs")) {
        const std::string text = arguments.Get("--jobs");
        std::size_t used = 0;
        try {
            jobs = std::stoi(text, &used);
        } catch (...) {
            used = 0;
        }
        if (used == 0 || used != text.size() || jobs < 1 || jobs > 256) {
            context.err << "usage: --jobs N (1 to 256)\n";
            return std::nullopt;
        }
    }
    const net::Endpoints endpoints = net::Endpoints::FromEnvironment();
    install::InstallSettings settings;
    settings.game_folder = context.game_dir;
    settings.host = context.profile;
    settings.rewriter = net::UrlRewriter::ForMirror(*mirror, endpoints);
    settings.catalogue_url = endpoints.Url("version_manifest");
    settings.download.parallelism = jobs;
    return install::VersionInstaller(std::move(settings));
}

std::string Megabytes(std::uint64_t bytes) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", static_cast<double>(bytes) / (1024.0 * 1024.0));
    return text;
}

// Shows the installer's progress on stderr.
class ProgressLine {
public:
    explicit ProgressLine(std::ostream& err) : err_(err), terminal_(platform::IsTerminal(2)) {}
    ~ProgressLine() { Finish(); }

    void Show(const install::InstallProgress& progress) {
        const auto now = std::chrono::steady_clock::now();
        const bool new_step = !shown_ || progress.step != step_;
        // A terminal gets a redraw up to ten times a second; a log one line
        // a second, and one for each new step.
        const auto pause = terminal_ ? std::chrono::milliseconds(100) : std::chrono::milliseconds(1000);
        if (!new_step && now - last_ < pause) return;
        last_ = now;
        step_ = progress.step;
        shown_ = true;
        const std::string text = Text(progress);
        if (terminal_) {
            err_ << "\r\033[K" << text << std::flush;
            open_line_ = true;
        } else {
            err_ << text << "\n" << std::flush;
        }
    }

    void Finish() {
        if (open_line_) err_ << "\n" << std::flush;
        open_line_ = false;
    }

private:
    std::string Text(const install::InstallProgress& progress) const {
        std::ostringstream text;
        text << install::InstallStepText(progress.step);
        const download::DownloadProgress& files = progress.files;
        if (files.files_total == 0) return text.str();
        const double share = files.bytes_total > 0
                                 ? static_cast<double>(files.bytes_done) / static_cast<double>(files.bytes_total)
                                 : static_cast<double>(files.files_done) / files.files_total;
        const int percent = static_cast<int>(share * 100);
        if (terminal_) {
            const int filled = static_cast<int>(share * 30);
            text << " [" << std::string(filled, '#') << std::string(30 - filled, '-') << "]";
        }
        text << " " << percent << "% " << files.files_done << "/" << files.files_total;
        if (progress.step == install::InstallStep::kFiles || progress.step == install::InstallStep::kAssetIndex) {
            text << " " << Megabytes(files.bytes_done) << "/" << Megabytes(files.bytes_total) << " MB "
                 << Megabytes(static_cast<std::uint64_t>(files.bytes_per_second)) << " MB/s";
        }
        return text.str();
    }

    std::ostream& err_;
    bool terminal_;
    bool shown_ = false;
    bool open_line_ = false;
    install::InstallStep step_ = install::InstallStep::kCatalogue;
    std::chrono::steady_clock::time_point last_{};
};

int RemoteVersions(const CliArguments& arguments, const CliContext& context) {
    if (!arguments.positional().empty()) return UsageError(context);
    const std::string type = arguments.Get("--type");
    if (arguments.Has("--type") && std::find(std::begin(kTypes), std::end(kTypes), type) == std::end(kTypes)) {
        return UsageError(context);
    }
    const std::optional<install::VersionInstaller> installer = InstallerFor(arguments, context);
    if (!installer) return kUsage;
    const Result<install::VersionCatalogue> catalogue = installer->Catalogue();
    if (!catalogue) {
        context.err << catalogue.error() << "\n";
        return kFailed;
    }
    for (const install::CatalogueEntry& entry : catalogue->versions) {
        if (!type.empty() && entry.type != type) continue;
        context.out << entry.id << "\t" << entry.type << "\t" << entry.release_time << "\n";
    }
    return kDone;
}

int Install(const CliArguments& arguments, const CliContext& context) {
    if (arguments.positional().size() != 1 || arguments.Has("--loader")) return UsageError(context);
    const std::optional<install::VersionInstaller> installer = InstallerFor(arguments, context);
    if (!installer) return kUsage;
    const std::string& id = arguments.positional()[0];
    ProgressLine line(context.err);
    const Result<install::InstallReport> report =
        installer->Install(id, {}, [&](const install::InstallProgress& progress) { line.Show(progress); });
    line.Finish();
    if (!report) {
        context.err << report.error() << "\n";
        return kFailed;
    }
    context.err << "下载了 " << report->files_fetched << " 个文件 (" << Megabytes(report->bytes_fetched)
                << " MB)，" << report->files_present << " 个文件已存在\n";
    context.out << id << "\n";
    return kDone;
}

int Verify(const CliArguments& arguments, const CliContext& context) {
    if (arguments.positional().size() != 1) return UsageError(context);
    const std::optional<install::VersionInstaller> installer = InstallerFor(arguments, context);
    if (!installer) return kUsage;
    const std::string& id = arguments.positional()[0];
    const bool repair = arguments.Has("--repair");
    ProgressLine line(context.err);
    const auto show = [&](const install::InstallProgress& progress) { line.Show(progress); };
    const Result<install::VerifyReport> report = repair ? installer->Repair(id, {}, show) : installer->Verify(id, {}, show);
    line.Finish();
    if (!report) {
        context.err << report.error() << "\n";
        return kFailed;
    }
    for (const install::BadFile& bad : report->bad) {
        context.out << (bad.fault == install::FileFault::kMissing ? "missing " : "corrupt ") << bad.path << "\n";
    }
    // After a repair that succeeded, every file listed has been mended.
    return report->bad.empty() || repair ? kDone : kFailed;
}

}  // namespace

std::vector<Command> InstallCommands() {
    return {
        {"remote-versions", "[--type release|snapshot|old_beta|old_alpha] [--mirror official|bmclapi]",
         RemoteVersions},
        {"install", "ID [--mirror official|bmclapi] [--jobs N]", Install},
        {"verify", "ID [--repair] [--mirror official|bmclapi] [--jobs N]", Verify},
    };
}

}  // namespace kestrel::cli
