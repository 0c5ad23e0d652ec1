#include "OptionWords.h"

namespace kestrel::cli {

std::string OptionProblemText(settings::OptionProblem problem, std::string_view value, settings::OptionRange range) {
    const std::string text(value);
    switch (problem) {
        case settings::OptionProblem::kNone: return "";
        case settings::OptionProblem::kNotANumber: return "not a number: " + text;
        case settings::OptionProblem::kOutOfRange:
            return "out of range: " + text + " (from " + std::to_string(range.low) + " to " +
                   std::to_string(range.high) + ")";
        case settings::OptionProblem::kNotAFlag: return "not True or False: " + text;
        case settings::OptionProblem::kUnsafeText:
            return "cannot be saved: the value holds a double quote or a control character";
    }
    return "";
}

}  // namespace kestrel::cli
