#include "launch/SafeNames.h"

#include <algorithm>

namespace kestrel::launch {

namespace {

bool HoldsForbidden(std::string_view text) {
    return text.find("..") != std::string_view::npos || text.find_first_of(std::string_view("\\\0\r\n", 4)) !=
                                                            std::string_view::npos;
}

bool HasDrivePrefix(std::string_view text) {
    return text.size() >= 2 && text[1] == ':' &&
           ((text[0] >= 'A' && text[0] <= 'Z') || (text[0] >= 'a' && text[0] <= 'z'));
}

}  // namespace

bool IsSafeFileId(std::string_view id) {
    return !id.empty() && id != "." && !HoldsForbidden(id) && id.find('/') == std::string_view::npos &&
           !HasDrivePrefix(id);
}

std::vector<std::string> AssetNamePieces(std::string_view name) {
    if (name.empty() || name.front() == '/' || HoldsForbidden(name) || HasDrivePrefix(name)) return {};
    std::vector<std::string> pieces;
    std::size_t begin = 0;
    for (;;) {
        const std::size_t end = std::min(name.find('/', begin), name.size());
        const std::string_view piece = name.substr(begin, end - begin);
        if (piece.empty() || piece == ".") return {};
        pieces.emplace_back(piece);
        if (end == name.size()) return pieces;
        begin = end + 1;
    }
}

bool IsObjectHash(std::string_view hash) {
    const auto hex = [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); };
    return hash.size() == 40 && std::all_of(hash.begin(), hash.end(), hex);
}

}  // namespace kestrel::launch
