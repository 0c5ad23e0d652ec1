#pragma once

// KeyLookup finds one value in the launcher's small key files (the options
// file, the account cache, the update files). These files are not parsed: a
// value is the text between the first occurrence of an opening marker (such
// as `Memory="`, `NAME:"` or `<main>`) and the next closing marker after it.
// The search is case-sensitive and starts at the beginning of the text; when
// either marker is missing the value is empty. Reading this way keeps files
// written by older launchers, or edited by hand, readable as long as each
// marker is still there.
//
// Threading: a pure function.

#include <string>
#include <string_view>

namespace kestrel::net {

std::string KeyLookup(std::string_view text, std::string_view opening, std::string_view closing);

}  // namespace kestrel::net
