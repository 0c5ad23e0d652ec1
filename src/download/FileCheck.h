#pragma once

// FileCheck tells which files of a job are already right on disk, so that a
// second run of a complete job fetches nothing. A file is right when it is a
// regular file of the expected size (where one is given) and SHA-1 (where
// one is given); a file for which neither is known is never taken as right.
// The sizes are compared first, so only files of the right size are hashed,
// and the hashing runs on several threads.
//
// Threading: CheckFilesOnDisk blocks the calling thread, which works through
// the files too and is the only one that calls on_checked.

#include <cstddef>
#include <functional>
#include <stop_token>
#include <vector>

#include "download/FileRequest.h"

namespace kestrel::download {

enum class OnDisk { kMissing, kWrong, kRight };

// One verdict per file, in order. on_checked(n) is called now and then with
// the number of files checked so far. A stop request ends the checks early;
// the files not checked read as kMissing.
std::vector<OnDisk> CheckFilesOnDisk(const std::vector<const FileRequest*>& files, int threads,
                                     std::stop_token stop,
                                     const std::function<void(std::size_t)>& on_checked = {});

// The verdict for one file.
OnDisk CheckFileOnDisk(const FileRequest& file, std::stop_token stop = {});

}  // namespace kestrel::download
