#pragma once

// Descriptor owns one POSIX file descriptor and closes it when it goes out of
// scope, and the few descriptor-level helpers the file code shares: writing a
// whole buffer, a temporary name beside a final one, and opening the folders
// below a trusted folder without following a symbolic link.
//
// Threading: a Descriptor belongs to one thread at a time; the functions are
// safe from any thread.

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kestrel::platform {

class Descriptor {
public:
    explicit Descriptor(int fd = -1) : fd_(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() { reset(-1); }

    // Closes the descriptor held so far and holds fd instead.
    void reset(int fd);
    int get() const { return fd_; }
    // Hands the descriptor over to the caller, who closes it.
    int release() { return std::exchange(fd_, -1); }

private:
    int fd_;
};

// Writes every byte, going on after short writes and EINTR; false on an error
// (errno tells which).
bool WriteAll(int fd, std::string_view bytes);

// A name beside path that no other writer picks ("<path>.tmp<random>"), for
// the write-then-rename of files that must be whole under their final name.
std::string TemporaryNameBeside(const std::string& path);

// Opens the folders pieces[0..count) below root one by one, never following
// a link. With create, a missing folder is made and a link in the way is
// removed and a real folder made in its place; without it, either ends the
// walk. The new descriptor, or -1 (errno set).
int OpenFolderBelow(int root, const std::vector<std::string>& pieces, std::size_t count, bool create);

}  // namespace kestrel::platform
