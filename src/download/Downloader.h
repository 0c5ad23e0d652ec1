#pragma once

// Downloader fetches a list of files into place, many at once, and checks
// each one while it streams in.
//
// - One libcurl multi handle drives every transfer of a job: connections are
//   reused between files, HTTP/2 is used where a server offers it (one
//   connection carries every transfer to that host), and otherwise several
//   HTTP/1.1 connections per host run side by side. At most parallelism
//   files are in flight at once.
// - Each file is written under "<final>.part" beside its final place (see
//   platform/PartialFile.h) while its SHA-1 and size are computed, and is
//   renamed to its final name only when both match, so a file under its final
//   name is always whole and right. A file already on disk with the right
//   SHA-1 (or, without one, the right size) is not fetched; the files on disk
//   are hashed on a few threads at once.
// - Failures are expected: a refused or reset connection, a body cut short,
//   HTTP 5xx and 429, a wrong hash or size, and a stall (no byte for
//   stall_ms) are tried again, up to tries times with a pause that doubles
//   each time, then once from the fallback (official) URL. HTTP 404 and the
//   other 4xx answers are not tried again at the same URL, but the fallback
//   still gets its try. Only then does the file fail; the other files go on,
//   and the job ends with a Chinese error naming the file and the cause.
// - Files larger than resume_above_bytes keep their partial bytes across a
//   cut or a stop and resume with a Range request; a server that ignores the
//   Range gets the whole file again.
// - A full disk ends the whole job at once with a clear message and removes
//   the partial files of every unfinished file.
// - A stop request ends every transfer at once (the loop is woken, no waiting
//   for a time-out): the job returns cancelled, and what was half-fetched
//   stays under its ".part" name, to be resumed or written afresh by the next
//   run.
// - Nothing is fsynced, file by file: the temporary name and the rename
//   keep every file whole across a crash, and after a power cut the launch's
//   check of the game files fetches again whatever the disk lost. Syncing
//   each of thousands of small asset files would cost more than the whole
//   download.
//
// Pauses between tries, the stall watch and the pace of progress reports all
// read the injected clock (a clock whose time stands still detects no stall).
//
// Threading: Run blocks the calling thread until the job ends and calls the
// progress callback on that same thread, at most once per
// progress_interval_ms and once more at the end. A Downloader holds only its
// options; separate Runs on different threads do not share anything.

#include <cstdint>
#include <functional>
#include <stop_token>
#include <string>
#include <vector>

#include "download/FileRequest.h"
#include "net/UrlRewriter.h"
#include "platform/Clock.h"

namespace kestrel::download {

struct DownloadOptions {
    int parallelism = 16;
    // Tries from the rewritten URL, the first one included.
    int tries = 3;
    // The pause after the first failed try; it doubles after each further one.
    std::int64_t first_pause_ms = 1000;
    // No byte for this long ends a try as stalled.
    std::int64_t stall_ms = 15000;
    std::int64_t connect_timeout_ms = 15000;
    // Files larger than this resume after a cut.
    std::uint64_t resume_above_bytes = std::uint64_t{4} << 20;
    std::int64_t progress_interval_ms = 100;
    // How many threads hash the files already on disk.
    int check_threads = 4;
    // A PEM file of trusted certificates; empty for the system's store.
    std::string ca_file;
    std::string user_agent = "Kestrel/2.0";
    net::UrlRewriter rewriter;
    // Null for the system clock.
    platform::Clock* clock = nullptr;
};

using ProgressCallback = std::function<void(const DownloadProgress&)>;

class Downloader {
public:
    explicit Downloader(DownloadOptions options = {}) : options_(std::move(options)) {}

    // Fetches every file of the list that is not already right on disk.
    // Two requests for the same path are one file (they must agree on the
    // SHA-1); a SHA-1 that is not 40 hexadecimal digits fails the job before
    // anything is fetched.
    DownloadOutcome Run(const std::vector<FileRequest>& files, std::stop_token stop,
                        const ProgressCallback& progress = {}) const;

    const DownloadOptions& options() const { return options_; }

private:
    DownloadOptions options_;
};

}  // namespace kestrel::download
