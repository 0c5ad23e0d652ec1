#include "net/JsonWriter.h"

#include <array>

namespace kestrel::net {

namespace {

// For each byte: 0 copy as is, 1 a two-character escape, 2 \u00xx.
constexpr std::array<char, 256> kEscape = [] {
    std::array<char, 256> table{};
    for (int c = 0; c < 0x20; ++c) table[c] = 2;
    table['\b'] = table['\t'] = table['\n'] = table['\r'] = table['\f'] = 1;
    table['"'] = table['\\'] = table['/'] = 1;
    return table;
}();

char ShortEscape(char c) {
    switch (c) {
        case '\b': return 'b';
        case '\t': return 't';
        case '\n': return 'n';
        case '\r': return 'r';
        case '\f': return 'f';
        default: return c;  // " \ /
    }
}

}  // namespace

void JsonWriter::AppendString(std::string& out, std::string_view text) {
    static constexpr char kHex[] = "0123456789abcdef";
    out.push_back('"');
    std::size_t run = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        const char kind = kEscape[c];
        if (kind == 0) continue;
        out.append(text.substr(run, i - run));
        out.push_back('\\');
        if (kind == 1) {
            out.push_back(ShortEscape(static_cast<char>(c)));
        } else {
            out.append("u00");
            out.push_back(kHex[c >> 4]);
            out.push_back(kHex[c & 0xF]);
        }
        run = i + 1;
    }
    out.append(text.substr(run));
    out.push_back('"');
}

void JsonWriter::Append(std::string& out, const JsonValue& value) {
    switch (value.kind()) {
        case JsonKind::kNull:
            out.append("null");
            return;
        case JsonKind::kBoolean:
            out.append(value.boolean() ? "true" : "false");
            return;
        case JsonKind::kNumber:
            out.append(value.text());
            return;
        case JsonKind::kString:
            AppendString(out, value.text());
            return;
        case JsonKind::kArray:
            out.push_back('[');
            for (std::size_t i = 0; i < value.size(); ++i) {
                if (i) out.push_back(',');
                Append(out, value.at(i));
            }
            out.push_back(']');
            return;
        case JsonKind::kObject:
            out.push_back('{');
            for (std::size_t i = 0; i < value.size(); ++i) {
                if (i) out.push_back(',');
                AppendString(out, value.name(i));
                out.push_back(':');
                Append(out, value.at(i));
            }
            out.push_back('}');
            return;
    }
}

std::string JsonWriter::Write(const JsonValue& value) {
    std::string out;
    Append(out, value);
    return out;
}

}  // namespace kestrel::net
