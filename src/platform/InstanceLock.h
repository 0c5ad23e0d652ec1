#pragma once

// InstanceLock makes one launcher the only one of its program folder: two
// launchers on one folder would both write its options file and the account
// cache, each over the other's changes. The first launcher holds an
// exclusive lock and listens on a local socket; a later one finds the lock
// taken, asks the holder through the socket to come to the front, and ends.
//
// Both live in the user's runtime folder ($XDG_RUNTIME_DIR, else a folder of
// the user's own under /tmp), named after the program folder's real path:
// the program folder itself may be read-only, and a socket's path must be
// short. The lock is the kernel's (flock), so a launcher that crashes
// leaves no stale lock behind; its socket file is replaced by the next
// holder. Neither descriptor is inherited by the game or the updater the
// launcher starts, which would otherwise keep the folder locked after the
// launcher has gone.
//
// The holder answers each request with one line (AnswerRequest); what the
// line says is the caller's business.
//
// Threading: an InstanceLock is used by one thread (the holder's user
// interface thread answers requests). AskHolder may run on any thread.

#include <string>
#include <string_view>

#include "platform/Result.h"

namespace kestrel::platform {

class InstanceLock {
public:
    // Tries once to take the lock of program_folder, with the lock file and
    // the socket in runtime_folder. held() tells whether this process got
    // it; an error when the lock file or the socket cannot be made.
    static Result<InstanceLock> TryAcquire(const std::string& program_folder, const std::string& runtime_folder);

    // A later launcher: connects to the holder of program_folder's lock and
    // returns the line it answers (without the line break). An error when
    // nobody listens or no answer came within patience_ms.
    static Result<std::string> AskHolder(const std::string& program_folder, const std::string& runtime_folder,
                                         int patience_ms);

    // $XDG_RUNTIME_DIR when it names a folder; else /tmp/kestrel-<uid>,
    // made with owner-only permissions (an error when it exists and is not
    // ours alone).
    static Result<std::string> UserRuntimeFolder();

    InstanceLock(InstanceLock&& other) noexcept;
    InstanceLock& operator=(InstanceLock&& other) noexcept;
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;
    // Lets the lock go (and removes the socket file when held).
    ~InstanceLock();

    bool held() const { return lock_fd_ >= 0; }
    // The listening socket: readable when a later launcher asks. -1 when
    // not held.
    int request_fd() const { return listen_fd_; }
    // Takes one waiting request, if any, and answers it with `line`. Never
    // blocks.
    void AnswerRequest(std::string_view line) const;

private:
    InstanceLock() = default;
    void Release();

    int lock_fd_ = -1;
    int listen_fd_ = -1;
    std::string socket_path_;
};

}  // namespace kestrel::platform
