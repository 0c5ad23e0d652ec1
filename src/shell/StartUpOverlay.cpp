#include "shell/StartUpOverlay.h"

#include <array>

#include "shell/StartUp.h"

namespace kestrel::shell {

namespace {

constexpr std::array<const char*, 4> kOverlayControls = {"初始化", "初始化进度", "初始化进度_文字",
                                                         "初始化进度_文字1"};
constexpr int kFullOpacity = 255;
constexpr int kFadeStep = 10;
constexpr int kFadeFloor = 5;
constexpr int kFadeStepMs = 10;
constexpr int kHiddenPauseMs = 3000;

}  // namespace

void SetStartUpStep(toolkit::Surface& surface, const std::string& text, int percent) {
    surface.SetText("初始化进度_文字1", text);
    surface.SetValue("初始化进度", percent);
    surface.SetText("初始化进度_文字", std::to_string(percent) + "%");
}

void FadeOverlay(toolkit::Surface& surface, platform::Clock& clock, std::stop_token stop) {
    // The overlay always starts the fade fully opaque, so the opacity is
    // counted here rather than read back from the window: a read from a
    // worker would wait for the user-interface thread at every step.
    int opacity = kFullOpacity;
    while (opacity > kFadeFloor) {
        opacity -= kFadeStep;
        for (const char* name : kOverlayControls) surface.SetOpacity(name, opacity);
        if (!clock.Sleep(kFadeStepMs, stop)) return;
    }
    surface.Hide("初始化");
    if (!clock.Sleep(kHiddenPauseMs, stop)) return;
    for (const char* name : kOverlayControls) surface.SetOpacity(name, kFullOpacity);
    surface.Hide("初始化");
    surface.Move("初始化", kOverlayAwayX, 0);
}

}  // namespace kestrel::shell
