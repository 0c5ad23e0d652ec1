#include "install/VersionInstaller.h"

#include <optional>
#include <unordered_set>

#include "download/FileCheck.h"
#include "install/ChainFiles.h"
#include "install/InstallLock.h"
#include "install/MavenChecksums.h"
#include "launch/AssetIndex.h"
#include "launch/LegacyAssets.h"
#include "launch/VersionManifests.h"
#include "platform/FilesBelow.h"

namespace kestrel::install {

namespace {

using download::FileRequest;

constexpr std::string_view kErrorNotInCatalogue = "版本列表中没有这个版本: ";
constexpr std::string_view kErrorUnsafeId = "版本名不安全: ";
constexpr std::string_view kErrorBadCatalogueSha1 = "版本列表中这个版本的 SHA-1 无效: ";
constexpr std::string_view kErrorIndexUnreadable = "资源索引文件无法读取: ";
constexpr std::string_view kErrorStillBad = "修复后仍有文件缺失或损坏: ";

// The named copies an old index asks for, and where they go.
struct Copies {
    std::string target;  // empty when the index asks for none
    launch::AssetIndex index;
};

Copies CopiesOf(const std::string& game_folder, const std::string& index_path) {
    Copies copies;
    if (index_path.empty()) return copies;
    Result<launch::AssetIndex> index = launch::AssetIndex::Read(index_path);
    if (!index) return copies;
    // An index with both flags counts as map_to_resources, as at the launch.
    if (index->map_to_resources) {
        copies.target = game_folder + "/resources";
    } else if (index->is_virtual) {
        copies.target = game_folder + "/assets/virtual/legacy";
    } else {
        return copies;
    }
    copies.index = std::move(index).value();
    return copies;
}

std::string Joined(const std::vector<std::string>& pieces) {
    std::string path;
    for (const std::string& piece : pieces) {
        if (!path.empty()) path.push_back('/');
        path += piece;
    }
    return path;
}

std::string RelativeTo(const std::string& folder, const std::string& path) {
    const std::string prefix = folder + "/";
    return path.starts_with(prefix) ? path.substr(prefix.size()) : path;
}

bool IsHex40(std::string_view text) {
    if (text.size() != 40) return false;
    for (const char c : text) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'))) return false;
    }
    return true;
}

}  // namespace

VersionInstaller::VersionInstaller(InstallSettings settings) : settings_(std::move(settings)) {
    // The requests come rewritten already; a second rewriting by the engine
    // could only send them somewhere else.
    settings_.download.rewriter = net::UrlRewriter();
}

Result<VersionCatalogue> VersionInstaller::Catalogue() const {
    return VersionCatalogue::Fetch(settings_.catalogue_url, settings_.rewriter, settings_.http);
}

download::DownloadOutcome VersionInstaller::RunJob(const std::vector<FileRequest>& files, InstallStep step,
                                                   std::stop_token stop,
                                                   const InstallProgressCallback& progress) const {
    const download::Downloader downloader(settings_.download);
    return downloader.Run(files, stop, [&](const download::DownloadProgress& files_progress) {
        if (progress) progress(InstallProgress{step, files_progress});
    });
}

Result<InstallReport> VersionInstaller::Install(const std::string& id, std::stop_token stop,
                                                const InstallProgressCallback& progress) const {
    if (!IsSafeVersionId(id)) return Error{std::string(kErrorUnsafeId) + id};
    Result<InstallLock> lock = InstallLock::TryTake(settings_.game_folder);
    if (!lock) return Error{lock.error()};
    return Install(lock.value(), id, stop, progress);
}

