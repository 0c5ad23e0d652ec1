#pragma once

// Quoting for the game's command line. The command line is one Windows-style
// text (see platform/Process.h for how it is split back into arguments), so
// every value the launcher puts on it must survive that split unchanged: a
// player name with a blank, a double quote or backslashes before a quote, a
// watermark, a path, a token.
//
// QuoteArgument wraps a value in double quotes and escapes what the Windows
// rules would otherwise read as syntax: a double quote becomes \" and the
// backslashes directly before a double quote (or before the closing quote)
// are doubled. A quoted value may also stand inside a larger argument
// (-Djava.library.path="C:\Games\.minecraft\versions\1.19\1.19-natives"):
// the split joins the pieces. Values without a double quote and without a
// trailing backslash come out as plain "value", the form the launcher has
// always written.
//
// Threading: pure functions.

#include <string>
#include <string_view>

namespace kestrel::launch {

std::string QuoteArgument(std::string_view value);

// The value as it is when the split would give it back unchanged anyway (not
// empty, no blank, tab or double quote); else QuoteArgument.
std::string QuoteIfNeeded(std::string_view value);

}  // namespace kestrel::launch
