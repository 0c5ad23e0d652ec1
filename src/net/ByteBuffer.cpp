#include "net/ByteBuffer.h"

#include <cstring>
#include <new>

namespace kestrel::net {

ByteBuffer::ByteBuffer()
    : data_(new (std::nothrow) char[kInitialCapacity]), capacity_(data_ ? kInitialCapacity : 0) {}

bool ByteBuffer::Append(const char* bytes, std::size_t count) {
    if (count == 0) return true;
    if (count > limit_ || length_ > limit_ - count) return false;
    const std::size_t needed = length_ + count;
    if (needed > capacity_) {
        // Twice what is needed, but never past the limit: the last growth
        // step may be smaller than a doubling.
        const std::size_t grown = needed > limit_ / 2 ? limit_ : needed * 2;
        std::unique_ptr<char[]> larger(new (std::nothrow) char[grown]);
        if (!larger) return false;
        if (length_ != 0) std::memcpy(larger.get(), data_.get(), length_);
        data_ = std::move(larger);
        capacity_ = grown;
    }
    std::memcpy(data_.get() + length_, bytes, count);
    length_ = needed;
    return true;
}

std::size_t ByteBuffer::Read(char* out, std::size_t count) {
    const std::size_t available = length_ - read_position_;
    const std::size_t copied = count < available ? count : available;
    if (copied != 0) std::memcpy(out, data_.get() + read_position_, copied);
    read_position_ += copied;
    return copied;
}

void ByteBuffer::Clear() {
    length_ = 0;
    read_position_ = 0;
}

}  // namespace kestrel::net
