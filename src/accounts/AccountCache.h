#pragma once

// The account cache remembers the last signed-in account in one small text
// file, so the next start can sign the player in again without asking. Each
// line is a key, a colon and the value in double quotes (no escaping); lines
// are joined by CR LF, with no break after the last one. Each account type
// has its own fixed layout:
//
//   Microsoft, Authlib: NAME, UUID, TOKEN, REFRESH_TOKEN, ACCOUNTTYPE
//   Mojang:             NAME, UUID, TOKEN, ACCOUNT, PASSWORD, ACCOUNTTYPE
//   offline:            NAME, UUID:"", TOKEN:"", REFRESH_TOKEN:"", ACCOUNTTYPE:"OFFLINE"
//
// The file holds access tokens and a Mojang password, so it is written whole
// (temporary file and rename) with owner-only permissions (0600).
//
// Threading: free functions; any thread may call them. Two writers race only
// as far as the last rename wins.

#include <optional>
#include <string>
#include <string_view>

#include "accounts/AccountRecord.h"
#include "platform/Result.h"

namespace kestrel::accounts {

// The values of ACCOUNTTYPE.
inline constexpr std::string_view kTypeMicrosoft = "MICROSOFT";
inline constexpr std::string_view kTypeMojang = "MOJANG";
inline constexpr std::string_view kTypeOffline = "OFFLINE";
inline constexpr std::string_view kTypeAuthlib = "AUTHLIB";

// The permission of the cache file.
inline constexpr unsigned kAccountCacheMode = 0600;

// The cache texts of the four layouts.
std::string MicrosoftCacheText(const AccountRecord& record);
std::string AuthlibCacheText(const AccountRecord& record);
std::string MojangCacheText(const AccountRecord& record, std::string_view account,
                            std::string_view password);
std::string OfflineCacheText(std::string_view name);

// One value of a cache text. The key is looked for at the start of a line
// first, so a value that happens to hold `TOKEN:"` (a password, say) cannot
// stand in for the TOKEN line; a text without such a line falls back to the
// first occurrence of `KEY:"` anywhere, which is how files edited by hand or
// written by older launchers have always been read. The value ends at the
// next double quote; "" when the key or the closing quote is missing.
std::string CacheValue(std::string_view text, std::string_view key);

// True when the text is one of the four layouts line for line, with the
// type its layout allows and no value holding a double quote or a control
// character. Nothing else can be read back as it was written: a value with a
// quote would read cut, and one with a line end followed by `KEY:"` would
// read as that key's line.
bool IsStorableCacheText(std::string_view text);

// Everything the start-up takes from a cache text.
struct CacheContents {
    AccountRecord record;  // NAME, UUID, TOKEN, REFRESH_TOKEN (no client token)
    CachedAccount cached;  // the text, NAME, ACCOUNTTYPE, ACCOUNT, PASSWORD
};
CacheContents ParseAccountCache(std::string_view text);

// True when a cache as read names an account the automatic sign-in can try:
// its ACCOUNTTYPE is one of the four, or it has none (an older or cut-short
// file, taken as a Microsoft account) but a NAME or REFRESH_TOKEN line. A
// file that is nothing of the kind (random bytes, an unknown type) is no
// account.
bool IsKnownAccount(const CachedAccount& cached);

// The file's text decoded from UTF-8; "" when it is missing, unreadable or
// larger than any cache could be.
std::string ReadAccountCache(const std::string& path);

// Replaces the file with the text (UTF-8), 0600, creating its folder. A text
// that is not storable (IsStorableCacheText) is refused and nothing is
// written.
Status WriteAccountCache(const std::string& path, std::string_view text);

// Deletes the file; a missing file is no error.
void DeleteAccountCache(const std::string& path);

}  // namespace kestrel::accounts
