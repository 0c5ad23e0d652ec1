#include "platform/Charsets.h"

#include <iconv.h>

#include <cerrno>
#include <cctype>
#include <vector>

#include "platform/Utf8.h"

namespace kestrel::platform {

namespace {

// Owns one iconv descriptor.
class Converter {
public:
    Converter(const std::string& to, const std::string& from)
        : handle_(iconv_open(to.c_str(), from.c_str())) {}
    ~Converter() {
        if (ok()) iconv_close(handle_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool ok() const { return handle_ != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() const { return handle_; }

private:
    iconv_t handle_;
};

bool IsUtf8Name(const std::string& charset) {
    std::string upper;
    for (char c : charset) {
        if (c != '-' && c != '_') upper.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
    }
    return upper == "UTF8";
}

char32_t ReadUtf32Le(const unsigned char* p) {
    return static_cast<char32_t>(p[0]) | (static_cast<char32_t>(p[1]) << 8) |
           (static_cast<char32_t>(p[2]) << 16) | (static_cast<char32_t>(p[3]) << 24);
}

void WriteUtf32Le(char32_t c, char* p) {
    p[0] = static_cast<char>(c & 0xFF);
    p[1] = static_cast<char>((c >> 8) & 0xFF);
    p[2] = static_cast<char>((c >> 16) & 0xFF);
    p[3] = static_cast<char>((c >> 24) & 0xFF);
}

// Runs one iconv step over as much input as it takes; returns false on a
// sequence it cannot convert (errno tells which kind).
bool Step(iconv_t cd, const char*& in, std::size_t& in_left, std::string& out) {
    char buffer[4096];
    while (in_left > 0) {
        char* out_ptr = buffer;
        std::size_t out_left = sizeof buffer;
        char* in_ptr = const_cast<char*>(in);
        const std::size_t rc = iconv(cd, &in_ptr, &in_left, &out_ptr, &out_left);
        out.append(buffer, sizeof buffer - out_left);
        in = in_ptr;
        if (rc == static_cast<std::size_t>(-1) && errno != E2BIG) return false;
    }
    return true;
}

}  // namespace

std::optional<std::string> CharsetOfCodePage(int code_page) {
    switch (code_page) {
        case 936: return "GBK";
        case 65001: return "UTF-8";
        case 1252: return "CP1252";
        case 437: return "CP437";
        case 20127: return "ASCII";
        default: return std::nullopt;
    }
}

std::optional<std::u32string> DecodeCharset(std::string_view bytes, const std::string& charset) {
    if (IsUtf8Name(charset)) return DecodeUtf8(bytes);
    Converter converter("UTF-32LE", charset);
    if (!converter.ok()) return std::nullopt;
    std::string wide;
    const char* in = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        if (Step(converter.get(), in, left, wide)) break;
        // An unreadable or truncated sequence: one "?" for its first byte,
        // then go on with the next one.
        char question[4];
        WriteUtf32Le(U'?', question);
        wide.append(question, 4);
        ++in;
        --left;
        iconv(converter.get(), nullptr, nullptr, nullptr, nullptr);
    }
    std::u32string text;
    text.reserve(wide.size() / 4);
    for (std::size_t i = 0; i + 4 <= wide.size(); i += 4) {
        text.push_back(ReadUtf32Le(reinterpret_cast<const unsigned char*>(wide.data() + i)));
    }
    return text;
}

std::optional<std::string> EncodeCharset(std::u32string_view text, const std::string& charset) {
    if (IsUtf8Name(charset)) return EncodeUtf8(text);
    Converter converter(charset, "UTF-32LE");
    if (!converter.ok()) return std::nullopt;
    std::string out;
    out.reserve(text.size() * 2);
    // Converts character by character run: a run of convertible characters
    // goes in one call; a character the charset lacks becomes "?" in it.
    std::string wide(text.size() * 4, '\0');
    for (std::size_t i = 0; i < text.size(); ++i) WriteUtf32Le(text[i], &wide[i * 4]);
    const char* in = wide.data();
    std::size_t left = wide.size();
    while (left > 0) {
        if (Step(converter.get(), in, left, out)) break;
        const std::size_t skip = left < 4 ? left : 4;
        in += skip;
        left -= skip;
        char question[4];
        WriteUtf32Le(U'?', question);
        const char* q = question;
        std::size_t q_left = 4;
        Step(converter.get(), q, q_left, out);
    }
    // Flush any shift state (stateful charsets only).
    char tail[16];
    char* tail_ptr = tail;
    std::size_t tail_left = sizeof tail;
    iconv(converter.get(), nullptr, nullptr, &tail_ptr, &tail_left);
    out.append(tail, sizeof tail - tail_left);
    return out;
}

std::u16string FromCodePage(std::string_view bytes, int code_page) {
    const auto charset = CharsetOfCodePage(code_page);
    if (!charset) return {};
    bytes = bytes.substr(0, bytes.find('\0'));
    const auto text = DecodeCharset(bytes, *charset);
    if (!text) return {};
    std::u16string units;
    units.reserve(text->size());
    for (char32_t c : *text) {
        if (c >= 0x10000 && c <= 0x10FFFF) {
            c -= 0x10000;
            units.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
            units.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
        } else if (c > 0x10FFFF) {
            units.push_back(u'?');
        } else {
            units.push_back(static_cast<char16_t>(c));
        }
    }
    return units;
}

std::string ToCodePage(std::u16string_view units, int code_page) {
    const auto charset = CharsetOfCodePage(code_page);
    if (!charset) return {};
    units = units.substr(0, units.find(u'\0'));
    std::u32string text;
    text.reserve(units.size());
    for (std::size_t i = 0; i < units.size(); ++i) {
        const char16_t unit = units[i];
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
            units[i + 1] <= 0xDFFF) {
            text.push_back(0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) +
                           (static_cast<char32_t>(units[i + 1]) - 0xDC00));
            ++i;
        } else if (unit >= 0xD800 && unit <= 0xDFFF) {
            text.push_back(U'?');
        } else {
            text.push_back(unit);
        }
    }
    return EncodeCharset(text, *charset).value_or(std::string());
}

}  // namespace kestrel::platform
