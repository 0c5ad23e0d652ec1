#include "shell/OptionRefusal.h"

namespace kestrel::shell {

std::string OptionRefusalText(std::string_view what, settings::OptionProblem problem, settings::OptionRange range,
                              std::string_view unit) {
    constexpr std::string_view kKept = ",已保留原来的设置。";
    std::string text(what);
    switch (problem) {
        case settings::OptionProblem::kNone: return {};
        case settings::OptionProblem::kNotANumber:
        case settings::OptionProblem::kOutOfRange:
            text += "必须是" + std::to_string(range.low) + "到" + std::to_string(range.high) + "之间的整数";
            if (!unit.empty()) text += "(单位" + std::string(unit) + ")";
            break;
        case settings::OptionProblem::kNotAFlag: text += "只能是True或False"; break;
        case settings::OptionProblem::kUnsafeText: text += "不能包含英文双引号(\")、换行符或其他控制字符"; break;
    }
    return text += kKept;
}

void RefuseOption(toolkit::Application& app, const std::string& text) {
    app.ShowMessageBox(text, kOptionRefusedCaption, toolkit::MessageIcon::Warning);
}

}  // namespace kestrel::shell
