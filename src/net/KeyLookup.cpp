#include "net/KeyLookup.h"

namespace kestrel::net {

std::string KeyLookup(std::string_view text, std::string_view open, std::string_view close) {
    const std::size_t opened = text.find(open);
    if (opened == std::string_view::npos) return {};
    const std::size_t start = opened + open.size();
    const std::size_t closed = text.find(close, start);
    if (closed == std::string_view::npos) return {};
    return std::string(text.substr(start, closed - start));
}

}  // namespace kestrel::net
