#include "install/GameVersionSetup.h"

#include "download/Downloader.h"
#include "download/MissingFiles.h"
#include "install/ChainFiles.h"
#include "launch/VersionManifests.h"
#include "platform/Files.h"

namespace kestrel::install {

namespace {

constexpr std::string_view kErrorUnsafeId = "版本名不安全: ";

}  // namespace

Result<GameVersionReport> EnsureGameVersion(const VersionInstaller& installer, const InstallLock& held,
                                            const std::string& id, std::stop_token stop,
                                            const InstallProgressCallback& progress) {
    if (!IsSafeVersionId(id)) return Error{std::string(kErrorUnsafeId) + id};
    const InstallSettings& settings = installer.settings();
    GameVersionReport report;
    const std::string manifest = settings.game_folder + "/versions/" + id + "/" + id + ".json";
    if (!platform::IsRegularFile(manifest)) {
        Result<InstallReport> installed = installer.Install(held, id, stop, progress);
        if (!installed) return Error{installed.error()};
        report.installed = true;
        report.files = installed.value();
        return report;
    }

    const std::vector<launch::ChainManifest> chain =
        launch::VersionManifests(settings.game_folder, platform::HostProfile::Current()).ReadChain(id);
    const download::FileLister list = [&]() {
        return ListFilesToCheck(settings.game_folder, chain, settings.host, settings.rewriter);
    };
    // The requests come rewritten already (ChainFiles.h).
    download::DownloadOptions engine = settings.download;
    engine.rewriter = net::UrlRewriter();
    const download::Downloader downloader(engine);
    const download::MissingOutcome outcome =
        download::FetchMissing(list, downloader, stop, [&](int, const download::DownloadProgress& files) {
            if (progress) progress(InstallProgress{InstallStep::kFiles, files});
        });
    if (outcome.cancelled) return Error{std::string(kErrorInstallCancelled)};
    if (!outcome.status) return Error{outcome.status.error()};
    report.files.files_fetched = outcome.files_fetched;
    return report;
}

}  // namespace kestrel::install
