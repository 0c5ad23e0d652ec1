#pragma once

// Clock is the one place the launcher waits and reads the time, so tests of
// a 9 s or 10 s wait take microseconds and a cancel or shutdown never waits
// for a sleep to run out.
//
// Sleep(ms, stop) waits ms milliseconds or until stop is requested, whichever
// comes first, and tells which: true when the whole time passed, false when
// it was cut short by the stop request.
//
// Threading: SystemClock keeps no state and may be used from any thread at
// once. Test clocks document their own contract.

#include <cstdint>
#include <stop_token>

namespace kestrel::platform {

class Clock {
public:
    virtual ~Clock() = default;
    virtual bool Sleep(std::int64_t ms, std::stop_token stop) = 0;
    // Milliseconds on a steady clock (not the wall time).
    virtual std::int64_t NowMs() const = 0;
};

class SystemClock final : public Clock {
public:
    bool Sleep(std::int64_t ms, std::stop_token stop) override;
    std::int64_t NowMs() const override;
};

}  // namespace kestrel::platform
