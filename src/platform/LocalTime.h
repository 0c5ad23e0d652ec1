#pragma once

// The wall-clock date and time in the machine's time zone, for names the
// player reads (the launch logs). Waits and durations never use it: they go
// through Clock.
//
// Threading: a free function; safe from any thread.

namespace kestrel::platform {

struct LocalDateTime {
    int year = 1970;
    int month = 1;  // 1..12
    int day = 1;    // 1..31
    int hour = 0;
    int minute = 0;
    int second = 0;
};

LocalDateTime LocalNow();

}  // namespace kestrel::platform
