#include "shell/ProgressAnimation.h"

#include "shell/GameStartWindow.h"

namespace kestrel::shell {

ProgressAnimation::ProgressAnimation(std::shared_ptr<toolkit::Surface> window, platform::Clock& clock, int from)
    : window_(std::move(window)), clock_(clock), value_(from) {}

void ProgressAnimation::Run(std::stop_token stop) {
    for (;;) {
        {
            std::lock_guard lock(mutex_);
            if (finished_ || value_ >= kLimit) return;
            ++value_;
            ShowStartProgress(*window_, value_);
        }
        if (!clock_.Sleep(kStepMs, stop)) return;
    }
}

void ProgressAnimation::Finish(int percent) {
    std::lock_guard lock(mutex_);
    finished_ = true;
    if (percent >= 0) ShowStartProgress(*window_, percent);
}

}  // namespace kestrel::shell
