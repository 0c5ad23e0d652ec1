#pragma once

// The rule both backends follow for a combo box's text and its current
// index: the box has a text of its own (it may name no item, as the version
// box does before its list is filled), and the current index is always the
// first item equal to that text, or -1.
//
// Threading: pure functions; any thread.

#include <string>
#include <vector>

namespace kestrel::toolkit {

inline int IndexOfText(const std::vector<std::string>& items, const std::string& text) {
    for (size_t i = 0; i < items.size(); ++i) {
        if (items[i] == text) return static_cast<int>(i);
    }
    return -1;
}

// The text that selecting index gives: the item's text, or "" for -1 or an
// index out of range (which selects nothing).
inline std::string TextOfIndex(const std::vector<std::string>& items, int index) {
    if (index < 0 || index >= static_cast<int>(items.size())) return "";
    return items[static_cast<size_t>(index)];
}

inline int ClampToRange(int value, int minimum, int maximum) {
    if (maximum < minimum) return minimum;
    return value < minimum ? minimum : value > maximum ? maximum : value;
}

inline int ClampOpacity(int opacity) { return ClampToRange(opacity, 0, 255); }

}  // namespace kestrel::toolkit
