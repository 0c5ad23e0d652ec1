#include "install/LibraryFetch.h"

#include <vector>

#include "download/Downloader.h"
#include "install/ChainFiles.h"
#include "install/MavenChecksums.h"

namespace kestrel::install {

Result<std::vector<download::FileRequest>> ListLibraries(const InstallSettings& settings,
                                                         const launch::Manifest& manifest, const std::string& id,
                                                         const LibraryFetchOptions& options) {
    // The manifest alone as a chain: its parent's files are the parent's.
    const std::vector<launch::ChainManifest> chain{{id, manifest}};
    Result<ChainFileList> listed = ListChainFiles(settings.game_folder, chain, settings.host, settings.rewriter);
    if (!listed) return Error{listed.error()};
    const std::string prefix = settings.game_folder + "/";
    std::vector<download::FileRequest> files;
    for (download::FileRequest& file : listed.value().files) {
        const std::string relative = file.path.substr(prefix.size());
        if (!relative.starts_with("libraries/")) continue;
        if (options.skip && options.skip(relative)) continue;
        files.push_back(std::move(file));
    }
    return files;
}

Result<InstallReport> FetchLibraries(const InstallSettings& settings, const launch::Manifest& manifest,
                                     const std::string& id, std::stop_token stop,
                                     const InstallProgressCallback& progress, const LibraryFetchOptions& options) {
    Result<std::vector<download::FileRequest>> listed = ListLibraries(settings, manifest, id, options);
    if (!listed) return Error{listed.error()};
    std::vector<download::FileRequest> files = std::move(listed).value();

    if (progress) progress(InstallProgress{InstallStep::kChecksums, {}});
    net::HttpOptions http = settings.http;
    http.cancel = stop;
    FillMavenChecksums(files, http);
    if (stop.stop_requested()) return Error{std::string(kErrorInstallCancelled)};

    // The requests come rewritten already (ChainFiles.h).
    download::DownloadOptions engine = settings.download;
    engine.rewriter = net::UrlRewriter();
    const download::Downloader downloader(engine);
    const download::DownloadOutcome outcome =
        downloader.Run(files, stop, [&](const download::DownloadProgress& files_progress) {
            if (progress) progress(InstallProgress{options.step, files_progress});
        });
    if (outcome.cancelled) return Error{std::string(kErrorInstallCancelled)};
    if (!outcome.status) return Error{outcome.status.error()};
    InstallReport report;
    report.files_fetched = outcome.files_fetched;
    report.files_present = outcome.files_present;
    report.bytes_fetched = outcome.bytes_fetched;
    return report;
}

}  // namespace kestrel::install
