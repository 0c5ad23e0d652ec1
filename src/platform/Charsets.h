#pragma once

// Conversions between Unicode and the byte encodings the launcher meets:
// GBK (Windows code page 936) for the offline UUID and the readme files, and
// whatever charset a caller names. A byte sequence that the source charset
// cannot read becomes "?", and a character that the target charset cannot hold
// becomes "?", as the Windows conversions do.
//
// Threading: pure functions; each call opens its own converter.

#include <optional>
#include <string>
#include <string_view>

namespace kestrel::platform {

// The Windows code pages we know: 936 (GBK), 65001 (UTF-8), 1252 (Western),
// 437 (OEM United States), 20127 (US-ASCII).
std::optional<std::string> CharsetOfCodePage(int code_page);

// Decodes bytes of the named charset (an iconv name such as "GBK" or
// "UTF-8"); nothing when the charset is unknown.
std::optional<std::u32string> DecodeCharset(std::string_view bytes, const std::string& charset);

// Encodes text in the named charset; nothing when the charset is unknown.
std::optional<std::string> EncodeCharset(std::u32string_view text, const std::string& charset);

// UTF-16 from the bytes of a code page, and back. An unknown code page gives
// an empty result. Input ends at its first NUL, as with the Windows calls.
std::u16string FromCodePage(std::string_view bytes, int code_page);
std::string ToCodePage(std::u16string_view text, int code_page);

}  // namespace kestrel::platform
