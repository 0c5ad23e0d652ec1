#pragma once

// ProgressAnimation moves the game-start window's progress bar while the
// launch is being prepared: while the bar is below 80 it adds 1, shows the
// value with "%", and waits 20 ms. The launch worker ends it with Finish
// when the launch has succeeded or failed, and from then on no step of the
// animation reaches the window: the bar never falls back from 100 to a value
// of the animation.
//
// Threading: Run on a worker of its own; Finish from any other thread. The
// window writes of both go out under one lock, so they reach the window in
// the order they were made.

#include <memory>
#include <mutex>
#include <stop_token>

#include "platform/Clock.h"
#include "toolkit/Surface.h"

namespace kestrel::shell {

class ProgressAnimation {
public:
    static constexpr int kLimit = 80;
    static constexpr int kStepMs = 20;

    // Starts from the value the bar shows now.
    ProgressAnimation(std::shared_ptr<toolkit::Surface> window, platform::Clock& clock, int from);

    // The animation; returns at kLimit, after Finish, or on a stop request.
    void Run(std::stop_token stop);

    // Ends the animation; with percent >= 0 the bar then shows percent.
    void Finish(int percent = -1);

private:
    std::shared_ptr<toolkit::Surface> window_;
    platform::Clock& clock_;
    std::mutex mutex_;
    int value_;
    bool finished_ = false;
};

}  // namespace kestrel::shell
