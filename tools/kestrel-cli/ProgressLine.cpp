#include "ProgressLine.h"

#include <cstdio>
#include <sstream>

#include "platform/FileLock.h"

namespace kestrel::cli {

std::string Megabytes(std::uint64_t bytes) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", static_cast<double>(bytes) / (1024.0 * 1024.0));
    return text;
}

ProgressLine::ProgressLine(std::ostream& err) : err_(err), terminal_(platform::IsTerminal(2)) {}

void ProgressLine::Show(const install::InstallProgress& progress) {
    const auto now = std::chrono::steady_clock::now();
    const bool new_step = !shown_ || progress.step != step_;
    // A terminal gets a redraw up to ten times a second; a log one line
    // a second, and one for each new step.
    const auto pause = terminal_ ? std::chrono::milliseconds(100) : std::chrono::milliseconds(1000);
    if (!new_step && now - last_ < pause) return;
    last_ = now;
    step_ = progress.step;
    shown_ = true;
    const std::string text = Text(progress);
    if (terminal_) {
        err_ << "\r\033[K" << text << std::flush;
        open_line_ = true;
    } else {
        err_ << text << "\n" << std::flush;
    }
}

void ProgressLine::Finish() {
    if (open_line_) err_ << "\n" << std::flush;
    open_line_ = false;
}

std::string ProgressLine::Text(const install::InstallProgress& progress) const {
    std::ostringstream text;
    text << install::InstallStepText(progress.step);
    const download::DownloadProgress& files = progress.files;
    if (files.files_total == 0) return text.str();
    const double share = files.bytes_total > 0
                             ? static_cast<double>(files.bytes_done) / static_cast<double>(files.bytes_total)
                             : static_cast<double>(files.files_done) / files.files_total;
    const int percent = static_cast<int>(share * 100);
    if (terminal_) {
        const int filled = static_cast<int>(share * 30);
        text << " [" << std::string(filled, '#') << std::string(30 - filled, '-') << "]";
    }
    text << " " << percent << "% " << files.files_done << "/" << files.files_total;
    const bool fetching = progress.step == install::InstallStep::kFiles ||
                          progress.step == install::InstallStep::kAssetIndex ||
                          progress.step == install::InstallStep::kLoaderFiles;
    if (fetching) {
        text << " " << Megabytes(files.bytes_done) << "/" << Megabytes(files.bytes_total) << " MB "
             << Megabytes(static_cast<std::uint64_t>(files.bytes_per_second)) << " MB/s";
    }
    return text.str();
}

}  // namespace kestrel::cli
