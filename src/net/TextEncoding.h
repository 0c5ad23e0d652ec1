#pragma once

// The conversions the launcher makes where text crosses a boundary. Program
// text is UTF-8 in std::string; web answers and manifests are decoded with
// Utf8ToText (which validates them), GBK bytes come from TextToUtf16 +
// Utf16ToText with code page 936 (the offline UUID, the readme files), JSON
// answers may carry \u escapes (UnescapeUnicode) and skin profiles carry
// Base64 (Base64Decode).
//
// Threading: pure functions; any thread may call them.

#include <string>
#include <string_view>

namespace kestrel::net {

inline constexpr int kCodePageGbk = 936;
inline constexpr int kCodePageUtf8 = 65001;

// UTF-8 bytes to program text: every ill-formed sequence becomes "?". The
// input ends at its first NUL.
std::string Utf8ToText(std::string_view utf8);

// Program text to UTF-8: the identity on valid text.
std::string TextToUtf8(std::string_view text);

// The bytes of a code page to UTF-16, and UTF-16 to the bytes of a code page.
// A character that the code page cannot hold becomes "?"; an unknown code page
// gives an empty result. Input ends at its first NUL.
std::u16string TextToUtf16(std::string_view bytes, int code_page);
std::string Utf16ToText(std::u16string_view units, int code_page);

// Re-encodes bytes from one charset to another ("UTF-8" and "GBK" when the
// names are empty). Empty input, or a charset iconv does not know, gives
// empty bytes.
std::string ConvertCharset(std::string_view bytes, std::string_view from = "UTF-8",
                           std::string_view to = "GBK");

// Decodes the \uXXXX escapes a service left in a text (and %XX forms) by the
// ECMAScript unescape rules, keeping CR LF line breaks; a text without escapes
// comes back unchanged.
std::string UnescapeUnicode(std::string_view text);

// Decodes Base64 as the skin profiles need it: spaces and CR LF pairs are
// ignored, a character outside the alphabet ("=" included) ends the input, and
// each missing character of the last group of four drops one byte.
std::string Base64Decode(std::string_view text);

}  // namespace kestrel::net
