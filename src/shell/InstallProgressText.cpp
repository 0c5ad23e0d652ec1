#include "shell/InstallProgressText.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace kestrel::shell {
namespace {

std::string OneDecimal(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", value);
    return text;
}

constexpr double kMegabyte = 1024.0 * 1024.0;

std::string TimeLeft(const download::DownloadProgress& p) {
    if (p.bytes_per_second <= 0 || p.bytes_total <= p.bytes_done) return "剩余 --:--";
    const double seconds = std::ceil(static_cast<double>(p.bytes_total - p.bytes_done) / p.bytes_per_second);
    // Beyond a day the figure means nothing more than "very long".
    if (seconds >= 86400) return "剩余 >24:00:00";
    const auto whole = static_cast<long>(seconds);
    char text[32];
    if (whole >= 3600) {
        std::snprintf(text, sizeof text, "剩余 %ld:%02ld:%02ld", whole / 3600, whole / 60 % 60, whole % 60);
    } else {
        std::snprintf(text, sizeof text, "剩余 %ld:%02ld", whole / 60, whole % 60);
    }
    return text;
}

}  // namespace

InstallProgressTexts ProgressTexts(const install::InstallProgress& progress) {
    const download::DownloadProgress& p = progress.files;
    InstallProgressTexts texts;
    texts.step = std::string(install::InstallStepText(progress.step)) + "…";
    texts.files = "文件 " + std::to_string(p.files_done) + "/" + std::to_string(p.files_total);
    // Small versions (and loaders) are counted in KB, or they would read 0.0 MB.
    const bool small = p.bytes_total < std::uint64_t{1} << 20;
    const double unit = small ? 1024.0 : kMegabyte;
    const auto amount = [small](double value) {
        return small ? std::to_string(static_cast<long long>(std::llround(value))) : OneDecimal(value);
    };
    texts.bytes = amount(static_cast<double>(p.bytes_done) / unit) + "/" +
                  amount(static_cast<double>(p.bytes_total) / unit) + (small ? " KB" : " MB");
    const double speed = std::max(p.bytes_per_second, 0.0);
    texts.speed = speed < kMegabyte ? std::to_string(static_cast<long long>(std::llround(speed / 1024.0))) + " KB/s"
                                    : OneDecimal(speed / kMegabyte) + " MB/s";
    texts.time_left = TimeLeft(p);
    if (p.bytes_total > 0) {
        texts.bar = static_cast<int>(std::min(p.bytes_done, p.bytes_total) * 100 / p.bytes_total);
    } else if (p.files_total > 0) {
        texts.bar = std::min(p.files_done, p.files_total) * 100 / p.files_total;
    }
    return texts;
}

}  // namespace kestrel::shell
