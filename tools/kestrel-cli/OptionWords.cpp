#include "OptionWords.h"

namespace kestrel::cli {

std::string OptionProblemText(shell::OptionProblem problem, std::string_view value, shell::OptionRange range) {
    const std::string text(value);
    switch (problem) {
        case shell::OptionProblem::kNone: return "";
        case shell::OptionProblem::kNotANumber: return "not a number: " + text;
        case shell::OptionProblem::kOutOfRange:
            return "out of range: " + text + " (from " + std::to_string(range.low) + " to " +
                   std::to_string(range.high) + ")";
        case shell::OptionProblem::kNotAFlag: return "not True or False: " + text;
        case shell::OptionProblem::kUnsafeText:
            return "cannot be saved: the value holds a double quote or a control character";
    }
    return "";
}

}  // namespace kestrel::cli
