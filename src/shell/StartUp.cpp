#include "shell/StartUp.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <utility>

#include "shell/Backgrounds.h"
#include "shell/MusicLoop.h"
#include "shell/StartUpFolders.h"
#include "shell/StartUpOptions.h"
#include "shell/StartUpOverlay.h"
#include "toolkit/Assets.h"

namespace kestrel::shell {

namespace {

constexpr int kFrameDelayMs = 100;
constexpr int kSecondWaveDelayMs = 500;
constexpr int kBeforeFadeMs = 1000;
constexpr int kAutomaticSignInPercent = 80;
constexpr int kDonePercent = 100;

// Opens once the options loader has read the account cache. The start-up
// worker decides about the automatic sign-in only after that: the 500 ms
// pause between the two threads does not promise it (Java discovery or a
// slow disk can make the options loader take longer), and a sign-in skipped
// for that reason would leave the player signed out for no reason they see.
class Gate {
public:
    void Open() {
        std::lock_guard lock(mutex_);
        open_ = true;
        changed_.notify_all();
    }
    // False when the stop request came first.
    bool Wait(std::stop_token stop) {
        std::unique_lock lock(mutex_);
        return changed_.wait(lock, stop, [this] { return open_; });
    }

private:
    std::mutex mutex_;
    std::condition_variable_any changed_;
    bool open_ = false;
};

struct Run {
    Run(LauncherContext& c, StartUpHooks h) : ctx(c), hooks(std::move(h)) {}
    LauncherContext& ctx;
    StartUpHooks hooks;
    Gate account_cache_read;
};

void StartUpWorker(const std::shared_ptr<Run>& run, std::stop_token stop) {
    LauncherContext& ctx = run->ctx;
    const StartUpHooks& hooks = run->hooks;
    toolkit::Surface& window = *ctx.main_window;
    const StepReporter report = [&window](const std::string& text, int percent) {
        SetStartUpStep(window, text, percent);
    };

    if (hooks.run_update_checks) hooks.run_update_checks(ctx, stop, report);
    if (stop.stop_requested()) return;

    if (!run->account_cache_read.Wait(stop)) return;
    if (!ctx.state.accounts.Cached().text.empty()) {
        report(std::string(kAutomaticSignInStep), kAutomaticSignInPercent);
        if (hooks.automatic_sign_in) hooks.automatic_sign_in(ctx, stop, report);
        if (stop.stop_requested()) return;
    }

    if (hooks.update_result_text) {
        report(hooks.update_result_text(ctx), kDonePercent);
    } else {
        window.SetValue("初始化进度", kDonePercent);
        window.SetText("初始化进度_文字", std::to_string(kDonePercent) + "%");
    }
    if (!ctx.clock.Sleep(kBeforeFadeMs, stop)) return;

    // The fade and the music begin together; the music is started first only
    // so that a fade seen to its end means the music's turn has come too.
    if (ctx.state.settings.Get().music_player) {
        ctx.workers.Start([&ctx](std::stop_token s) { PlayMusic(ctx, s); });
    }
    ctx.workers.Start([&ctx](std::stop_token s) { FadeOverlay(*ctx.main_window, ctx.clock, s); });
    if (hooks.show_update_state) hooks.show_update_state(ctx);
}

// The second half of the start-up, off the user-interface thread: the frame
// after 100 ms, then after 500 ms more the start-up worker, the boards and
// the slogans.
void Sequencer(const std::shared_ptr<Run>& run, std::stop_token stop) {
    LauncherContext& ctx = run->ctx;
    if (!ctx.clock.Sleep(kFrameDelayMs, stop)) return;
    ctx.main_window->Show("窗口EX1");
    if (!ctx.clock.Sleep(kSecondWaveDelayMs, stop)) return;

    ctx.workers.Start([run](std::stop_token s) { StartUpWorker(run, s); });
    const StartUpHooks& hooks = run->hooks;
    for (const StartUpHooks::Job* job :
         {&hooks.fill_notice_board, &hooks.fill_status_board, &hooks.load_slogans}) {
        if (!*job) continue;
        ctx.workers.Start([run, job](std::stop_token s) { (*job)(run->ctx, s); });
    }
}

}  // namespace

void RunStartUp(LauncherContext& ctx, const StartUpHooks& hooks) {
    if (!ctx.main_window) return;
    toolkit::Surface& window = *ctx.main_window;

    window.Move("初始化", 0, 0);
    SetStartUpConstants(ctx);
    window.SetPicture("初始化", std::string(toolkit::Asset("overlay.png")));
    window.SetPicture("主标题_MCLOGO", std::string(toolkit::Asset("logo.png")));
    if (hooks.lay_out_account_panel) hooks.lay_out_account_panel(ctx);
}

void BeginStartUpWork(LauncherContext& ctx, const StartUpHooks& hooks) {
    if (!ctx.main_window) return;
    // The three folders and the two readmes are written by the options
    // loader's worker before it reads the options and before the background
    // is looked for under them: the window's first paint does not wait for
    // the disk (nor for the GBK encoder the readmes need).
    auto run = std::make_shared<Run>(ctx, hooks);
    ctx.workers.Start([run](std::stop_token) {
        MakeDataFolders(run->ctx);
        run->ctx.workers.Start([run](std::stop_token) { ChooseBackground(run->ctx); });
        RunOptionsLoader(run->ctx, run->hooks, [&run] { run->account_cache_read.Open(); });
    });
    ctx.workers.Start([run](std::stop_token s) { Sequencer(run, s); });
}

}  // namespace kestrel::shell
