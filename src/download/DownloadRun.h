#pragma once

// DownloadRun is one run of a Downloader job: the list of files still to
// fetch, the libcurl multi handle that drives their transfers, the queue of
// files waiting for their next try, and the counts the outcome and the
// progress reports are made from. Downloader::Run makes one, runs it and
// throws it away; see Downloader.h for the behaviour.
//
// Threading: one thread makes, runs and destroys a run; only the stop token
// is touched from another thread (its callback wakes the multi handle).

#include <curl/curl.h>

#include <cstdint>
#include <deque>
#include <optional>
#include <stop_token>
#include <string>
#include <unordered_set>
#include <vector>

#include "download/Downloader.h"
#include "download/ProgressMeter.h"
#include "platform/PartialFile.h"

namespace kestrel::download {

class DownloadRun {
public:
    DownloadRun(const DownloadOptions& options, platform::Clock& clock, std::stop_token stop,
                const ProgressCallback& progress);
    ~DownloadRun();
    DownloadRun(const DownloadRun&) = delete;
    DownloadRun& operator=(const DownloadRun&) = delete;

    DownloadOutcome Run(const std::vector<FileRequest>& files);

private:
    enum class Problem { kNone, kTooLong, kWrite, kDiskFull, kUnexpectedStatus };

    struct Task {
        DownloadRun* run = nullptr;
        const FileRequest* file = nullptr;
        std::string primary;
        // Empty when there is no other place to fetch it from.
        std::string fallback;
        bool resumable = false;
        int tries = 0;
        bool on_fallback = false;
        // The next try starts from the first byte, whatever is kept.
        bool fresh_next = false;
        std::int64_t not_before = 0;
        std::optional<platform::PartialFile> partial;
        CURL* handle = nullptr;
        std::string range;
        std::uint64_t range_from = 0;
        bool saw_status = false;
        Problem problem = Problem::kNone;
        std::string problem_detail;
        std::int64_t last_byte_ms = 0;
        bool finished = false;
    };

    // Checks the list and makes the tasks; an error text for a bad list.
    Status Prepare(const std::vector<FileRequest>& files);
    void CheckDisk();
    Status MakeMulti();
    void Loop();

    void Start(Task& task);
    CURL* TakeHandle();
    void ReleaseHandle(Task& task);
    void OnDone(Task& task, CURLcode code);
    void OnStalled(Task& task);
    // Another try, the fallback, or the end of the file.
    void TryAgain(Task& task, std::string cause, net::FailureKind kind, long status, bool retryable);
    void Succeeded(Task& task);
    void Failed(Task& task, std::string cause, net::FailureKind kind, long status);
    void DiskFull(Task& task);
    // Ends every transfer; with remove, their partial files go too.
    void EndAll(bool remove);
    bool MakeFolderFor(const std::string& path, bool& out_of_room);

    DownloadProgress Snapshot() const;
    void Report(bool final);

    static std::size_t OnWrite(char* data, std::size_t size, std::size_t count, void* self);
    std::size_t Write(Task& task, const char* data, std::size_t bytes);

    const DownloadOptions& options_;
    platform::Clock& clock_;
    std::stop_token stop_;
    ProgressMeter meter_;

    std::vector<FileRequest> unique_;
    std::vector<Task> tasks_;
    std::deque<Task*> ready_;
    std::vector<Task*> waiting_;
    std::vector<Task*> active_;
    std::vector<CURL*> idle_handles_;
    std::unordered_set<std::string> folders_made_;
    CURLM* multi_ = nullptr;

    DownloadOutcome outcome_;
    std::string disk_full_error_;
    std::uint64_t received_ = 0;
    std::uint64_t bytes_done_ = 0;
    std::uint64_t known_total_ = 0;
    std::uint64_t unknown_done_ = 0;
};

}  // namespace kestrel::download
