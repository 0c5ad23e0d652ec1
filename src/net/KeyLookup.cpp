#include "net/KeyLookup.h"

namespace kestrel::net {

std::string KeyLookup(std::string_view text, std::string_view opening, std::string_view closing) {
    const std::size_t open = text.find(opening);
    if (open == std::string_view::npos) return {};
    const std::size_t start = open + opening.size();
    const std::size_t close = text.find(closing, start);
    if (close == std::string_view::npos) return {};
    return std::string(text.substr(start, close - start));
}

}  // namespace kestrel::net
