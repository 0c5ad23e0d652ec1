#include "shell/LaunchFlow.h"

#include <atomic>
#include <memory>
#include <stop_token>

#include "launch/LaunchPlan.h"
#include "launch/Launcher.h"
#include "platform/Files.h"
#include "shell/DownloadWindow.h"
#include "shell/GameFileFetch.h"
#include "shell/GameStartWindow.h"
#include "shell/GameWatcher.h"
#include "shell/LaunchJavaStep.h"
#include "shell/ProgressAnimation.h"
#include "toolkit/Windows.h"

namespace kestrel::shell {
namespace {

constexpr const char* kLaunchButton = "启动游戏按钮";

launch::LaunchPlan PlanFrom(const SettingsRecord& settings, const accounts::LaunchTexts& texts) {
    launch::LaunchPlan plan;
    plan.version_id = settings.selected_version;
    plan.java_path = settings.java_path;
    plan.player_name = texts.name;
    plan.player_uuid = texts.uuid;
    plan.access_token = texts.access_token;
    plan.memory_mb = settings.memory;
    plan.window_width = settings.game_window_width;
    plan.window_height = settings.game_window_height;
    plan.isolation = settings.isolation;
    plan.watermark = settings.game_window_watermark;
    plan.game_folder = settings.current_game_dir;
    plan.window_title = settings.game_window_title;
    plan.after_launch_action = settings.launcher_waiting;
    return plan;
}

// One launch: its game-start window and what its workers share.
class LaunchRun : public std::enable_shared_from_this<LaunchRun> {
public:
    LaunchRun(LauncherContext& ctx, const LaunchServices& services, std::shared_ptr<toolkit::Surface> window)
        : ctx_(ctx), services_(services), window_(std::move(window)) {}

    // The launch request: the game-start window has been created.
    void Request() {
        const SettingsRecord settings = ctx_.state.settings.Get();
        if (settings.selected_version.empty()) {
            FailWithoutVersion();
            return;
        }
        ctx_.state.launch_in_progress = true;
        active_ = true;
        const toolkit::WindowDef& def = window_->Definition();
        LayOutGameStartWindow(*window_, def.width, def.height, settings.game_window_width,
                              settings.game_window_height);
        // The update server's loading picture, when it came; the watcher
        // plays it while the game starts.
        const std::string picture = ctx_.state.loading_picture.Get();
        if (!picture.empty()) window_->SetPicture(kStartLoading, picture);
        ctx_.workers.Start([self = shared_from_this()](std::stop_token stop) { self->Work(stop); });
    }

    // The player's cancel (Escape, or the window's close control): before
    // the game process exists the launch stops; after, the watch for its
    // window ends and the game runs on. Either way the window closes and
    // the main window is the player's again. Once the launch is over (a
    // window that an after-launch value doing nothing left open) it only
    // closes the window.
    void Cancel() {
        if (active_.exchange(false)) {
            cancel_.request_stop();
            ctx_.state.launch_in_progress = false;
        }
        window_->CloseWindow();
    }

private:
    // The run's own stop token, which the launcher's stop reaches too.
    std::stop_token Stop() const { return cancel_.get_token(); }

    void Work(std::stop_token worker_stop) {
        const std::stop_callback forward(worker_stop, [this] { cancel_.request_stop(); });
        ShowStartProgress(*window_, 0);
        window_->SetText(kStartStep, kStepChecking);
        // One reading of the settings for the check and the launch alike.
        SettingsRecord settings = ctx_.state.settings.Get();
        // The Java the version needs, when the chosen one is not it.
        const Result<LaunchJavaOutcome> java = LaunchJavaStep(ctx_, services_).Run(settings, *window_, Stop());
        if (!java.ok()) {
            if (!Stop().stop_requested()) Fail(java.error());
            return;
        }
        settings.java_path = java->java;
        // Without a Java the launch fails at once with its own text; nothing
        // is worth fetching for it.
        if (settings.check_files_before_launch &&
            platform::IsRegularFile(ctx_.host.NativePath(settings.java_path))) {
            const Status fetched = GameFileFetch(ctx_.host, ctx_.endpoints, ctx_.clock).Run(settings, *window_, Stop());
            if (!fetched.ok()) {
                // A cancelled launch says nothing more: the player asked for it.
                if (!Stop().stop_requested()) Fail(fetched.error());
                return;
            }
        }
        ShowStartProgress(*window_, 40);
        auto animation = std::make_shared<ProgressAnimation>(window_, ctx_.clock, 40);
        ctx_.workers.Start([animation](std::stop_token s) { animation->Run(s); });
        window_->SetText(kStartStep, kStepStarting + java->note);

        const launch::LaunchPlan plan = PlanFrom(settings, ctx_.state.accounts.Texts());
        ctx_.state.launch_error.Set("");
        ctx_.state.game_pid = 0;
        const Result<launch::StartedGame> game = services_.start_game
                                                     ? services_.start_game(plan, Stop())
                                                     : launch::Launcher(ctx_.host, ctx_.random).Start(plan, Stop());
        const std::int64_t started_ms = ctx_.clock.NowMs();
        // The launch used the stand-in watermark for an empty setting; a
        // setting that is the stand-in itself is empty again afterwards.
        ctx_.state.settings.Update([](SettingsRecord& s) {
            s.game_window_watermark = launch::WatermarkSettingAfterLaunch(s.game_window_watermark);
        });

        if (!game.ok()) {
            animation->Finish();
            // A cancelled launch says nothing more: the player asked for it.
            if (!Stop().stop_requested()) Fail(game.error());
            return;
        }
        ctx_.state.game_pid = game->pid;
        if (Stop().stop_requested()) {
            // Cancelled while the game was being started: it runs on, unwatched.
            animation->Finish();
            return;
        }
        animation->Finish(100);
        window_->SetText(kStartStep, kStepWaiting + java->note);
        auto watcher = std::make_shared<GameWatcher>(
            ctx_, window_, services_,
            GameWatch{game->pid, plan.window_title, plan.after_launch_action, game->log_path, started_ms});
        ctx_.workers.Start([watcher, self = shared_from_this()](std::stop_token s) {
            const std::stop_callback forward(s, [&self] { self->cancel_.request_stop(); });
            const bool early_end_watch = watcher->WatchStart(self->Stop());
            // The launch is over: a cancel no longer touches the launch state,
            // which may be a newer launch's by now.
            self->active_ = false;
            if (early_end_watch) watcher->WatchFirstMinute(self->Stop());
        });
    }

