#include "platform/Clock.h"

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace kestrel::platform {

bool SystemClock::Sleep(std::int64_t ms, std::stop_token stop) {
    if (ms <= 0) return !stop.stop_requested();
    // A condition variable that listens to the stop token wakes the sleeper at
    // once when a stop is requested; nothing ever notifies it otherwise.
    std::mutex mutex;
    std::condition_variable_any wake;
    std::unique_lock lock(mutex);
    bool stopped = wake.wait_for(lock, stop, std::chrono::milliseconds(ms), [] { return false; });
    (void)stopped;
    return !stop.stop_requested();
}

std::int64_t SystemClock::NowMs() const {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace kestrel::platform
