#include "net/TextEncoding.h"

#include <array>

#include "platform/Charsets.h"
#include "platform/Text.h"
#include "platform/Utf8.h"

namespace kestrel::net {

namespace {

std::string_view UpToNul(std::string_view text) { return text.substr(0, text.find('\0')); }

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Reads `count` hex digits at text[pos]; -1 when any is missing or not hex.
long HexRun(std::string_view text, std::size_t pos, std::size_t count) {
    if (pos + count > text.size()) return -1;
    long value = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const int digit = HexValue(text[pos + i]);
        if (digit < 0) return -1;
        value = value * 16 + digit;
    }
    return value;
}

// ECMAScript unescape over UTF-8 text: %uXXXX is the UTF-16 code unit XXXX,
// %XX the character U+00XX; any other % stays. Code units are gathered so
// that an escaped surrogate pair becomes one character.
std::string Unescape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    char16_t pending_high = 0;
    const auto flush_high = [&] {
        if (pending_high) out.push_back('?');
        pending_high = 0;
    };
    const auto put_unit = [&](char16_t unit) {
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            flush_high();
            pending_high = unit;
            return;
        }
        if (unit >= 0xDC00 && unit <= 0xDFFF) {
            if (pending_high) {
                platform::AppendUtf8(out, 0x10000 + ((static_cast<char32_t>(pending_high) - 0xD800) << 10) +
                                              (static_cast<char32_t>(unit) - 0xDC00));
                pending_high = 0;
            } else {
                out.push_back('?');
            }
            return;
        }
        flush_high();
        platform::AppendUtf8(out, unit);
    };
    std::size_t pos = 0;
    while (pos < text.size()) {
        if (text[pos] == '%') {
            if (pos + 1 < text.size() && text[pos + 1] == 'u') {
                const long unit = HexRun(text, pos + 2, 4);
                if (unit >= 0) {
                    put_unit(static_cast<char16_t>(unit));
                    pos += 6;
                    continue;
                }
            } else {
                const long code = HexRun(text, pos + 1, 2);
                if (code >= 0) {
                    put_unit(static_cast<char16_t>(code));
                    pos += 3;
                    continue;
                }
            }
        }
        flush_high();
        // Copy one whole UTF-8 character unchanged.
        const std::size_t start = pos;
        platform::NextUtf8(text, pos);
        out.append(text.substr(start, pos - start));
    }
    flush_high();
    return out;
}

}  // namespace

std::string Utf8ToText(std::string_view utf8) { return platform::ValidUtf8(UpToNul(utf8)); }

std::string TextToUtf8(std::string_view text) { return platform::ValidUtf8(UpToNul(text)); }

std::u16string TextToUtf16(std::string_view bytes, int code_page) {
    return platform::FromCodePage(bytes, code_page);
}

std::string Utf16ToText(std::u16string_view units, int code_page) {
    return platform::ToCodePage(units, code_page);
}

std::string ConvertCharset(std::string_view bytes, std::string_view from, std::string_view to) {
    if (bytes.empty()) return {};
    const std::string source = from.empty() ? "UTF-8" : std::string(from);
    const std::string target = to.empty() ? "GBK" : std::string(to);
    const auto text = platform::DecodeCharset(bytes, source);
    if (!text) return {};
    return platform::EncodeCharset(*text, target).value_or(std::string());
}

std::string UnescapeUnicode(std::string_view text) {
    // A line break must survive the decoding as it is; it travels as a marker.
    std::string work = platform::ReplaceAll(text, "\r\n", "{$}");
    if (!work.empty() && work.front() == '\r') work.erase(0, 1);
    work = platform::ReplaceAll(work, "\\u", "%u");
    std::string decoded = Unescape(work);
    decoded = platform::ReplaceAll(decoded, "{$}", "\r\n");
    // Program text never holds a NUL; an escaped %u0000 ends it.
    return std::string(UpToNul(decoded));
}

std::string Base64Decode(std::string_view text) {
    static constexpr std::string_view kAlphabet =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    static const std::array<int, 256> kPosition = [] {
        std::array<int, 256> table{};
        table.fill(-1);
        for (std::size_t i = 0; i < kAlphabet.size(); ++i) table[static_cast<unsigned char>(kAlphabet[i])] = static_cast<int>(i);
        return table;
    }();

    std::string clean = platform::ReplaceAll(text, "\r\n", "");
    std::erase(clean, ' ');

    std::string out;
    out.reserve(clean.size() / 4 * 3 + 3);
    std::size_t pos = 0;
    while (pos < clean.size()) {
        int digits[4] = {0, 0, 0, 0};
        int valid = 0;
        while (valid < 4 && pos < clean.size()) {
            const int value = kPosition[static_cast<unsigned char>(clean[pos])];
            if (value < 0) break;
            digits[valid++] = value;
            ++pos;
        }
        out.push_back(static_cast<char>((digits[0] * 4 + digits[1] / 16) % 256));
        out.push_back(static_cast<char>((digits[1] * 16 + digits[2] / 4) % 256));
        out.push_back(static_cast<char>((digits[2] * 64 + digits[3]) % 256));
        if (valid < 4) {
            // A short group is the last one: each missing character drops a
            // byte, which may reach into the group before it. The output
            // never shrinks below empty.
            const std::size_t drop = static_cast<std::size_t>(4 - valid);
            if (drop >= out.size()) return {};
            return out.substr(0, out.size() - drop);
        }
    }
    return out;
}

}  // namespace kestrel::net
