#include "shell/GameWatcher.h"

#include "shell/AfterLaunch.h"
#include "shell/GameStartWindow.h"
#include "toolkit/Assets.h"

namespace kestrel::shell {

GameWatcher::GameWatcher(LauncherContext& ctx, std::shared_ptr<toolkit::Surface> game_start_window,
                         LaunchServices services, GameWatch watch)
    : ctx_(ctx), window_(std::move(game_start_window)), services_(std::move(services)), watch_(std::move(watch)) {}

void GameWatcher::Run(std::stop_token stop) {
    window_->SetActive(kStartLoading, true);
    ctx_.app.PlaySound(std::string(toolkit::Asset("launch.wav")));
    const bool waited = ctx_.clock.Sleep(kSoundPauseMs, stop);
    window_->SetActive(kStartLoading, false);
    if (!waited) return;

    platform::WindowId game_window = platform::kNoWindow;
    for (;;) {
        game_window = services_.find_window(watch_.pid);
        if (game_window != platform::kNoWindow) break;
        if (!services_.alive(watch_.pid)) {
            window_->CloseWindow();
            ctx_.state.launch_in_progress = false;
            return;
        }
        if (!ctx_.clock.Sleep(kPollMs, stop)) return;
    }

    if (!watch_.window_title.empty()) services_.set_title(game_window, watch_.window_title);
    RunAfterLaunch(watch_.after_launch_action, watch_.pid, ctx_, *window_, services_, stop);
    ctx_.state.launch_in_progress = false;
}

}  // namespace kestrel::shell
