#pragma once

// RandomSource is the one place random numbers come from, so tests can make
// every draw predictable. Between(lo, hi) returns a number in [lo, hi].
//
// TickRandom is the launcher's own draw: it reads a fast-moving counter (the
// processor's time-stamp counter where there is one) and feeds it through
// one step of the classic C runtime generator,
//   lo + ((((t * 214013 + 2531011) mod 2^32) >> 16) & 0x7FFF) mod (hi - lo + 1),
// which is what the offline access token has always been made of. The
// counter can be replaced for tests.
//
// ClockSeededRandom is a general-purpose source (slogans, backgrounds,
// tracks), a Mersenne Twister seeded from the clocks.
//
// Threading: TickRandom keeps no state besides its counter function and may be
// used from any thread when that function may. A ClockSeededRandom may be
// shared by every thread: its draws take turns under a lock (the launcher
// keeps one for all its windows and workers).

#include <cstdint>
#include <functional>
#include <mutex>
#include <random>

namespace kestrel::platform {

class RandomSource {
public:
    virtual ~RandomSource() = default;
    virtual std::uint32_t Between(std::uint32_t lo, std::uint32_t hi) = 0;
};

class TickRandom : public RandomSource {
public:
    // The time-stamp counter (or a nanosecond clock where the processor has
    // none).
    TickRandom();
    explicit TickRandom(std::function<std::uint64_t()> counter);

    std::uint32_t Between(std::uint32_t lo, std::uint32_t hi) override;

    // The draw itself, for a given counter value.
    static std::uint32_t Draw(std::uint64_t tick, std::uint32_t lo, std::uint32_t hi);

private:
    std::function<std::uint64_t()> counter_;
};

class ClockSeededRandom final : public RandomSource {
public:
    ClockSeededRandom();
    std::uint32_t Between(std::uint32_t lo, std::uint32_t hi) override;

private:
    std::mutex mutex_;
    std::mt19937_64 engine_;
};

}  // namespace kestrel::platform
