#include "launch/LaunchLog.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <vector>

#include "platform/Files.h"
#include "platform/Utf8.h"

namespace kestrel::launch {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kPrefix = "kestrel-launch-";
constexpr std::string_view kSuffix = ".log";
constexpr std::size_t kStampLength = 19;  // 2026-12-10_14-03-59

std::string TwoDigits(int value) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d", value);
    return text;
}

// Where a launch log's name puts it among the others: its time stamp, then
// its number within the second (0 for the first). Nothing for a name that is
// not a launch log's.
std::optional<std::pair<std::string, long>> Order(const std::string& name) {
    if (name.size() < kPrefix.size() + kStampLength + kSuffix.size()) return std::nullopt;
    if (name.compare(0, kPrefix.size(), kPrefix) != 0) return std::nullopt;
    if (name.compare(name.size() - kSuffix.size(), kSuffix.size(), kSuffix) != 0) return std::nullopt;
    const std::string stamp = name.substr(kPrefix.size(), kStampLength);
    const std::string rest =
        name.substr(kPrefix.size() + kStampLength, name.size() - kPrefix.size() - kStampLength - kSuffix.size());
    for (std::size_t i = 0; i < stamp.size(); ++i) {
        const bool digit = stamp[i] >= '0' && stamp[i] <= '9';
        const char separator = i == 4 || i == 7 ? '-' : i == 10 ? '_' : i == 13 || i == 16 ? '-' : 0;
        if (separator ? stamp[i] != separator : !digit) return std::nullopt;
    }
    if (rest.empty()) return std::make_pair(stamp, 0L);
    if (rest.size() < 2 || rest.size() > 7 || rest[0] != '-') return std::nullopt;
    long number = 0;
    for (std::size_t i = 1; i < rest.size(); ++i) {
        if (rest[i] < '0' || rest[i] > '9') return std::nullopt;
        number = number * 10 + (rest[i] - '0');
    }
    return std::make_pair(stamp, number);
}

}  // namespace

std::string LaunchLogName(const platform::LocalDateTime& t) {
    return std::string(kPrefix) + std::to_string(t.year) + "-" + TwoDigits(t.month) + "-" + TwoDigits(t.day) + "_" +
           TwoDigits(t.hour) + "-" + TwoDigits(t.minute) + "-" + TwoDigits(t.second) + std::string(kSuffix);
}

Result<std::string> NewLaunchLog(const std::string& game_directory, const platform::HostProfile& profile,
                                 const platform::LocalDateTime& time, int keep) {
    const std::string folder = profile.Join(game_directory, "logs");
    const std::string native_folder = profile.NativePath(folder);
    if (!platform::CreateFolders(native_folder)) return Error{"cannot make the folder " + folder};

    // The launch logs already there, oldest first.
    std::vector<std::pair<std::pair<std::string, long>, fs::path>> logs;
    std::error_code error;
    for (fs::directory_iterator it(native_folder, error), end; !error && it != end; it.increment(error)) {
        if (!it->is_regular_file(error) || it->is_symlink(error)) continue;
        if (const auto order = Order(it->path().filename().string())) logs.emplace_back(*order, it->path());
    }
    std::sort(logs.begin(), logs.end());
    const std::size_t room = static_cast<std::size_t>(std::max(keep - 1, 0));
    for (std::size_t i = 0; i + room < logs.size(); ++i) fs::remove(logs[i].second, error);

    const std::string name = LaunchLogName(time);
    std::string path = profile.Join(folder, name);
    for (int number = 2; fs::exists(profile.NativePath(path), error) && number < 1000; ++number) {
        path = profile.Join(folder, name.substr(0, name.size() - kSuffix.size()) + "-" + std::to_string(number) +
                                        std::string(kSuffix));
    }
    return path;
}

std::string LogTail(const std::string& path, int max_lines, std::size_t max_bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in || !platform::IsRegularFile(path)) return "";
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    const std::streamoff start = size > static_cast<std::streamoff>(max_bytes) ? size - max_bytes : 0;
    in.seekg(start);
    std::string bytes(static_cast<std::size_t>(size - start), '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    // A cut in the middle of the first line leaves half a line (or half a
    // character): that line goes.
    if (start > 0) {
        const std::size_t line_end = bytes.find('\n');
        bytes.erase(0, line_end == std::string::npos ? bytes.size() : line_end + 1);
    }
    std::vector<std::string> lines;
    std::size_t at = 0;
    while (at < bytes.size()) {
        std::size_t end = bytes.find('\n', at);
        if (end == std::string::npos) end = bytes.size();
        std::string line = bytes.substr(at, end - at);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
        at = end + 1;
    }
    while (!lines.empty() && lines.back().empty()) lines.pop_back();
    const std::size_t first = lines.size() > static_cast<std::size_t>(std::max(max_lines, 0))
                                  ? lines.size() - static_cast<std::size_t>(std::max(max_lines, 0))
                                  : 0;
    std::string tail;
    for (std::size_t i = first; i < lines.size(); ++i) {
        if (i > first) tail += '\n';
        tail += lines[i];
    }
    return platform::ValidUtf8(tail);
}

}  // namespace kestrel::launch
