#pragma once

// FakeClock is a Clock for tests: Sleep returns at once and advances the
// clock's own time by the sleep's length, and every sleep is recorded, so a
// test of a 9 s wait takes no time and can check the waits that were made.
// A stop request still ends a sleep without advancing the time.
//
// Optionally a test may hold sleeps: with Hold(true) a Sleep blocks until the
// test calls Hold(false) or the sleeper's stop token is requested, which lets
// a test act "during" a wait (cancel during the polling, for instance).
//
// Threading: every method may be called from any thread.

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <stop_token>
#include <vector>

#include "platform/Clock.h"

namespace kestrel::testing {

class FakeClock final : public platform::Clock {
public:
    bool Sleep(std::int64_t ms, std::stop_token stop) override {
        std::unique_lock lock(mutex_);
        sleeps_.push_back(ms);
        ++waiting_;
        changed_.notify_all();
        changed_.wait(lock, stop, [this] { return !hold_; });
        --waiting_;
        if (stop.stop_requested()) return false;
        now_ += ms;
        return true;
    }
    std::int64_t NowMs() const override {
        std::lock_guard lock(mutex_);
        return now_;
    }

    std::vector<std::int64_t> Sleeps() const {
        std::lock_guard lock(mutex_);
        return sleeps_;
    }
    void Hold(bool hold) {
        std::lock_guard lock(mutex_);
        hold_ = hold;
        changed_.notify_all();
    }
    // Waits until at least n sleepers are blocked in a held Sleep.
    void WaitForSleepers(int n) {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return waiting_ >= n; });
    }

private:
    mutable std::mutex mutex_;
    std::condition_variable_any changed_;
    std::vector<std::int64_t> sleeps_;
    std::int64_t now_ = 0;
    int waiting_ = 0;
    bool hold_ = false;
};

}  // namespace kestrel::testing
