#pragma once

// The values a download job is made of and the ones it reports: which files
// to fetch, how the engine behaves, how far it has come and how it ended.
// They know files, URLs, hashes and bytes, nothing of what the files are for,
// so the installer, the launch's repair and a progress window can all speak
// them.
//
// Threading: plain values.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "net/RequestFailure.h"
#include "platform/Result.h"

namespace kestrel::download {

// One file to fetch.
struct FileRequest {
    // The file's official address, as the manifest gives it; the engine's
    // URL rewriter sends it to the chosen mirror.
    std::string url;
    // Where to fetch it when the rewritten url keeps failing: empty for url
    // itself. Only the endpoints' origin lines apply to it, not the mirror.
    std::string fallback_url;
    // The final path on disk; its folders are made as needed.
    std::string path;
    // 40 hexadecimal digits; empty when the manifest gives none (then only
    // the size, if any, is checked).
    std::string sha1;
    std::optional<std::uint64_t> size;
};

// How far a job has come. Files already on disk and right count as done.
struct DownloadProgress {
    int files_done = 0;
    int files_total = 0;
    std::uint64_t bytes_done = 0;
    // The sum of the known sizes, grown by the bytes of files whose size was
    // not known.
    std::uint64_t bytes_total = 0;
    // Over the last second or so.
    double bytes_per_second = 0;
};

// A file that could not be fetched, with the cause in Chinese.
struct FileFailure {
    std::string path;
    std::string url;
    std::string cause;
    net::FailureKind kind = net::FailureKind::kOther;
    long http_status = 0;
};

struct DownloadOutcome {
    // Success, or the Chinese error text for the player, naming the (first)
    // file that failed and why.
    Status status;
    // True when a stop request ended the job; status then says so too.
    bool cancelled = false;
    int files_fetched = 0;
    int files_present = 0;
    std::uint64_t bytes_fetched = 0;
    // Requests sent, tries and fallbacks included.
    int requests = 0;
    std::vector<FileFailure> failures;
};

}  // namespace kestrel::download
