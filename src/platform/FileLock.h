#pragma once

// FileLock is an exclusive lock on a file that other processes (and other
// lock objects of this process) respect: the launcher's window and
// kestrel-cli take one before they write the same folder. The lock belongs
// to the open file, so it ends when the object is destroyed or the process
// ends in any way, and a crash never leaves a stale lock behind; the file
// itself stays, empty.
//
// Threading: move-only; one owner at a time.

#include <string>

#include "platform/Result.h"

namespace kestrel::platform {

class FileLock {
public:
    // Takes the lock on path (created when missing) without waiting. An
    // error when another holder has it (busy is then true) or the file
    // cannot be opened.
    static Result<FileLock> TryTake(const std::string& path, bool& busy);

    FileLock(FileLock&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
    FileLock& operator=(FileLock&& other) noexcept;
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    ~FileLock();

private:
    explicit FileLock(int fd) : fd_(fd) {}
    int fd_ = -1;
};

// True when the descriptor is a terminal (a progress bar makes sense there).
bool IsTerminal(int fd);

}  // namespace kestrel::platform
