#pragma once

// StopLater requests a stop on the given source from a thread of its own once
// a moment has passed on the system clock, for tests of a wait that must end
// when it is stopped from elsewhere. The tests never depend on the moment's
// length: it only makes the stop land while the step under test waits. The
// destructor cancels a stop not yet requested and joins the thread.

#include <cstdint>
#include <stop_token>
#include <thread>

#include "platform/Clock.h"

namespace kestrel::testing {

class StopLater {
public:
    StopLater(std::stop_source source, std::int64_t ms)
        : thread_([source, ms](std::stop_token own) mutable {
              if (platform::SystemClock().Sleep(ms, own)) source.request_stop();
          }) {}

private:
    std::jthread thread_;
};

}  // namespace kestrel::testing
