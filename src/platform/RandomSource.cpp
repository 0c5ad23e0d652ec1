#include "platform/RandomSource.h"

#include <chrono>

#if defined(__x86_64__) || defined(__i386__)
#include <x86intrin.h>
#endif

namespace kestrel::platform {

namespace {

std::uint64_t ReadTick() {
#if defined(__x86_64__) || defined(__i386__)
    return __rdtsc();
#else
    return static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
#endif
}

}  // namespace

TickRandom::TickRandom() : counter_(ReadTick) {}

TickRandom::TickRandom(std::function<std::uint64_t()> counter) : counter_(std::move(counter)) {}

std::uint32_t TickRandom::Between(std::uint32_t lo, std::uint32_t hi) { return Draw(counter_(), lo, hi); }

std::uint32_t TickRandom::Draw(std::uint64_t tick, std::uint32_t lo, std::uint32_t hi) {
    if (hi < lo) return lo;
    const std::uint32_t state = static_cast<std::uint32_t>(tick) * 214013u + 2531011u;
    const std::uint32_t value = (state >> 16) & 0x7FFFu;
    const std::uint32_t span = hi - lo + 1;  // 0 when the range is all 2^32 numbers
    return span == 0 ? lo + value : lo + value % span;
}

ClockSeededRandom::ClockSeededRandom()
    : engine_(static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
              static_cast<std::uint64_t>(std::chrono::system_clock::now().time_since_epoch().count())) {}

std::uint32_t ClockSeededRandom::Between(std::uint32_t lo, std::uint32_t hi) {
    std::lock_guard lock(mutex_);
    return std::uniform_int_distribution<std::uint32_t>(lo, hi)(engine_);
}

}  // namespace kestrel::platform
