#include "platform/Utf8.h"

namespace kestrel::platform {

char32_t NextUtf8(std::string_view bytes, std::size_t& pos) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned char lead = byte(pos);
    if (lead < 0x80) {
        ++pos;
        return lead;
    }
    int length = 0;
    char32_t value = 0;
    // The first continuation byte has a narrower range for some leads; this is
    // what rules out overlong forms, surrogates and values above U+10FFFF.
    unsigned char low = 0x80, high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        value = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        value = lead & 0x0F;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        value = lead & 0x07;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        ++pos;
        return kInvalidCodePoint;
    }
    std::size_t i = pos + 1;
    for (int k = 1; k < length; ++k, ++i) {
        if (i >= bytes.size()) {
            pos = i;
            return kInvalidCodePoint;
        }
        const unsigned char next = byte(i);
        if (next < low || next > high) {
            pos = i;
            return kInvalidCodePoint;
        }
        low = 0x80;
        high = 0xBF;
        value = (value << 6) | (next & 0x3F);
    }
    pos = i;
    return value;
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c >= 0xD800 && c <= 0xDFFF) {
        out.push_back('?');
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c <= 0x10FFFF) {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back('?');
    }
}

std::u32string DecodeUtf8(std::string_view bytes) {
    std::u32string text;
    text.reserve(bytes.size());
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        const char32_t c = NextUtf8(bytes, pos);
        text.push_back(c == kInvalidCodePoint ? U'?' : c);
    }
    return text;
}

std::string EncodeUtf8(std::u32string_view text) {
    std::string bytes;
    bytes.reserve(text.size());
    for (char32_t c : text) AppendUtf8(bytes, c);
    return bytes;
}

bool IsValidUtf8(std::string_view bytes) {
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        if (static_cast<unsigned char>(bytes[pos]) < 0x80) {
            ++pos;
        } else if (NextUtf8(bytes, pos) == kInvalidCodePoint) {
            return false;
        }
    }
    return true;
}

std::string ValidUtf8(std::string_view bytes) {
    if (IsValidUtf8(bytes)) return std::string(bytes);
    std::string out;
    out.reserve(bytes.size());
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        const std::size_t start = pos;
        const char32_t c = NextUtf8(bytes, pos);
        if (c == kInvalidCodePoint) {
            out.push_back('?');
        } else {
            out.append(bytes.substr(start, pos - start));
        }
    }
    return out;
}

}  // namespace kestrel::platform
