#include "download/MissingFiles.h"

#include <filesystem>
#include <system_error>

namespace kestrel::download {
namespace {

bool Present(const FileRequest& file) {
    std::error_code error;
    const std::filesystem::path path(file.path);
    if (!std::filesystem::is_regular_file(path, error)) return false;
    if (!file.size) return true;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    return !error && size == *file.size;
}

}  // namespace

std::vector<FileRequest> MissingOrResized(const std::vector<FileRequest>& files, std::stop_token stop) {
    std::vector<FileRequest> missing;
    for (const FileRequest& file : files) {
        if (stop.stop_requested()) break;
        if (!Present(file)) missing.push_back(file);
    }
    return missing;
}

MissingOutcome FetchMissing(const FileLister& list, const Downloader& downloader, std::stop_token stop,
                            const MissingProgress& progress, const BeforeFetch& before_fetch, int max_rounds) {
    MissingOutcome outcome;
    for (int round = 1; round <= max_rounds; ++round) {
        const Result<FilesToCheck> files = list();
        if (!files.ok()) {
            outcome.status = Error{files.error()};
            outcome.list_failed = true;
            return outcome;
        }
        std::vector<FileRequest> missing = MissingOrResized(files->sized, stop);
        missing.insert(missing.end(), files->hashed.begin(), files->hashed.end());
        if (stop.stop_requested()) {
            outcome.cancelled = true;
            outcome.status = Error{"下载已取消"};
            return outcome;
        }
        if (missing.empty()) return outcome;
        if (round == 1 && before_fetch) {
            if (Status ready = before_fetch(); !ready.ok()) {
                outcome.status = ready;
                return outcome;
            }
        }
        const DownloadOutcome fetched = downloader.Run(missing, stop, [&](const DownloadProgress& p) {
            if (progress) progress(round, p);
        });
        outcome.files_fetched += fetched.files_fetched;
        if (!fetched.status.ok()) {
            outcome.status = fetched.status;
            outcome.cancelled = fetched.cancelled;
            return outcome;
        }
        // Nothing new came in, so the list cannot have grown.
        if (fetched.files_fetched == 0) return outcome;
    }
    return outcome;
}

}  // namespace kestrel::download
