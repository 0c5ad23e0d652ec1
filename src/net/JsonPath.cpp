#include "net/JsonPath.h"

namespace kestrel::net {

bool JsonPathCursor::Next(JsonPathSegment& segment) {
    if (malformed_ || pos_ >= path_.size()) return false;
    const bool first = first_;
    first_ = false;
    char c = path_[pos_];
    if (c == '.') {
        // "." separates; it may not open the path nor stand before "[".
        if (first) return Malformed();
        ++pos_;
        if (pos_ >= path_.size() || path_[pos_] == '.' || path_[pos_] == '[') return Malformed();
        return ReadName(segment, false);
    }
    if (c == '[') {
        if (pos_ + 1 < path_.size() && path_[pos_ + 1] == '\'') {
            pos_ += 2;
            return ReadName(segment, true);
        }
        ++pos_;
        const std::size_t start = pos_;
        std::size_t value = 0;
        while (pos_ < path_.size() && path_[pos_] >= '0' && path_[pos_] <= '9') {
            if (value > (static_cast<std::size_t>(-1) - 9) / 10) return Malformed();
            value = value * 10 + static_cast<std::size_t>(path_[pos_] - '0');
            ++pos_;
        }
        if (pos_ == start || pos_ >= path_.size() || path_[pos_] != ']') return Malformed();
        ++pos_;
        segment.is_index = true;
        segment.index = value;
        segment.name = {};
        return true;
    }
    // A plain name directly after an index or a quoted name needs its ".".
    if (!first) return Malformed();
    return ReadName(segment, false);
}

bool JsonPathCursor::ReadName(JsonPathSegment& segment, bool quoted) {
    const std::size_t start = pos_;
    bool escaped = false;
    while (pos_ < path_.size()) {
        const char c = path_[pos_];
        if (c == '\\' && pos_ + 1 < path_.size()) {
            escaped = true;
            pos_ += 2;
            continue;
        }
        if (quoted ? (c == '\'' && pos_ + 1 < path_.size() && path_[pos_ + 1] == ']') : (c == '.' || c == '[')) break;
        ++pos_;
    }
    if (quoted && pos_ >= path_.size()) return Malformed();
    std::string_view raw = path_.substr(start, pos_ - start);
    if (quoted) pos_ += 2;  // "']"
    if (!quoted && raw.empty()) return Malformed();
    if (escaped) {
        scratch_.clear();
        for (std::size_t i = 0; i < raw.size(); ++i) {
            if (raw[i] == '\\' && i + 1 < raw.size()) ++i;
            scratch_.push_back(raw[i]);
        }
        raw = scratch_;
    }
    segment.is_index = false;
    segment.index = 0;
    segment.name = raw;
    return true;
}

}  // namespace kestrel::net
