#pragma once

// Small text helpers that many readers of files and answers share: cutting
// blanks off the ends, replacing every occurrence of a piece, and splitting
// at a separator.
//
// Threading: free functions of their arguments; safe from any thread. The
// views they return point into the text they were given.

#include <string>
#include <string_view>
#include <vector>

namespace kestrel::platform {

// The text without any of the characters of `blanks` at either end.
std::string_view Trim(std::string_view text, std::string_view blanks = " \t\r\n");

// The text with every occurrence of `from` (not empty) replaced by `to`,
// left to right, without looking at what was put in.
std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to);

// The pieces between the separators, empty ones included: "a::b" gives
// "a", "", "b", and "" gives one empty piece.
std::vector<std::string_view> Split(std::string_view text, char separator);

}  // namespace kestrel::platform