Result<InstallReport> VersionInstaller::Install(const InstallLock&, const std::string& id, std::stop_token stop,
                                                const InstallProgressCallback& progress) const {
    if (!IsSafeVersionId(id)) return Error{std::string(kErrorUnsafeId) + id};
    if (progress) progress(InstallProgress{InstallStep::kCatalogue, {}});
    net::HttpOptions http = settings_.http;
    http.cancel = stop;
    Result<VersionCatalogue> catalogue = VersionCatalogue::Fetch(settings_.catalogue_url, settings_.rewriter, http);
    if (stop.stop_requested()) return Error{std::string(kErrorInstallCancelled)};
    if (!catalogue) return Error{catalogue.error()};
    const CatalogueEntry* entry = catalogue->Find(id);
    if (!entry) return Error{std::string(kErrorNotInCatalogue) + id};
    if (!entry->sha1.empty() && !IsHex40(entry->sha1)) return Error{std::string(kErrorBadCatalogueSha1) + id};

    // The version JSON, stored as served: the engine checks it against the
    // catalogue's SHA-1 and renames it into place only when it matches.
    FileRequest json;
    json.url = settings_.rewriter.Rewrite(entry->url);
    json.fallback_url = settings_.rewriter.Official(entry->url);
    json.path = settings_.game_folder + "/versions/" + id + "/" + id + ".json";
    json.sha1 = entry->sha1;
    const download::DownloadOutcome fetched = RunJob({json}, InstallStep::kVersionJson, stop, progress);
    if (!fetched.status) return Error{fetched.status.error()};

    Result<InstallReport> report = FetchChain(id, stop, progress);
    if (!report) return report;
    report.value().files_fetched += fetched.files_fetched;
    report.value().files_present += fetched.files_present;
    report.value().bytes_fetched += fetched.bytes_fetched;
    return report;
}

Result<InstallReport> VersionInstaller::FetchChain(const std::string& id, std::stop_token stop,
                                                   const InstallProgressCallback& progress) const {
    const std::string& folder = settings_.game_folder;
    Result<ChainFileList> list = ListChainFiles(folder, id, settings_.host, settings_.rewriter);
    if (!list) return Error{list.error()};
    InstallReport report;

    if (!list->objects_listed) {
        // The index first: its objects are the bulk of the files.
        std::vector<FileRequest> index_only;
        for (const FileRequest& file : list->files) {
            if (file.path == list->asset_index_path) index_only.push_back(file);
        }
        const download::DownloadOutcome outcome = RunJob(index_only, InstallStep::kAssetIndex, stop, progress);
        if (!outcome.status) return Error{outcome.status.error()};
        list = ListChainFiles(folder, id, settings_.host, settings_.rewriter);
        if (!list) return Error{list.error()};
        if (!list->objects_listed) return Error{std::string(kErrorIndexUnreadable) + list->asset_index_path};
    }

    std::vector<FileRequest> files = std::move(list.value().files);
    if (progress) progress(InstallProgress{InstallStep::kChecksums, {}});
    net::HttpOptions http = settings_.http;
    http.cancel = stop;
    FillMavenChecksums(files, http);
    if (stop.stop_requested()) return Error{std::string(kErrorInstallCancelled)};

    const download::DownloadOutcome outcome = RunJob(files, InstallStep::kFiles, stop, progress);
    report.files_fetched = outcome.files_fetched;
    report.files_present = outcome.files_present;
    report.bytes_fetched = outcome.bytes_fetched;
    if (!outcome.status) return Error{outcome.status.error()};

    const Copies copies = CopiesOf(folder, list->asset_index_path);
    if (!copies.target.empty()) {
        if (progress) progress(InstallProgress{InstallStep::kCopies, {}});
        const launch::LegacyCopyReport made = launch::LegacyAssets(folder).Recreate(copies.index, copies.target);
        report.copies_made = made.copied;
        if (!made.errors.empty()) return Error{made.errors.front()};
    }
    return report;
}

