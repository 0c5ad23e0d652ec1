#pragma once

// JsonPath reads the path texts that address a value inside a JSON document,
// such as "DisplayClaims.xui[0].uhs", "skins['default']" or "a\.b":
//   - a name runs up to ".", "[" or the end; "." only separates;
//   - "[" digits "]" is an index (of an array element, or of an object's
//     member in member order); it may open the path;
//   - "['" name "']" is a quoted name;
//   - inside a name a backslash makes the next character part of it.
// The empty path names the root. A malformed path (an empty name, an index
// that is not a decimal number, an unclosed bracket) names nothing.
//
// Threading: a cursor is a short-lived local; no shared state.

#include <cstddef>
#include <string>
#include <string_view>

namespace kestrel::net {

struct JsonPathSegment {
    bool is_index = false;
    std::size_t index = 0;
    std::string_view name;  // valid until the next call of Next
};

class JsonPathCursor {
public:
    explicit JsonPathCursor(std::string_view path) : path_(path) {}

    // Reads the next segment. Returns false at the end of the path and when
    // the path is malformed (then malformed() is true).
    bool Next(JsonPathSegment& segment);
    bool malformed() const { return malformed_; }

private:
    bool ReadName(JsonPathSegment& segment, bool quoted);
    bool Malformed() {
        malformed_ = true;
        return false;
    }

    std::string_view path_;
    std::size_t pos_ = 0;
    bool first_ = true;
    bool malformed_ = false;
    std::string scratch_;  // a name with escapes, unescaped
};

}  // namespace kestrel::net
