#pragma once

// Path joins. The core builds paths in a host profile's separators (the texts
// the launcher shows and passes on); files are then reached with the
// machine's own separator. JoinNativePath is the join for the latter, so no
// code outside this layer needs to know which character that is.
//
// Threading: free functions without state.

#include <string>
#include <string_view>

namespace kestrel::platform {

// The separator of the machine the launcher runs on.
inline constexpr char kNativeSeparator = '/';

// left + sep + right, always with the separator (an empty left gives a path
// from the root, as the launcher's texts have always had it).
std::string JoinPath(std::string_view left, std::string_view right, char sep);

// The path without the "/" at its end, however many; "/" itself stays.
std::string WithoutTrailingSlashes(std::string path);

// JoinPath with the machine's own separator.
inline std::string JoinNativePath(std::string_view left, std::string_view right) {
    return JoinPath(left, right, kNativeSeparator);
}

}  // namespace kestrel::platform
