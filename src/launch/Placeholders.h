#pragma once

// Placeholder substitution for the game's command line: "${name}" texts in the
// manifests' arguments are replaced by the launch's values. Every occurrence
// is replaced, left to right, and a replacement is never scanned again, so a
// player name or a path that itself holds "${...}" stays as it is. Some
// placeholders must match in letter case, others match in any case; a
// placeholder nobody knows stays in the text unchanged.
//
// Threading: pure functions.

#include <span>
#include <string>
#include <string_view>

namespace kestrel::launch {

struct Placeholder {
    std::string_view name;  // "${auth_player_name}"
    std::string value;      // what replaces it
    bool match_case = true;
};

std::string SubstitutePlaceholders(std::string_view text, std::span<const Placeholder> placeholders);

}  // namespace kestrel::launch
