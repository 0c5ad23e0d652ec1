#pragma once

// ProgressLine shows an install's progress on stderr: a bar redrawn in place
// on a terminal, otherwise one line a second (and one for each new step), so
// a log stays readable.
//
// Threading: one thread (the one the installer reports progress on).

#include <chrono>
#include <ostream>
#include <string>

#include "install/InstallSettings.h"

namespace kestrel::cli {

class ProgressLine {
public:
    explicit ProgressLine(std::ostream& err);
    ~ProgressLine() { Finish(); }
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    void Show(const install::InstallProgress& progress);
    // Ends the line a terminal's bar is drawn on.
    void Finish();

private:
    std::string Text(const install::InstallProgress& progress) const;

    std::ostream& err_;
    bool terminal_;
    bool shown_ = false;
    bool open_line_ = false;
    install::InstallStep step_ = install::InstallStep::kCatalogue;
    std::chrono::steady_clock::time_point last_{};
};

// Bytes as megabytes with one decimal ("12.5").
std::string Megabytes(std::uint64_t bytes);

}  // namespace kestrel::cli
