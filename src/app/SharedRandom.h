#pragma once

// SharedRandom is the launcher's one random source for all its threads: the
// clock-seeded generator behind a lock, since the background, the music loop
// and the slogans draw from different workers at once.
//
// Threading: any thread.

#include <mutex>

#include "platform/RandomSource.h"

namespace kestrel::app {

class SharedRandom final : public platform::RandomSource {
public:
    std::uint32_t Between(std::uint32_t lo, std::uint32_t hi) override {
        std::lock_guard lock(mutex_);
        return engine_.Between(lo, hi);
    }

private:
    std::mutex mutex_;
    platform::ClockSeededRandom engine_;
};

}  // namespace kestrel::app