Result<VerifyReport> VersionInstaller::Check(const std::string& id, std::stop_token stop,
                                             const InstallProgressCallback& progress) const {
    const std::string& folder = settings_.game_folder;
    Result<ChainFileList> list = ListChainFiles(folder, id, settings_.host, settings_.rewriter);
    if (!list) return Error{list.error()};

    // Only what a manifest gives a SHA-1 or a size for can be checked.
    std::vector<FileRequest> checked;
    for (const FileRequest& file : list->files) {
        if (!file.sha1.empty() || file.size) checked.push_back(file);
    }
    const Copies copies = CopiesOf(folder, list->asset_index_path);
    for (const launch::AssetObject& object : copies.index.objects) {
        checked.push_back(FileRequest{{}, {}, copies.target + "/" + Joined(object.pieces), object.hash, object.size});
    }

    std::vector<const FileRequest*> pointers;
    pointers.reserve(checked.size());
    for (const FileRequest& file : checked) pointers.push_back(&file);
    download::DownloadProgress shown;
    shown.files_total = static_cast<int>(checked.size());
    if (progress) progress(InstallProgress{InstallStep::kChecking, shown});
    const std::vector<download::OnDisk> verdicts =
        download::CheckFilesOnDisk(pointers, settings_.download.check_threads, stop, [&](std::size_t done) {
            shown.files_done = static_cast<int>(done);
            if (progress) progress(InstallProgress{InstallStep::kChecking, shown});
        });
    if (stop.stop_requested()) return Error{std::string(kErrorInstallCancelled)};

    VerifyReport report;
    report.files_checked = static_cast<int>(checked.size());
    for (std::size_t i = 0; i < checked.size(); ++i) {
        if (verdicts[i] == download::OnDisk::kRight) continue;
        report.bad.push_back({RelativeTo(folder, checked[i].path),
                              verdicts[i] == download::OnDisk::kMissing ? FileFault::kMissing : FileFault::kCorrupt});
    }
    return report;
}

Result<VerifyReport> VersionInstaller::Verify(const std::string& id, std::stop_token stop,
                                              const InstallProgressCallback& progress) const {
    if (!IsSafeVersionId(id)) return Error{std::string(kErrorUnsafeId) + id};
    return Check(id, stop, progress);
}

Result<VerifyReport> VersionInstaller::Repair(const std::string& id, std::stop_token stop,
                                              const InstallProgressCallback& progress) const {
    if (!IsSafeVersionId(id)) return Error{std::string(kErrorUnsafeId) + id};
    Result<InstallLock> lock = InstallLock::TryTake(settings_.game_folder);
    if (!lock) return Error{lock.error()};
    Result<VerifyReport> before = Check(id, stop, progress);
    if (!before || before->bad.empty()) return before;

    // The engine fetches what is wrong on disk and keeps the rest.
    Result<InstallReport> fetched = FetchChain(id, stop, progress);
    if (!fetched) return Error{fetched.error()};

    // A copy of the right size with the wrong bytes is kept by the launch's
    // quick check, so the bad copies are made again here by name.
    const std::string& folder = settings_.game_folder;
    Result<ChainFileList> list = ListChainFiles(folder, id, settings_.host, settings_.rewriter);
    if (!list) return Error{list.error()};
    const Copies copies = CopiesOf(folder, list->asset_index_path);
    if (!copies.target.empty()) {
        const launch::LegacyAssets legacy(folder);
        std::unordered_set<std::string> bad_paths;
        for (const BadFile& bad : before->bad) bad_paths.insert(bad.path);
        for (const launch::AssetObject& object : copies.index.objects) {
            if (!bad_paths.count(RelativeTo(folder, copies.target + "/" + Joined(object.pieces)))) continue;
            if (Status copied =
                    platform::CopyFileBelow(legacy.ObjectPath(object.hash), object.size, copies.target, object.pieces);
                !copied) {
                return Error{copied.error()};
            }
        }
    }

    Result<VerifyReport> after = Check(id, stop, progress);
    if (!after) return Error{after.error()};
    if (!after->bad.empty()) return Error{std::string(kErrorStillBad) + after->bad.front().path};
    return before;
}

}  // namespace kestrel::install
