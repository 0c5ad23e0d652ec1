#pragma once

// The texts of the settings page's Java box. Every item is "Java", the
// version label, the separator " | " and the executable's path; choosing an
// item takes the path and the label back out of its text.
//
// On Windows the path is the text from the separator up to and including the
// first "exe" after it (javaw.exe); a Linux executable ("java") has no such
// ending, so there the path is everything after the first separator.
//
// Threading: pure functions; any thread.

#include <optional>
#include <string>
#include <string_view>

#include "platform/HostProfile.h"

namespace kestrel::shell {

inline constexpr std::string_view kJavaItemSeparator = " | ";
// The label an old launcher stored for a Java picked by hand; its box text
// does not repeat the leading "Java".
inline constexpr std::string_view kCustomJavaLabel = "自定义Java";

struct JavaItem {
    std::string label;
    std::string path;
    friend bool operator==(const JavaItem&, const JavaItem&) = default;
};

// "Java" + label + " | " + path.
std::string JavaItemText(std::string_view label, std::string_view path);

// The box text for the stored Java: the item text, or label + " | " + path
// when the label is kCustomJavaLabel.
std::string StoredJavaText(std::string_view label, std::string_view path);

// The label and path of an item's text; nullopt when it has no separator.
std::optional<JavaItem> ParseJavaItem(std::string_view text, const platform::HostProfile& host);

}  // namespace kestrel::shell
