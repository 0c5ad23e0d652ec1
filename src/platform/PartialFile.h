#pragma once

// PartialFile writes a download beside its final place under a fixed name,
// "<final>.part", so that a transfer cut short (a lost connection, a stop, a
// crash) can be picked up again by the next try or the next run: opening with
// resume keeps the bytes already there and hashes them, and the transfer asks
// only for the rest. The file reaches its final name only through Commit,
// which checks the size and SHA-1 of everything written and renames it into
// place, so a file under its final name is always whole and verified; a file
// that fails the check is removed.
//
// Nothing is fsynced: the rename alone keeps a file whole across a crash of
// the launcher, and after a power cut the launch's check of the game files
// finds and fetches again what the disk lost.
//
// One writer per final name: the name is fixed, so two writers of the same
// file at once would mix their bytes (the installer takes a lock on the game
// folder to rule that out).
//
// Threading: one thread uses a PartialFile at a time; it may move between
// threads.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Result.h"
#include "platform/Sha1.h"

namespace kestrel::platform {

class PartialFile {
public:
    // The fixed name of the partial file of a final path.
    static std::string PathFor(const std::string& final_path) { return final_path + ".part"; }

    // Opens the partial file of final_path (its folder must exist). With
    // resume, the bytes already in it are kept and hashed; otherwise it starts
    // empty. out_of_room, when given, tells whether a failure was for want
    // of room on the disk.
    static Result<PartialFile> Open(const std::string& final_path, bool resume, bool* out_of_room = nullptr);

    PartialFile(PartialFile&& other) noexcept;
    PartialFile& operator=(PartialFile&& other) noexcept;
    PartialFile(const PartialFile&) = delete;
    PartialFile& operator=(const PartialFile&) = delete;
    // Closes the file and leaves it where it is, for a later resume.
    ~PartialFile();

    Status Append(std::string_view bytes);
    // Empties the file and the digest, for a transfer that starts over.
    Status Restart();
    std::uint64_t size() const { return size_; }
    // True when the last failed write or close ran out of room (a full disk,
    // a quota, a file size limit).
    bool disk_full() const { return disk_full_; }
    const std::string& final_path() const { return final_path_; }
    std::string partial_path() const { return PathFor(final_path_); }

    enum class Verdict { kCommitted, kWrongSize, kWrongHash, kFailed };
    struct CommitResult {
        Verdict verdict = Verdict::kFailed;
        // What was written (for the error texts of a mismatch).
        std::string sha1_hex;
        std::uint64_t size = 0;
        // The system's reason when the verdict is kFailed.
        std::string error;
    };
    // Checks what was written against the expected SHA-1 (empty: not checked)
    // and size (none: not checked). On a match the file is closed and renamed
    // to the final name, replacing what was there; on a mismatch or a failure
    // the partial file is removed. The PartialFile is spent afterwards.
    CommitResult Commit(std::string_view sha1_hex, std::optional<std::uint64_t> size);

    // Closes and removes the partial file.
    void Remove();

private:
    PartialFile(std::string final_path, int fd) : final_path_(std::move(final_path)), fd_(fd) {}
    void Close();

    std::string final_path_;
    int fd_ = -1;
    std::uint64_t size_ = 0;
    Sha1 sha1_;
    bool disk_full_ = false;
};

}  // namespace kestrel::platform
