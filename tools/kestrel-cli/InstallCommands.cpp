// kestrel-cli remote-versions, install and verify: the version catalogue, and
// installing, checking and repairing versions in the game folder, through
// the same installer as the launcher (install/VersionInstaller.h); with
// --loader fabric[:VER]|quilt[:VER], install puts that loader on top of the
// game version as its own version (install/Loaders.h) and prints that
// version's id.
//
// The options are InstallOptions.h's; progress goes to stderr
// (ProgressLine.h).

#include <algorithm>
#include <optional>
#include <ostream>

#include "Command.h"
#include "InstallOptions.h"
#include "ProgressLine.h"
#include "install/Loaders.h"
#include "install/VersionInstaller.h"

namespace kestrel::cli {

namespace {

constexpr const char* kTypes[] = {"release", "snapshot", "old_beta", "old_alpha"};

// The installer for the command's options; nothing (after the usage line)
// when --mirror or --jobs is not one the command takes.
std::optional<install::VersionInstaller> InstallerFor(const CliArguments& arguments, const CliContext& context) {
    std::optional<install::InstallSettings> settings = InstallSettingsFor(arguments, context);
    if (!settings) return std::nullopt;
    return install::VersionInstaller(std::move(*settings));
}

// "fabric", "quilt:0.16.9": the loader and its version (empty for the
// newest); false for another text.
bool ParseLoaderOption(const std::string& text, install::Loader& loader, std::string& version) {
    const std::size_t colon = text.find(':');
    if (!install::ParseLoader(std::string_view(text).substr(0, colon), loader)) return false;
    version = colon == std::string::npos ? std::string() : text.substr(colon + 1);
    return colon == std::string::npos || !version.empty();
}

int InstallWithLoader(const CliArguments& arguments, const CliContext& context) {
    install::LoaderRequest request;
    if (!ParseLoaderOption(arguments.Get("--loader"), request.loader, request.loader_version)) {
        return UsageError(context);
    }
    const std::optional<install::InstallSettings> settings = InstallSettingsFor(arguments, context);
    if (!settings) return kUsage;
    request.game_version = arguments.positional()[0];
    ProgressLine line(context.err);
    const Result<std::string> id = install::InstallLoader(
        *settings, request, {}, [&](const install::InstallProgress& progress) { line.Show(progress); });
    line.Finish();
    if (!id) {
        context.err << id.error() << "\n";
        return kFailed;
    }
    context.out << id.value() << "\n";
    return kDone;
}

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
    if (arguments.positional().size() != 1) return UsageError(context);
    if (arguments.Has("--loader")) return InstallWithLoader(arguments, context);
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
        {"install", "ID [--loader fabric[:VER]|quilt[:VER]] [--mirror official|bmclapi] [--jobs N]", Install},
        {"verify", "ID [--repair] [--mirror official|bmclapi] [--jobs N]", Verify},
    };
}

}  // namespace kestrel::cli
