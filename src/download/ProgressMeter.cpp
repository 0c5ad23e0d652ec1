#include "download/ProgressMeter.h"

namespace kestrel::download {

double ProgressMeter::Speed(std::int64_t now, std::uint64_t received) {
    samples_.emplace_back(now, received);
    // Keep one sample at least a second old as the start of the window.
    while (samples_.size() > 2 && now - samples_[1].first >= 1000) samples_.pop_front();
    const auto& [start_ms, start_bytes] = samples_.front();
    if (now <= start_ms) return 0;
    return static_cast<double>(received - start_bytes) * 1000.0 / static_cast<double>(now - start_ms);
}

void ProgressMeter::Offer(DownloadProgress progress, std::uint64_t received) {
    if (!callback_) return;
    const std::int64_t now = clock_.NowMs();
    if (reported_ && now - last_ms_ < interval_ms_) return;
    progress.bytes_per_second = Speed(now, received);
    reported_ = true;
    last_ms_ = now;
    callback_(progress);
}

void ProgressMeter::Final(DownloadProgress progress, std::uint64_t received) {
    if (!callback_) return;
    const std::int64_t now = clock_.NowMs();
    progress.bytes_per_second = Speed(now, received);
    reported_ = true;
    last_ms_ = now;
    callback_(progress);
}

}  // namespace kestrel::download
