#include "launch/CommandLine.h"

namespace kestrel::launch {

std::string QuoteArgument(std::string_view value) {
    std::string quoted;
    quoted.reserve(value.size() + 2);
    quoted.push_back('"');
    std::size_t backslashes = 0;
    for (const char c : value) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        if (c == '"') {
            // n backslashes before a quote: 2n of them and an escaped quote.
            quoted.append(backslashes * 2 + 1, '\\');
        } else {
            quoted.append(backslashes, '\\');
        }
        backslashes = 0;
        quoted.push_back(c);
    }
    // Backslashes before the closing quote must not escape it.
    quoted.append(backslashes * 2, '\\');
    quoted.push_back('"');
    return quoted;
}

std::string QuoteIfNeeded(std::string_view value) {
    if (!value.empty() && value.find_first_of(" \t\"") == std::string_view::npos) return std::string(value);
    return QuoteArgument(value);
}

}  // namespace kestrel::launch
