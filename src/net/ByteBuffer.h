#pragma once

// ByteBuffer is the growable buffer a transfer receives its body and header
// bytes into (and could feed an upload from). It starts with room for 512
// bytes; an append that does not fit reallocates to twice the length it
// needs and copies the old content first, so a body of n bytes costs
// O(log n) reallocations. Its content may hold NUL bytes.
//
// A buffer refuses to grow beyond its limit (256 MiB unless set otherwise),
// so a hostile or broken server cannot make the launcher allocate without
// bound: the transfer then stops, as it does when memory runs out.
//
// Threading: used by the thread that runs its transfer only.

#include <cstddef>
#include <memory>
#include <string_view>

namespace kestrel::net {

class ByteBuffer {
public:
    static constexpr std::size_t kInitialCapacity = 512;
    static constexpr std::size_t kDefaultLimit = std::size_t{256} << 20;

    ByteBuffer();

    // Appends the bytes; false (and nothing changed) when the buffer cannot
    // grow that far.
    bool Append(const char* bytes, std::size_t count);

    // Copies up to count bytes from the read position into out and advances
    // the position; 0 once everything has been read.
    std::size_t Read(char* out, std::size_t count);

    void SetLimit(std::size_t limit) { limit_ = limit; }
    void Clear();

    std::string_view View() const { return {data_.get(), length_}; }
    std::size_t size() const { return length_; }
    std::size_t capacity() const { return capacity_; }

private:
    std::unique_ptr<char[]> data_;
    std::size_t capacity_ = 0;
    std::size_t length_ = 0;
    std::size_t read_position_ = 0;
    std::size_t limit_ = kDefaultLimit;
};

}  // namespace kestrel::net
