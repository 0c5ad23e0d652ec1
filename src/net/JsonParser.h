#pragma once

// JsonParser turns JSON text into a JsonValue. It reads standard JSON plus
// single-quoted strings, keeps every number's lexeme, validates UTF-8 inside
// strings, and refuses documents nested deeper than kMaxDepth so no document
// can exhaust the stack. A failure reports a code and the byte position at
// which parsing stopped.
//
// Threading: a parser is a short-lived local; no shared state.

#include <cstddef>
#include <string_view>

#include "net/JsonValue.h"

namespace kestrel::net {

// Failure codes of a parse.
enum JsonParseCode : int {
    kJsonOk = 0,
    kJsonEmpty = -2,        // empty text
    kJsonTooLarge = -3,     // out of memory, or nested beyond kMaxDepth
    kJsonOutOfPlace = -4,   // a bracket, brace, colon or comma out of place
    kJsonUnterminated = -5, // the text ended inside an object, array or string
    kJsonBadToken = -6,     // an invalid token, escape or UTF-8 sequence
};

struct JsonParseResult {
    int code = kJsonOk;
    std::size_t position = 0;  // 0-based byte offset
    bool ok() const { return code == kJsonOk; }
};

class JsonParser {
public:
    static constexpr int kMaxDepth = 512;

    // Parses the whole text (surrounding whitespace and one leading UTF-8
    // byte-order mark allowed) into out. A top-level null is a valid value
    // here; the document refuses it itself.
    static JsonParseResult Parse(std::string_view text, JsonValue& out);

private:
    explicit JsonParser(std::string_view text) : text_(text) {}

    bool ParseValue(JsonValue& out, int depth);
    bool ParseObject(JsonValue& out, int depth);
    bool ParseArray(JsonValue& out, int depth);
    bool ParseString(std::string& out);
    bool ParseEscape(std::string& out, char quote);
    bool ParseNumber(JsonValue& out);
    bool ParseWord(JsonValue& out);
    void SkipSpace();
    bool Fail(int code);
    bool AtEnd() const { return pos_ >= text_.size(); }

    std::string_view text_;
    std::size_t pos_ = 0;
    JsonParseResult result_;
};

}  // namespace kestrel::net
