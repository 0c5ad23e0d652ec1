#pragma once

// A strict UTF-8 codec. Decoding validates: every maximal ill-formed
// subsequence (a stray continuation byte, a truncated sequence, an overlong
// form, an encoded surrogate, a value above U+10FFFF) becomes one "?", the
// way the launcher shows text it cannot read. Encoding turns a code point that
// UTF-8 cannot hold (a lone surrogate) into "?" as well.
//
// Threading: pure functions.

#include <string>
#include <string_view>

namespace kestrel::platform {

std::u32string DecodeUtf8(std::string_view bytes);
std::string EncodeUtf8(std::u32string_view text);

// Appends the UTF-8 form of one code point ("?" for a surrogate or a value
// beyond U+10FFFF).
void AppendUtf8(std::string& out, char32_t code_point);

// The UTF-8 text with every ill-formed subsequence replaced by "?"; the
// identity on valid UTF-8, and fast for it.
std::string ValidUtf8(std::string_view bytes);

// True when the bytes are well-formed UTF-8.
bool IsValidUtf8(std::string_view bytes);

// Reads one code point at bytes[pos]. On success advances pos past it and
// returns the code point; on an ill-formed sequence advances pos past its
// maximal ill-formed subpart and returns U+FFFFFFFF.
char32_t NextUtf8(std::string_view bytes, std::size_t& pos);

inline constexpr char32_t kInvalidCodePoint = 0xFFFFFFFF;

}  // namespace kestrel::platform
