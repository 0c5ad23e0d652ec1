#pragma once

// OptionProblemText words what keeps a value from being taken
// (settings/OptionChecks.h) for kestrel-cli's error output: `options set` and
// the window size options of command-line and launch.
//
// Threading: pure functions.

#include <string>
#include <string_view>

#include "settings/OptionChecks.h"

namespace kestrel::cli {

// "not a number: abc", "out of range: 0 (from 1 to 16384)", … ; "" for kNone.
std::string OptionProblemText(settings::OptionProblem problem, std::string_view value, settings::OptionRange range);

}  // namespace kestrel::cli
