#include "launch/LaunchPlan.h"

#include <charconv>

namespace kestrel::launch {

std::string LaunchWatermark(std::string_view setting) {
    return std::string(setting.empty() ? kLaunchWatermark : setting);
}

std::string WatermarkSettingAfterLaunch(std::string_view setting) {
    return setting == kLaunchWatermark ? std::string() : std::string(setting);
}

int DecimalOrZero(std::string_view text) {
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    int value = 0;
    const auto parsed = std::from_chars(text.data(), text.data() + text.size(), value);
    if (parsed.ec != std::errc() || parsed.ptr != text.data() + text.size()) return 0;
    return value;
}

}  // namespace kestrel::launch
