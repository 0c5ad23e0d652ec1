#pragma once

// The UUID of an offline account. It is derived from the player name alone,
// so the same name always plays as the same player: the MD5 digest of the
// GBK bytes of "OFFLinePlayer:" followed by the name, written as 32
// upper-case hexadecimal digits. No dashes are inserted and no version or
// variant bits are set, so other launchers' offline UUIDs of the same name
// (and the worlds that store them) match ours.
//
// Threading: a pure function; any thread may call it.

#include <string>
#include <string_view>

namespace kestrel::accounts {

// name is program text (UTF-8); a character GBK cannot hold is hashed as "?".
// Empty when the digest cannot be computed.
std::string OfflineUuid(std::string_view name);

}  // namespace kestrel::accounts
