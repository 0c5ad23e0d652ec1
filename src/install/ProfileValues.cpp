#include "install/ProfileValues.h"

#include <algorithm>
#include <filesystem>

#include "launch/SafeNames.h"
#include "platform/Text.h"

namespace kestrel::install {

namespace {

constexpr std::string_view kErrorUnsafeLibrary = "安装配置中的库路径不安全: ";
constexpr std::string_view kErrorUnknownKey = "安装配置中缺少这个值: ";
constexpr std::string_view kErrorBadText = "安装配置中的值无法读取: ";

bool IsBracketed(std::string_view text) { return text.size() > 2 && text.front() == '[' && text.back() == ']'; }

// The lexical form of a path: "." and ".." pieces worked out, no final "/".
std::string Normal(std::string_view path) {
    std::string normal = std::filesystem::path(path).lexically_normal().generic_string();
    while (normal.size() > 1 && normal.back() == '/') normal.pop_back();
    return normal;
}

bool IsBelow(const std::string& path, const std::string& folder) {
    return path.size() > folder.size() + 1 && path.starts_with(folder) && path[folder.size()] == '/';
}

}  // namespace

std::string MavenPath(std::string_view coordinate) {
    std::string_view extension = "jar";
    if (const std::size_t at = coordinate.rfind('@');
        at != std::string_view::npos && coordinate.find(':', at) == std::string_view::npos) {
        extension = coordinate.substr(at + 1);
        coordinate = coordinate.substr(0, at);
    }
    const std::vector<std::string_view> parts = platform::Split(coordinate, ':');
    if (parts.size() < 3 || parts.size() > 4 || extension.empty()) return {};
    for (const std::string_view part : parts) {
        if (part.empty()) return {};
    }
    std::string group(parts[0]);
    std::replace(group.begin(), group.end(), '.', '/');
    std::string path = group + "/" + std::string(parts[1]) + "/" + std::string(parts[2]) + "/" + std::string(parts[1]) +
                       "-" + std::string(parts[2]);
    if (parts.size() == 4) path += "-" + std::string(parts[3]);
    path += "." + std::string(extension);
    // A ".." or a separator can hide in any part; the whole path is judged.
    if (launch::AssetNamePieces(path).empty()) return {};
    return path;
}

ProfileValues::ProfileValues(std::string game_folder, std::string temp_folder)
    : game_folder_(std::move(game_folder)), temp_folder_(std::move(temp_folder)) {}

Result<std::string> ProfileValues::LibraryPath(std::string_view coordinate) const {
    const std::string relative = MavenPath(coordinate);
    if (relative.empty()) {
        return Error{std::string(kErrorUnsafeLibrary) + std::string(coordinate)};
    }
    return game_folder_ + "/libraries/" + relative;
}

Result<bool> ProfileValues::SetData(const std::string& key, std::string_view value) {
    if (IsBracketed(value)) {
        Result<std::string> path = LibraryPath(value.substr(1, value.size() - 2));
        if (!path) return Error{path.error()};
        Set(key, std::move(path).value());
        return true;
    }
    if (value.size() >= 2 && value.front() == '\'' && value.back() == '\'') {
        Set(key, std::string(value.substr(1, value.size() - 2)));
        return true;
    }
    return false;
}

Result<std::string> ProfileValues::Substitute(std::string_view text) const {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\\' && i + 1 < text.size()) {
            out.push_back(text[++i]);
        } else if (c == '{') {
            const std::size_t end = text.find('}', i);
            if (end == std::string_view::npos) return Error{std::string(kErrorBadText) + std::string(text)};
            const std::string_view key = text.substr(i + 1, end - i - 1);
            const auto found = values_.find(key);
            if (found == values_.end()) return Error{std::string(kErrorUnknownKey) + std::string(key)};
            out += found->second;
            i = end;
        } else {
            out.push_back(c);
        }
    }
    if (IsBracketed(out)) return LibraryPath(std::string_view(out).substr(1, out.size() - 2));
    return out;
}

bool ProfileValues::Contains(std::string_view path) const {
    if (path.find('\0') != std::string_view::npos) return false;
    const std::string normal = Normal(path);
    return IsBelow(normal, Normal(game_folder_)) || IsBelow(normal, Normal(temp_folder_));
}

}  // namespace kestrel::install
