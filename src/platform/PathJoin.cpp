#include "platform/PathJoin.h"

namespace kestrel::platform {

std::string JoinPath(std::string_view left, std::string_view right, char sep) {
    std::string joined;
    joined.reserve(left.size() + 1 + right.size());
    joined.append(left);
    joined.push_back(sep);
    joined.append(right);
    return joined;
}

std::string WithoutTrailingSlashes(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

}  // namespace kestrel::platform
