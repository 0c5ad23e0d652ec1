#pragma once

// RandomSource is the one place random draws come from (slogans, and later
// backgrounds, tracks and tokens), so tests can hand the code a source that
// draws what they want. ClockSeededRandom is the real one, seeded from the
// clock the way the launcher always seeded its draws.
//
// Threading: a source is used by one thread at a time; give each worker its
// own.

#include <chrono>
#include <cstdint>
#include <random>

namespace kestrel::platform {

class RandomSource {
public:
    virtual ~RandomSource() = default;
    // A whole number from low to high, both included (low <= high).
    virtual std::uint64_t Between(std::uint64_t low, std::uint64_t high) = 0;
};

class ClockSeededRandom final : public RandomSource {
public:
    ClockSeededRandom()
        : engine_(static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
                  static_cast<std::uint64_t>(std::chrono::system_clock::now().time_since_epoch().count())) {}

    std::uint64_t Between(std::uint64_t low, std::uint64_t high) override {
        return std::uniform_int_distribution<std::uint64_t>(low, high)(engine_);
    }

private:
    std::mt19937_64 engine_;
};

}  // namespace kestrel::platform
