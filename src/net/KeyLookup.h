#pragma once

// The key lookup of the launcher's own text files (options file, account
// cache, update files): the text between the first occurrence of an opening
// marker (such as `Memory="`, `NAME:"` or `<main>`) and the next occurrence of
// the closing marker after it, searched case-sensitively from the start.
// Empty when either marker is missing.
//
// Threading: a pure function.

#include <string>
#include <string_view>

namespace kestrel::net {

std::string KeyLookup(std::string_view text, std::string_view open, std::string_view close);

}  // namespace kestrel::net
