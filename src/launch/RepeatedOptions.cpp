#include "launch/RepeatedOptions.h"

#include <set>

namespace kestrel::launch {

std::string RemoveRepeatedOptions(std::string_view input) {
    std::string text(input);
    std::set<std::string, std::less<>> seen;
    std::size_t at = 0;
    while (at + 1 < text.size()) {
        if (text[at] != '-' || text[at + 1] != '-') {
            ++at;
            continue;
        }
        const std::size_t key_begin = at + 2;
        const std::size_t blank = text.find(' ', key_begin);
        const std::string key = text.substr(key_begin, blank == std::string::npos ? std::string::npos
                                                                                    : blank - key_begin);
        std::size_t end = text.size();
        if (blank != std::string::npos) {
            const std::size_t value_begin = blank + 1;
            if (value_begin < text.size() && text[value_begin] == '"') {
                const std::size_t closing = text.find('"', value_begin + 1);
                // The closing quote and the character after it belong to
                // the option.
                if (closing != std::string::npos) end = std::min(text.size(), closing + 2);
            } else {
                const std::size_t next = text.find("--", value_begin);
                if (next != std::string::npos) end = next;
            }
        }
        if (seen.insert(key).second) {
            ++at;
        } else {
            text.erase(at, end - at);
        }
    }
    return text;
}

}  // namespace kestrel::launch
