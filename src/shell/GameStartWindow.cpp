#include "shell/GameStartWindow.h"

#include <algorithm>

namespace kestrel::shell {
namespace {

int Truncated(double value) { return static_cast<int>(value); }

// The x of a control of that width centred in a window of that width.
int Centred(int window_width, int control_width) {
    return Truncated(window_width / 2.0 - control_width / 2.0);
}

}  // namespace

void LayOutGameStartWindow(toolkit::Surface& window, int width, int height, int game_width, int game_height) {
    window.Resize(kStartBackground, width + 1, height + 1);
    window.Resize(kStartLoading, width + 1, height + 1);

    const toolkit::Rect bar = window.Geometry(kStartProgress);
    // A window narrower than 240 pixels gets no bar rather than a negative
    // width.
    const int bar_width = std::max(0, game_width > game_height ? height : width - 240);
    const int bar_y = Truncated(height * 6.0 / 8.0);
    window.Resize(kStartProgress, bar_width, bar.height);
    window.Move(kStartProgress, Centred(width, bar_width), bar_y);

    const toolkit::Rect percent = window.Geometry(kStartPercent);
    const int percent_y = bar_y + 27;
    window.Move(kStartPercent, Centred(width, percent.width), percent_y);

    const toolkit::Rect step = window.Geometry(kStartStep);
    window.Move(kStartStep, Centred(width, step.width), percent_y + 29);
}

void ShowStartProgress(toolkit::Surface& window, int percent) {
    window.SetValue(kStartProgress, percent);
    window.SetText(kStartPercent, std::to_string(percent) + "%");
}

}  // namespace kestrel::shell
