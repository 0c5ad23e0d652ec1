#include "platform/PartialFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace kestrel::platform {

namespace {

bool OutOfRoom(int error) { return error == ENOSPC || error == EDQUOT || error == EFBIG; }

}  // namespace

Result<PartialFile> PartialFile::Open(const std::string& final_path, bool resume, bool* out_of_room) {
    if (out_of_room) *out_of_room = false;
    const std::string path = PathFor(final_path);
    const int flags = O_RDWR | O_CREAT | O_CLOEXEC | (resume ? 0 : O_TRUNC);
    const int fd = ::open(path.c_str(), flags, 0644);
    if (fd < 0) {
        const int error = errno;
        if (out_of_room) *out_of_room = OutOfRoom(error);
        return Error{"cannot create " + path + ": " + std::strerror(error)};
    }
    PartialFile file(final_path, fd);
    if (!resume) return file;
    // The bytes kept from an earlier transfer belong to the digest too.
    std::vector<char> buffer(std::size_t{1} << 17);
    for (;;) {
        const ssize_t got = ::read(fd, buffer.data(), buffer.size());
        if (got < 0) {
            if (errno == EINTR) continue;
            return Error{"cannot read " + path + ": " + std::strerror(errno)};
        }
        if (got == 0) break;
        file.sha1_.Update(std::string_view(buffer.data(), static_cast<std::size_t>(got)));
        file.size_ += static_cast<std::uint64_t>(got);
    }
    return file;
}

PartialFile::PartialFile(PartialFile&& other) noexcept
    : final_path_(std::move(other.final_path_)),
      fd_(other.fd_),
      size_(other.size_),
      sha1_(std::move(other.sha1_)),
      disk_full_(other.disk_full_) {
    other.fd_ = -1;
}

PartialFile& PartialFile::operator=(PartialFile&& other) noexcept {
    if (this != &other) {
        Close();
        final_path_ = std::move(other.final_path_);
        fd_ = other.fd_;
        size_ = other.size_;
        sha1_ = std::move(other.sha1_);
        disk_full_ = other.disk_full_;
        other.fd_ = -1;
    }
    return *this;
}

PartialFile::~PartialFile() { Close(); }

void PartialFile::Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

Status PartialFile::Append(std::string_view bytes) {
    if (fd_ < 0) return Error{"not open: " + partial_path()};
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd_, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            disk_full_ = OutOfRoom(errno);
            return Error{"cannot write " + partial_path() + ": " + std::strerror(errno)};
        }
        sha1_.Update(bytes.substr(0, static_cast<std::size_t>(written)));
        size_ += static_cast<std::uint64_t>(written);
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return {};
}

Status PartialFile::Restart() {
    if (fd_ < 0) return Error{"not open: " + partial_path()};
    if (::ftruncate(fd_, 0) != 0 || ::lseek(fd_, 0, SEEK_SET) != 0) {
        return Error{"cannot empty " + partial_path() + ": " + std::strerror(errno)};
    }
    size_ = 0;
    sha1_.Reset();
    return {};
}

PartialFile::CommitResult PartialFile::Commit(std::string_view sha1_hex, std::optional<std::uint64_t> size) {
    CommitResult result;
    result.size = size_;
    const std::string partial = partial_path();
    if (fd_ < 0) {
        result.error = "not open: " + partial;
        return result;
    }
    const auto digest = sha1_.Finish();
    if (digest) result.sha1_hex = Sha1Hex(*digest);
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) {
        disk_full_ = OutOfRoom(errno);
        result.error = "cannot write " + partial + ": " + std::strerror(errno);
    } else if (!digest) {
        result.error = "cannot hash " + partial;
    } else if (size && *size != size_) {
        result.verdict = Verdict::kWrongSize;
    } else if (!sha1_hex.empty() && !Sha1Matches(*digest, sha1_hex)) {
        result.verdict = Verdict::kWrongHash;
    } else if (::rename(partial.c_str(), final_path_.c_str()) != 0) {
        result.error = "cannot replace " + final_path_ + ": " + std::strerror(errno);
    } else {
        result.verdict = Verdict::kCommitted;
        return result;
    }
    ::unlink(partial.c_str());
    return result;
}

void PartialFile::Remove() {
    Close();
    if (!final_path_.empty()) ::unlink(partial_path().c_str());
}

}  // namespace kestrel::platform
