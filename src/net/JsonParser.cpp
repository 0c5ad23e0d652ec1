#include "net/JsonParser.h"

#include <array>
#include <new>

#include "platform/Utf8.h"

namespace kestrel::net {

namespace {

// Bytes that may be copied as they are inside a string: printable ASCII other
// than the quotes and the backslash.
constexpr std::array<bool, 256> kPlainStringByte = [] {
    std::array<bool, 256> table{};
    for (int c = 0x20; c < 0x80; ++c) table[c] = true;
    table['"'] = table['\''] = table['\\'] = false;
    return table;
}();

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

JsonParseResult JsonParser::Parse(std::string_view text, JsonValue& out) {
    JsonParser parser(text);
    if (text.empty()) {
        parser.Fail(kJsonEmpty);
        return parser.result_;
    }
    try {
        if (text.substr(0, 3) == "\xEF\xBB\xBF") parser.pos_ = 3;
        JsonValue value;
        parser.SkipSpace();
        if (parser.AtEnd()) {
            parser.Fail(kJsonUnterminated);
        } else if (parser.ParseValue(value, 0)) {
            parser.SkipSpace();
            if (!parser.AtEnd()) {
                parser.Fail(kJsonOutOfPlace);
            } else {
                out = std::move(value);
            }
        }
    } catch (const std::bad_alloc&) {
        parser.Fail(kJsonTooLarge);
    }
    return parser.result_;
}

bool JsonParser::Fail(int code) {
    if (result_.code == kJsonOk) {
        result_.code = code;
        result_.position = pos_;
    }
    return false;
}

void JsonParser::SkipSpace() {
    while (pos_ < text_.size()) {
        const char c = text_[pos_];
        if (c != ' ' && c != '\t' && c != '\r' && c != '\n') break;
        ++pos_;
    }
}

bool JsonParser::ParseValue(JsonValue& out, int depth) {
    if (AtEnd()) return Fail(kJsonUnterminated);
    const char c = text_[pos_];
    switch (c) {
        case '{':
            return ParseObject(out, depth + 1);
        case '[':
            return ParseArray(out, depth + 1);
        case '"':
        case '\'': {
            std::string text;
            if (!ParseString(text)) return false;
            out = JsonValue::String(std::move(text));
            return true;
        }
        case ']':
        case '}':
        case ',':
        case ':':
            return Fail(kJsonOutOfPlace);
        default:
            if (c == '-' || IsDigit(c)) return ParseNumber(out);
            return ParseWord(out);
    }
}

bool JsonParser::ParseObject(JsonValue& out, int depth) {
    if (depth > kMaxDepth) return Fail(kJsonTooLarge);
    ++pos_;  // '{'
    JsonValue object = JsonValue::Object();
    SkipSpace();
    if (AtEnd()) return Fail(kJsonUnterminated);
    if (text_[pos_] == '}') {
        ++pos_;
        out = std::move(object);
        return true;
    }
    for (;;) {
        SkipSpace();
        if (AtEnd()) return Fail(kJsonUnterminated);
        const char c = text_[pos_];
        if (c != '"' && c != '\'') {
            return Fail(c == '{' || c == '[' || c == '}' || c == ']' || c == ',' || c == ':' ? kJsonOutOfPlace
                                                                                          : kJsonBadToken);
        }
        std::string name;
        if (!ParseString(name)) return false;
        SkipSpace();
        if (AtEnd()) return Fail(kJsonUnterminated);
        if (text_[pos_] != ':') return Fail(kJsonOutOfPlace);
        ++pos_;
        SkipSpace();
        JsonValue value;
        if (!ParseValue(value, depth)) return false;
        object.AppendMember(std::move(name), std::move(value));
        SkipSpace();
        if (AtEnd()) return Fail(kJsonUnterminated);
        if (text_[pos_] == ',') {
            ++pos_;
            continue;
        }
        if (text_[pos_] == '}') {
            ++pos_;
            object.FinishParsedObject();
            out = std::move(object);
            return true;
        }
        return Fail(kJsonOutOfPlace);
    }
}

bool JsonParser::ParseArray(JsonValue& out, int depth) {
    if (depth > kMaxDepth) return Fail(kJsonTooLarge);
    ++pos_;  // '['
    JsonValue array = JsonValue::Array();
    SkipSpace();
    if (AtEnd()) return Fail(kJsonUnterminated);
    if (text_[pos_] == ']') {
        ++pos_;
        out = std::move(array);
        return true;
    }
    for (;;) {
        SkipSpace();
        JsonValue element;
        if (!ParseValue(element, depth)) return false;
        array.Append(std::move(element));
        SkipSpace();
        if (AtEnd()) return Fail(kJsonUnterminated);
        if (text_[pos_] == ',') {
            ++pos_;
            continue;
        }
        if (text_[pos_] == ']') {
            ++pos_;
            out = std::move(array);
            return true;
        }
        return Fail(kJsonOutOfPlace);
    }
}

bool JsonParser::ParseString(std::string& out) {
    const char quote = text_[pos_++];
    std::size_t run = pos_;  // start of the bytes not yet copied
    while (pos_ < text_.size()) {
        const unsigned char c = static_cast<unsigned char>(text_[pos_]);
        if (kPlainStringByte[c]) {
            ++pos_;
            continue;
        }
        if (c == static_cast<unsigned char>(quote)) {
            out.append(text_.substr(run, pos_ - run));
            ++pos_;
            return true;
        }
        if (c == '"' || c == '\'') {  // the other quote is plain inside
            ++pos_;
            continue;
        }
        if (c == '\\') {
            out.append(text_.substr(run, pos_ - run));
            if (!ParseEscape(out, quote)) return false;
            run = pos_;
            continue;
        }
        if (c < 0x20) return Fail(kJsonBadToken);
        const std::size_t start = pos_;
        if (platform::NextUtf8(text_, pos_) == platform::kInvalidCodePoint) {
            // A truncated sequence at the very end is an unterminated string.
            if (pos_ >= text_.size()) return Fail(kJsonUnterminated);
            pos_ = start;
            return Fail(kJsonBadToken);
        }
    }
    return Fail(kJsonUnterminated);
}

bool JsonParser::ParseEscape(std::string& out, char quote) {
    ++pos_;  // '\'
    if (AtEnd()) return Fail(kJsonUnterminated);
    const char c = text_[pos_++];
    switch (c) {
        case '"': out.push_back('"'); return true;
        case '\\': out.push_back('\\'); return true;
        case '/': out.push_back('/'); return true;
        case 'b': out.push_back('\b'); return true;
        case 'f': out.push_back('\f'); return true;
        case 'n': out.push_back('\n'); return true;
        case 'r': out.push_back('\r'); return true;
        case 't': out.push_back('\t'); return true;
        case 'u': break;
        default:
            // Inside a single-quoted string an escaped apostrophe is the only
            // way to write one.
            if (c == '\'' && quote == '\'') {
                out.push_back('\'');
                return true;
            }
            --pos_;
            return Fail(kJsonBadToken);
    }
    const auto read_unit = [&](char32_t& unit) {
        if (pos_ + 4 > text_.size()) {
            pos_ = text_.size();
            return Fail(kJsonUnterminated);
        }
        unit = 0;
        for (int i = 0; i < 4; ++i) {
            const int digit = HexDigit(text_[pos_ + i]);
            if (digit < 0) return Fail(kJsonBadToken);
            unit = unit * 16 + static_cast<char32_t>(digit);
        }
        pos_ += 4;
        return true;
    };
    char32_t unit = 0;
    if (!read_unit(unit)) return false;
    if (unit >= 0xD800 && unit <= 0xDBFF && text_.substr(pos_, 2) == "\\u") {
        const std::size_t before = pos_;
        pos_ += 2;
        char32_t low = 0;
        if (!read_unit(low)) return false;
        if (low >= 0xDC00 && low <= 0xDFFF) {
            platform::AppendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
            return true;
        }
        pos_ = before;  // not a pair: the second escape stands on its own
    }
    // A lone surrogate has no UTF-8 form; AppendUtf8 writes "?" for it.
    platform::AppendUtf8(out, unit);
    return true;
}

bool JsonParser::ParseNumber(JsonValue& out) {
    const std::size_t start = pos_;
    const auto digits = [&] {
        const std::size_t first = pos_;
        while (pos_ < text_.size() && IsDigit(text_[pos_])) ++pos_;
        return pos_ > first;
    };
    if (text_[pos_] == '-') ++pos_;
    if (AtEnd()) return Fail(kJsonBadToken);
    if (text_[pos_] == '0') {
        ++pos_;
    } else if (!digits()) {
        return Fail(kJsonBadToken);
    }
    if (pos_ < text_.size() && text_[pos_] == '.') {
        ++pos_;
        if (!digits()) return Fail(kJsonBadToken);
    }
    if (pos_ < text_.size() && (text_[pos_] == 'e' || text_[pos_] == 'E')) {
        ++pos_;
        if (pos_ < text_.size() && (text_[pos_] == '+' || text_[pos_] == '-')) ++pos_;
        if (!digits()) return Fail(kJsonBadToken);
    }
    // A number runs into the next structural character or whitespace; any
    // other character glued to it ("01", "1x") makes the token invalid.
    if (pos_ < text_.size()) {
        const char next = text_[pos_];
        if (next != ',' && next != ']' && next != '}' && next != ' ' && next != '\t' && next != '\r' &&
            next != '\n') {
            return Fail(kJsonBadToken);
        }
    }
    out = JsonValue::Number(std::string(text_.substr(start, pos_ - start)));
    return true;
}

bool JsonParser::ParseWord(JsonValue& out) {
    const std::string_view rest = text_.substr(pos_);
    const auto word_ends_at = [&](std::size_t length) {
        if (rest.size() == length) return true;
        const char next = rest[length];
        return next == ',' || next == ']' || next == '}' || next == ' ' || next == '\t' || next == '\r' ||
               next == '\n';
    };
    if (rest.substr(0, 4) == "true" && word_ends_at(4)) {
        pos_ += 4;
        out = JsonValue::Boolean(true);
        return true;
    }
    if (rest.substr(0, 5) == "false" && word_ends_at(5)) {
        pos_ += 5;
        out = JsonValue::Boolean(false);
        return true;
    }
    if (rest.substr(0, 4) == "null" && word_ends_at(4)) {
        pos_ += 4;
        out = JsonValue();
        return true;
    }
    return Fail(kJsonBadToken);
}

}  // namespace kestrel::net
