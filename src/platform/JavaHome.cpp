#include "platform/JavaHome.h"

#include <limits.h>
#include <stdlib.h>
#include <unistd.h>

#include "platform/Environment.h"
#include "platform/Files.h"
#include "platform/PathJoin.h"
#include "platform/Text.h"

namespace kestrel::platform {

namespace {

// A release file is a few kilobytes; anything far larger is not one.
constexpr std::size_t kMaxReleaseBytes = std::size_t{1} << 20;

std::string RealPath(const std::string& path) {
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved) == nullptr) return {};
    return resolved;
}

// The folder that holds path ("/a/b" gives "/a"; "/a" gives "/").
std::string ParentOf(const std::string& path) {
    const std::string trimmed = WithoutTrailingSlashes(path);
    const auto slash = trimmed.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return trimmed.substr(0, slash);
}

}  // namespace

std::string RegisteredJavaHome() {
    return RegisteredJavaHome(EnvironmentValue("JAVA_HOME"), EnvironmentValue("PATH"));
}

std::string RegisteredJavaHome(std::string_view java_home, std::string_view path_list) {
    if (const std::string_view home = Trim(java_home); !home.empty()) {
        return WithoutTrailingSlashes(std::string(home));
    }
    constexpr std::string_view kSuffix = "/bin/java";
    while (!path_list.empty()) {
        const auto colon = path_list.find(':');
        const std::string_view entry = path_list.substr(0, colon);
        path_list = colon == std::string_view::npos ? std::string_view() : path_list.substr(colon + 1);
        if (entry.empty() || entry.front() != '/') continue;
        const std::string candidate = WithoutTrailingSlashes(std::string(entry)) + "/java";
        if (!IsRegularFile(candidate) || ::access(candidate.c_str(), X_OK) != 0) continue;
        const std::string real = RealPath(candidate);
        if (real.size() > kSuffix.size() && real.ends_with(kSuffix)) {
            return real.substr(0, real.size() - kSuffix.size());
        }
    }
    return {};
}

std::string JavaHomeOf(const std::string& executable) {
    std::string real = RealPath(executable);
    if (real.empty()) real = executable;
    return ParentOf(ParentOf(real));
}

std::string RealExecutable(const std::string& path) {
    const std::string real = RealPath(path);
    if (real.empty() || !IsRegularFile(real) || ::access(real.c_str(), X_OK) != 0) return {};
    return real;
}

std::string ReleaseValue(std::string_view release_text, std::string_view key) {
    if (key.empty()) return {};
    std::size_t start = 0;
    while (start < release_text.size()) {
        auto end = release_text.find('\n', start);
        if (end == std::string_view::npos) end = release_text.size();
        std::string_view line = release_text.substr(start, end - start);
        start = end + 1;
        if (!line.starts_with(key) || line.size() < key.size() + 2) continue;
        line.remove_prefix(key.size());
        if (line[0] != '=' || line[1] != '"') continue;
        line.remove_prefix(2);
        const auto quote = line.find('"');
        if (quote == std::string_view::npos) return {};
        return std::string(line.substr(0, quote));
    }
    return {};
}

std::string FileVersionOfJavaVersion(std::string_view java_version) {
    // Java 8 and older call themselves 1.8.0_301; their file version, and the
    // version players know them by, is 8.0.301.
    if (java_version.starts_with("1.") && java_version.size() > 2) java_version.remove_prefix(2);
    std::string version;
    for (const char c : java_version) {
        if (c == '_') {
            version.push_back('.');
        } else if ((c >= '0' && c <= '9') || c == '.') {
            version.push_back(c);
        } else {
            break;  // "-ea", "+36" and the like are not part of the number
        }
    }
    if (version.empty() || version.front() == '.') return {};
    return version;
}

std::string ExecutableVersion(const std::string& executable) {
    const auto release = ReadFile(JavaHomeOf(executable) + "/release", kMaxReleaseBytes);
    if (!release) return {};
    return FileVersionOfJavaVersion(ReleaseValue(*release, "JAVA_VERSION"));
}

}  // namespace kestrel::platform
