#include "shell/GameWatcher.h"

#include "shell/AfterLaunch.h"
#include "shell/GameEndReport.h"
#include "shell/GameStartWindow.h"
#include "toolkit/Assets.h"

namespace kestrel::shell {

GameWatcher::GameWatcher(LauncherContext& ctx, std::shared_ptr<toolkit::Surface> game_start_window,
                         LaunchServices services, GameWatch watch)
    : ctx_(ctx), window_(std::move(game_start_window)), services_(std::move(services)), watch_(std::move(watch)) {}

void GameWatcher::Run(std::stop_token stop) {
    if (WatchStart(stop)) WatchFirstMinute(stop);
}

bool GameWatcher::WatchStart(std::stop_token stop) {
    window_->SetActive(kStartLoading, true);
    ctx_.app.PlaySound(std::string(toolkit::Asset("launch.wav")));
    const bool waited = ctx_.clock.Sleep(kSoundPauseMs, stop);
    window_->SetActive(kStartLoading, false);
    if (!waited) return false;

    platform::WindowId game_window = platform::kNoWindow;
    for (;;) {
        game_window = services_.find_window(watch_.pid);
        if (game_window != platform::kNoWindow) break;
        if (!services_.alive(watch_.pid)) {
            window_->CloseWindow();
            ctx_.state.launch_in_progress = false;
            ReportEnd(true);
            return false;
        }
        if (!ctx_.clock.Sleep(kPollMs, stop)) return false;
    }

    if (!watch_.window_title.empty()) services_.set_title(game_window, watch_.window_title);
    const int action = watch_.after_launch_action;
    RunAfterLaunch(action, watch_.pid, ctx_, *window_, services_, stop, [this] { ReportEnd(false); });
    ctx_.state.launch_in_progress = false;
    // Actions 3 and 4 waited for the end themselves; action 1 ended the
    // launcher.
    return action != kExitLauncher && action != kHideUntilExit && action != kRestartAfterExit &&
           !stop.stop_requested();
}

void GameWatcher::ReportEnd(bool before_window) {
    if (!services_.exit_status) return;
    const std::optional<int> status = services_.exit_status(watch_.pid);
    if (!status || *status == 0) return;
    if (!before_window && ctx_.clock.NowMs() - watch_.started_ms >= kEarlyEndMs) return;
    ReportGameEnd(ctx_, *status, watch_.log_path);
}

void GameWatcher::WatchFirstMinute(std::stop_token stop) {
    while (ctx_.clock.NowMs() - watch_.started_ms < kEarlyEndMs) {
        if (!services_.alive(watch_.pid)) {
            ReportEnd(false);
            return;
        }
        if (!ctx_.clock.Sleep(kPollMs, stop)) return;
    }
}

}  // namespace kestrel::shell
