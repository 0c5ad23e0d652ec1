#include "shell/GameFileFetch.h"

#include <optional>

#include "download/Downloader.h"
#include "download/MissingFiles.h"
#include "install/ChainFiles.h"
#include "install/InstallLock.h"
#include "launch/Launcher.h"
#include "launch/VersionManifests.h"
#include "net/UrlRewriter.h"
#include "shell/DownloadSources.h"
#include "shell/GameStartWindow.h"

namespace kestrel::shell {

int FetchBarValue(const download::DownloadProgress& p) {
    if (p.bytes_total > 0) {
        const std::uint64_t done = std::min(p.bytes_done, p.bytes_total);
        return static_cast<int>(done * kFetchBarEnd / p.bytes_total);
    }
    if (p.files_total > 0) return p.files_done * kFetchBarEnd / p.files_total;
    return 0;
}

Status GameFileFetch::Run(const SettingsRecord& settings, toolkit::Surface& window, std::stop_token stop) const {
    // A chain with a missing or unreadable manifest is the launch's to
    // report, in the words it has always used.
    const std::vector<launch::ChainManifest> chain =
        launch::VersionManifests(settings.current_game_dir, host_).ReadChain(settings.selected_version);
    for (const launch::ChainManifest& element : chain) {
        if (!element.manifest.ok) return {};
    }
    const net::UrlRewriter rewriter = net::UrlRewriter::ForMirror(settings::MirrorOf(settings.download_source), endpoints_);
    const download::FileLister list = [&]() -> Result<download::FilesToCheck> {
        // The manifests stay as they were read; the files are looked at anew.
        return install::ListFilesToCheck(settings.current_game_dir, chain, host_, rewriter);
    };
    download::DownloadOptions options;
    options.clock = &clock_;
    options.parallelism = settings.download_jobs;
    const download::Downloader downloader(options);
    // The window and kestrel-cli never write the same files at once: the
    // fetch holds the folder's install lock until it ends.
    std::optional<install::InstallLock> lock;
    const download::BeforeFetch take_lock = [&]() -> Status {
        Result<install::InstallLock> taken = install::InstallLock::TryTake(settings.current_game_dir);
        if (!taken.ok()) return Error{taken.error()};
        lock.emplace(std::move(taken).value());
        return {};
    };
    int shown_bar = 0;
    std::string shown_label;
    const download::MissingOutcome outcome =
        download::FetchMissing(list, downloader, stop, [&](int, const download::DownloadProgress& p) {
            const std::string label =
                kStepFetching + std::to_string(p.files_done) + "/" + std::to_string(p.files_total);
            if (label != shown_label) window.SetText(kStartStep, label);
            shown_label = label;
            // The bar only grows: a second round starts its count afresh.
            const int bar = std::max(shown_bar, FetchBarValue(p));
            if (bar != shown_bar) ShowStartProgress(window, bar);
            shown_bar = bar;
        }, take_lock);
    if (outcome.cancelled || stop.stop_requested()) return Error{std::string(launch::kLaunchCancelled)};
    if (!outcome.status.ok()) return Error{kErrorFetchPrefix + outcome.status.error()};
    return {};
}

}  // namespace kestrel::shell
