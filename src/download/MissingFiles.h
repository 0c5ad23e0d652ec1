#pragma once

// MissingFiles is the quick check a launch makes of the game's files: a file
// of the list is missing when it is not on disk as a regular file, or when
// its size differs from the size the list gives. Nothing is hashed, so the
// check of a few thousand files takes milliseconds and a launch stays fast;
// a file of the right size with wrong bytes is left to `verify`.
//
// FetchMissing fetches what the check finds with a Downloader, and lists the
// files again after every fetch that brought something, because a fetched
// file may name further ones (an asset index names its objects). Files the
// list gives without a download location are the caller's to leave out.
//
// Threading: both block the calling thread; FetchMissing calls its progress
// callback on that thread (see Downloader.h).

#include <functional>
#include <stop_token>
#include <vector>

#include "download/Downloader.h"
#include "download/FileRequest.h"
#include "platform/Result.h"

namespace kestrel::download {

// The files of the list that are missing or have the wrong size, in order. A
// file without a size is missing only when it is not there.
std::vector<FileRequest> MissingOrResized(const std::vector<FileRequest>& files, std::stop_token stop = {});

// The files a launch needs. Those of `sized` are checked by existence and
// size; those of `hashed` go to the engine as they are, which hashes what is
// on disk (for the odd file whose wrong bytes would keep the list from
// growing, such as an asset index of the right size).
struct FilesToCheck {
    std::vector<FileRequest> sized;
    std::vector<FileRequest> hashed;
};

// Gives the current list of files; an error text when it cannot be made.
using FileLister = std::function<Result<FilesToCheck>()>;

// One fetch of missing files: which round (from 1), and the engine's progress.
using MissingProgress = std::function<void(int round, const DownloadProgress& progress)>;

struct MissingOutcome {
    // Success, the lister's error, or the engine's error text.
    Status status;
    bool cancelled = false;
    // The error is the lister's.
    bool list_failed = false;
    // Files fetched over every round.
    int files_fetched = 0;
};

// Runs once before the first fetch (to take a lock on the folder, say); an
// error ends FetchMissing with it before anything is fetched.
using BeforeFetch = std::function<Status()>;

// Lists, checks and fetches until the check finds nothing missing, the
// lister fails, a fetch fails or is stopped, or max_rounds fetches are done
// (a list that keeps naming new missing files must not loop for ever).
MissingOutcome FetchMissing(const FileLister& list, const Downloader& downloader, std::stop_token stop,
                            const MissingProgress& progress = {}, const BeforeFetch& before_fetch = {},
                            int max_rounds = 3);

}  // namespace kestrel::download
