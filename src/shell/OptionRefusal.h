#pragma once

// OptionRefusal words why the settings window does not take what the player
// typed or picked (settings/OptionChecks.h says whether it may be taken) and
// shows it; the setting keeps its old value, and so does its box.
//
// Threading: OptionRefusalText is pure; RefuseOption shows a message box and
// may be called from any thread (from a handler it waits for the player).

#include <string>
#include <string_view>

#include "settings/OptionChecks.h"
#include "toolkit/Application.h"

namespace kestrel::shell {

inline constexpr const char* kOptionRefusedCaption = "Kestrel2";

// "内存必须是513到16000之间的整数(单位MB),已保留原来的设置。",
// "游戏标题不能包含英文双引号(\")、换行符或其他控制字符,已保留原来的设置。", …
// what names the setting; unit follows the range ("MB"), if any.
std::string OptionRefusalText(std::string_view what, settings::OptionProblem problem, settings::OptionRange range = {},
                              std::string_view unit = "");

// Shows the text in a warning box captioned kOptionRefusedCaption.
void RefuseOption(toolkit::Application& app, const std::string& text);

}  // namespace kestrel::shell
