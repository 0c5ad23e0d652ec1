#pragma once

// The checks of a player name. The account cache and the options file have
// no escaping: a value ends at the next double quote and a line at its end,
// so a name holding either (or another control character) would be stored
// as something else and reach the game cut. Online, the game itself takes
// names of 1 to 16 characters; offline the launcher takes any name it can
// store, and only tells the player when servers will likely refuse it (they
// take 3 to 16 of A-Z, a-z, 0-9 and _).
//
// Threading: pure functions; any thread may call them.

#include <string>
#include <string_view>

namespace kestrel::accounts {

inline constexpr std::size_t kMaxOnlineNameLength = 16;

// What the launcher says of a name it cannot store.
inline constexpr const char* kNameUnsafeCharacters = "未知的用户名: 用户名不能包含英文双引号(\")、换行符或其他控制字符!";
inline constexpr const char* kNameEmpty = "未知的用户名: 用户名为空!";
inline constexpr const char* kNameTooLong = "未知的用户名: 用户名不能超过16个字符!";

// True when the name holds a double quote or a control character (CR and
// LF among them).
bool HasUnsafeCharacters(std::string_view name);

// Why a profile name from a sign-in service cannot be played with, or "":
// empty, over 16 characters (counted as UTF-8 characters), or unsafe.
std::string OnlineNameProblem(std::string_view name);

// True when the name is 3 to 16 of A-Z, a-z, 0-9 and _.
bool IsUsualPlayerName(std::string_view name);

}  // namespace kestrel::accounts
