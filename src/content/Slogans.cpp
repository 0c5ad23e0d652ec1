#include "content/Slogans.h"

namespace kestrel::content {

std::vector<std::string> SplitSlogans(std::string_view titlelist) {
    std::vector<std::string> slogans;
    std::size_t start = 0;
    while (start < titlelist.size()) {
        std::size_t end = titlelist.find('\n', start);
        if (end == std::string_view::npos) end = titlelist.size();
        std::string_view line = titlelist.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (!line.empty()) slogans.emplace_back(line);
    }
    return slogans;
}

std::string PickSlogan(const std::vector<std::string>& slogans, platform::RandomSource& random) {
    if (slogans.empty()) return std::string(kFallbackSlogan);
    std::uint64_t n = random.Between(1, static_cast<std::uint32_t>(slogans.size()));
    // A source that draws outside the range must not reach past the list.
    if (n < 1 || n > slogans.size()) n = 1 + n % slogans.size();
    return slogans[static_cast<std::size_t>(n - 1)];
}

}  // namespace kestrel::content
