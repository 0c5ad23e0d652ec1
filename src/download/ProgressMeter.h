#pragma once

// ProgressMeter paces the progress reports of a job: it passes a report on
// to the callback only when the interval has passed since the last one (the
// last report of a job always goes through), and it works out the speed from
// the bytes received over about the last second.
//
// Threading: used by the one thread that runs the job; it calls the callback
// on that thread.

#include <cstdint>
#include <deque>
#include <utility>

#include "download/Downloader.h"

namespace kestrel::download {

class ProgressMeter {
public:
    ProgressMeter(const platform::Clock& clock, std::int64_t interval_ms, const ProgressCallback& callback)
        : clock_(clock), interval_ms_(interval_ms), callback_(callback) {}

    // received: every byte that came in over the network so far.
    void Offer(DownloadProgress progress, std::uint64_t received);
    void Final(DownloadProgress progress, std::uint64_t received);

private:
    double Speed(std::int64_t now, std::uint64_t received);

    const platform::Clock& clock_;
    std::int64_t interval_ms_;
    const ProgressCallback& callback_;
    bool reported_ = false;
    std::int64_t last_ms_ = 0;
    std::deque<std::pair<std::int64_t, std::uint64_t>> samples_;
};

}  // namespace kestrel::download
