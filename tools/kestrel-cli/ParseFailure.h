#pragma once

// ParseFailureText words a failed JSON parse for kestrel-cli's error
// output: the parser's code and byte position as they always were printed
// ("parse failed: -5 at 6"), then the line and column of that position and
// what the code means, so a hand-edited manifest can be mended without
// looking the code up.
//
// Threading: pure functions.

#include <string>
#include <string_view>

#include "net/JsonParser.h"

namespace kestrel::cli {

// What a parse failure code means, in words; "" for code 0.
std::string_view ParseCodeWords(int code);

// "parse failed: CODE at POSITION (line L, column C): WORDS" for a parse of
// text that failed with result.
std::string ParseFailureText(const net::JsonParseResult& result, std::string_view text);

}  // namespace kestrel::cli
