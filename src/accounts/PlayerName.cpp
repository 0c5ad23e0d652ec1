#include "accounts/PlayerName.h"

#include <algorithm>

namespace kestrel::accounts {

bool HasUnsafeCharacters(std::string_view name) {
    return std::any_of(name.begin(), name.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return c == '"' || byte < 0x20 || byte == 0x7F;
    });
}

std::string OnlineNameProblem(std::string_view name) {
    if (name.empty()) return kNameEmpty;
    if (HasUnsafeCharacters(name)) return kNameUnsafeCharacters;
    // UTF-8 continuation bytes do not start a character.
    const auto characters = static_cast<std::size_t>(
        std::count_if(name.begin(), name.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
    if (characters > kMaxOnlineNameLength) return kNameTooLong;
    return {};
}

bool IsUsualPlayerName(std::string_view name) {
    if (name.size() < 3 || name.size() > 16) return false;
    return std::all_of(name.begin(), name.end(), [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
    });
}

}  // namespace kestrel::accounts
