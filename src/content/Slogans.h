#pragma once

// The slogan line 副标题 under the logo: one line of Titlelist.ini, drawn at
// random at start-up and at every click.
//
// The file holds one slogan a line. Lines end in CR LF; a file saved with
// bare LF line ends reads the same, and empty lines (a final line break, an
// empty file) are no slogans, so the line never goes blank.
//
// Threading: pure functions; the random source belongs to the caller's thread.

#include <string>
#include <string_view>
#include <vector>

#include "platform/RandomSource.h"

namespace kestrel::content {

inline constexpr std::string_view kFallbackSlogan = "多西跌?! 获取闪烁标语好像失败惹...";

std::vector<std::string> SplitSlogans(std::string_view titlelist);

// One slogan, every one with the same chance; the fallback text when there
// is none.
std::string PickSlogan(const std::vector<std::string>& slogans, platform::RandomSource& random);

}  // namespace kestrel::content
