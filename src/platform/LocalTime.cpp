#include "platform/LocalTime.h"

#include <time.h>

namespace kestrel::platform {

LocalDateTime LocalNow() {
    const time_t now = ::time(nullptr);
    struct tm parts{};
    // localtime_r, unlike localtime, shares no buffer between threads.
    if (::localtime_r(&now, &parts) == nullptr) return {};
    return {parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday, parts.tm_hour, parts.tm_min, parts.tm_sec};
}

}  // namespace kestrel::platform
