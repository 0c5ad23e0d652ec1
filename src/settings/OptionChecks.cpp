#include "settings/OptionChecks.h"

#include <limits>

namespace kestrel::settings {

OptionRange MemoryRange(std::int64_t machine_total_mb) {
    if (machine_total_mb < kMinMemoryMb) return {kMinMemoryMb, std::numeric_limits<std::int32_t>::max()};
    return {kMinMemoryMb, machine_total_mb};
}

std::optional<std::int64_t> TypedNumber(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty()) return std::nullopt;
    constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
    std::int64_t magnitude = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        const int digit = c - '0';
        if (magnitude > (kMax - digit) / 10) return std::nullopt;
        magnitude = magnitude * 10 + digit;
    }
    return negative ? -magnitude : magnitude;
}

OptionProblem CheckNumber(std::string_view text, OptionRange range) {
    const std::optional<std::int64_t> number = TypedNumber(text);
    if (!number) return OptionProblem::kNotANumber;
    if (*number < range.low || *number > range.high) return OptionProblem::kOutOfRange;
    return OptionProblem::kNone;
}

OptionProblem CheckFlag(std::string_view text) {
    return text == "True" || text == "False" ? OptionProblem::kNone : OptionProblem::kNotAFlag;
}

OptionProblem CheckText(std::string_view text) {
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || byte < 0x20 || byte == 0x7F) return OptionProblem::kUnsafeText;
    }
    return OptionProblem::kNone;
}

OptionShape ShapeOf(std::string_view key, std::int64_t machine_total_mb) {
    static constexpr std::string_view kTexts[] = {"RINKU_SUTAATO", "GameFolder", "ip", "Java", "JavaV",
                                                  "GameWindow_Title", "GameWindow_Watermark"};
    static constexpr std::string_view kFlags[] = {"GameFolder_Auto", "Musicplayer", "Isolation", "CheckFilesBeforeLaunch",
                                                  "AutoJava"};
    for (const std::string_view text : kTexts) {
        if (key == text) return {OptionKind::kText, {}};
    }
    for (const std::string_view flag : kFlags) {
        if (key == flag) return {OptionKind::kFlag, {}};
    }
    if (key == "Memory") return {OptionKind::kNumber, MemoryRange(machine_total_mb)};
    if (key == "Launcher_Waiting") return {OptionKind::kNumber, kAfterLaunchRange};
    if (key == "GameWindow") return {OptionKind::kNumber, kGameWindowRange};
    if (key == "DownloadThreads") return {OptionKind::kNumber, kDownloadJobsRange};
    if (key == "GameWindow_Width" || key == "GameWindow_Height") return {OptionKind::kNumber, kWindowSizeRange};
    return {};
}

OptionProblem CheckOption(std::string_view key, std::string_view value, std::int64_t machine_total_mb) {
    const OptionShape shape = ShapeOf(key, machine_total_mb);
    switch (shape.kind) {
        case OptionKind::kText: return CheckText(value);
        case OptionKind::kFlag: return CheckFlag(value);
        case OptionKind::kNumber: return CheckNumber(value, shape.range);
        case OptionKind::kUnknown: break;
    }
    return OptionProblem::kNone;
}

}  // namespace kestrel::settings