    // No version is selected. When the version box is empty too, there is
    // none to choose: the message says how to install one and, when the
    // download window can be opened from here, offers to open it.
    void FailWithoutVersion() {
        const bool none_installed = !ctx_.main_window || ctx_.main_window->Items("版本框").empty();
        if (!none_installed) {
            Fail(kErrorNoVersion);
            return;
        }
        active_ = false;
        ctx_.state.launch_error.Set(kErrorNoVersion);
        const bool offer = static_cast<bool>(services_.open_download_window);
        const std::string text = std::string(kLaunchFailedPrefix) + kErrorNoVersion + kNoVersionHint +
                                 (offer ? kNoVersionOffer : "");
        ctx_.state.launch_in_progress = false;
        window_->CloseWindow();
        const toolkit::MessageAnswer answer =
            ctx_.app.ShowMessageBox(text, kLaunchFailedCaption, toolkit::MessageIcon::Error,
                                    offer ? toolkit::MessageButtons::YesNo : toolkit::MessageButtons::Ok);
        if (offer && answer == toolkit::MessageAnswer::Yes) services_.open_download_window();
    }

    void Fail(const std::string& error) {
        active_ = false;
        ctx_.state.launch_error.Set(error);
        ctx_.app.ShowMessageBox(std::string(kLaunchFailedPrefix) + error, kLaunchFailedCaption,
                                toolkit::MessageIcon::Error);
        ctx_.state.launch_in_progress = false;
        window_->CloseWindow();
    }

    LauncherContext& ctx_;
    const LaunchServices services_;
    std::shared_ptr<toolkit::Surface> window_;
    std::stop_source cancel_;
    std::atomic<bool> active_{false};  // from the request until the launch is over or cancelled
};

// The launch button's behaviour for the life of the main window.
class LaunchFlow {
public:
    LaunchFlow(LauncherContext& ctx, LaunchServices services) : ctx_(ctx), services_(std::move(services)) {}

    void Clicked() {
        // One launch at a time: a click while one runs does nothing.
        if (ctx_.state.launch_in_progress) return;
        ctx_.state.music_playing = false;
        if (const auto player = ctx_.state.music.Get()) player->Pause();

        const SettingsRecord settings = ctx_.state.settings.Get();
        auto window = ctx_.app.CreateSurface(
            toolkit::GameStartWindowDef(settings.game_window_width,
                                        settings.game_window_height + kStartWindowExtraHeight),
            ctx_.main_window.get());
        auto run = std::make_shared<LaunchRun>(ctx_, services_, window);
        // The run keeps its window; its workers keep the run. The handler
        // holds it weakly, or the window would keep itself alive.
        current_ = run;
        const std::weak_ptr<LaunchRun> weak = run;
        window->On(toolkit::kGameStartWindow, toolkit::Event::WindowCreated, [weak](const toolkit::EventArgs&) {
            if (const auto launch = weak.lock()) launch->Request();
        });
        window->On(toolkit::kGameStartWindow, toolkit::Event::KeyPressed, [weak](const toolkit::EventArgs& args) {
            if (args.key_code != toolkit::kKeyEscape) return;
            if (const auto launch = weak.lock()) launch->Cancel();
        });
        window->On(kStartCancel, toolkit::Event::Click, [weak](const toolkit::EventArgs&) {
            if (const auto launch = weak.lock()) launch->Cancel();
        });
        window->ShowWindow();
    }

private:
    LauncherContext& ctx_;
    const LaunchServices services_;
    std::shared_ptr<LaunchRun> current_;  // the latest launch; user-interface thread only
};

}  // namespace

void WireLaunch(LauncherContext& ctx) {
    LaunchServices services = LaunchServices::Platform();
    services.open_download_window = [&ctx] { OpenDownloadWindow(ctx); };
    WireLaunch(ctx, std::move(services));
}

void WireLaunch(LauncherContext& ctx, LaunchServices services) {
    if (!ctx.main_window) return;
    auto flow = std::make_shared<LaunchFlow>(ctx, std::move(services));
    ctx.main_window->On(kLaunchButton, toolkit::Event::Click,
                        [flow](const toolkit::EventArgs&) { flow->Clicked(); });
}

}  // namespace kestrel::shell
