#pragma once

// OptionChecks says whether a value typed for a setting may be taken: the
// settings window and kestrel-cli's `options set` ask the same questions
// here, so neither can store what the other would refuse.
//
// Numbers are typed whole numbers (blanks around an optional sign and
// digits, nothing else) inside the setting's range: the memory from 513 MB
// (a launch refuses 512 MB and less) up to the machine's total, the game
// window's width and height from 1 to 16384, the after-launch action and the
// window mode one of their listed values. Flags are "True" or "False". A text
// may hold no double quote and no control character (CR and LF among them):
// the options file ends a value at the next quote and a line at its end, so
// such a text would not read back as it was typed.
//
// Threading: free functions of their arguments; safe from any thread.

#include <cstdint>
#include <optional>
#include <string_view>

#include "settings/SettingsRecord.h"

namespace kestrel::settings {

// The lowest and the highest value a number setting takes, both included.
struct OptionRange {
    std::int64_t low = 0;
    std::int64_t high = 0;
};

inline constexpr std::int64_t kMinMemoryMb = 513;
inline constexpr OptionRange kWindowSizeRange{1, 16384};
inline constexpr OptionRange kAfterLaunchRange{kExitLauncher, kDoNothing};
inline constexpr OptionRange kGameWindowRange{kWindowDefault, kWindowAsLauncher};
inline constexpr OptionRange kDownloadJobsRange{1, 64};

// The memory setting's range on a machine with this much memory; a machine
// whose total is unknown (0) or below the minimum sets no upper bound.
OptionRange MemoryRange(std::int64_t machine_total_mb);

// What keeps a typed value from being taken.
enum class OptionProblem {
    kNone,
    kNotANumber,   // not a whole number ("abc", "12px", "", "1.5")
    kOutOfRange,   // a number outside the setting's range
    kNotAFlag,     // neither "True" nor "False"
    kUnsafeText,   // holds a double quote or a control character
};

// The number of a typed whole number; nothing for any other text and for a
// number beyond 64 bits.
std::optional<std::int64_t> TypedNumber(std::string_view text);

OptionProblem CheckNumber(std::string_view text, OptionRange range);
OptionProblem CheckFlag(std::string_view text);
OptionProblem CheckText(std::string_view text);

// The kinds of the options file's keys, for callers that take a key and a
// value (kestrel-cli): kNumber keys come with their range.
enum class OptionKind { kUnknown, kText, kFlag, kNumber };
struct OptionShape {
    OptionKind kind = OptionKind::kUnknown;
    OptionRange range;
};

// The shape of a key a player may set (the keys the launcher writes itself,
// such as Launcher_Name, are kUnknown).
OptionShape ShapeOf(std::string_view key, std::int64_t machine_total_mb);

// The check of a value for a key; kNone for an unknown key, which callers
// refuse on their own terms.
OptionProblem CheckOption(std::string_view key, std::string_view value, std::int64_t machine_total_mb);

}  // namespace kestrel::settings
