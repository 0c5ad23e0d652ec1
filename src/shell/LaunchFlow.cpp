#include "shell/LaunchFlow.h"

#include <memory>

#include "launch/LaunchPlan.h"
#include "launch/Launcher.h"
#include "shell/GameStartWindow.h"
#include "shell/GameWatcher.h"
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
            Fail(kErrorNoVersion);
            return;
        }
        ctx_.state.launch_in_progress = true;
        const toolkit::WindowDef& def = window_->Definition();
        LayOutGameStartWindow(*window_, def.width, def.height, settings.game_window_width,
                              settings.game_window_height);
        // The update server's loading picture, when it came; the watcher
        // plays it while the game starts.
        const std::string picture = ctx_.state.loading_picture.Get();
        if (!picture.empty()) window_->SetPicture(kStartLoading, picture);
        ctx_.workers.Start([self = shared_from_this()](std::stop_token stop) { self->Work(stop); });
    }

private:
    void Work(std::stop_token stop) {
        ShowStartProgress(*window_, 0);
        window_->SetText(kStartStep, kStepChecking);
        ShowStartProgress(*window_, 40);
        auto animation = std::make_shared<ProgressAnimation>(window_, ctx_.clock, 40);
        ctx_.workers.Start([animation](std::stop_token s) { animation->Run(s); });
        window_->SetText(kStartStep, kStepStarting);

        const launch::LaunchPlan plan = PlanFrom(ctx_.state.settings.Get(), ctx_.state.accounts.Texts());
        ctx_.state.launch_error.Set("");
        ctx_.state.game_pid = 0;
        const Result<int> pid = launch::Launcher(ctx_.host, ctx_.random).Launch(plan);
        // The launch used the stand-in watermark for an empty setting; a
        // setting that is the stand-in itself is empty again afterwards.
        ctx_.state.settings.Update([](SettingsRecord& s) {
            s.game_window_watermark = launch::WatermarkSettingAfterLaunch(s.game_window_watermark);
        });

        if (!pid.ok()) {
            animation->Finish();
            Fail(pid.error());
            return;
        }
        ctx_.state.game_pid = *pid;
        if (!ctx_.state.launch_in_progress) {
            animation->Finish();
            return;
        }
        animation->Finish(100);
        window_->SetText(kStartStep, kStepWaiting);
        if (stop.stop_requested()) return;
        auto watcher = std::make_shared<GameWatcher>(
            ctx_, window_, services_, GameWatch{*pid, plan.window_title, plan.after_launch_action});
        ctx_.workers.Start([watcher](std::stop_token s) { watcher->Run(s); });
    }

    void Fail(const std::string& error) {
        ctx_.state.launch_error.Set(error);
        ctx_.app.ShowMessageBox(std::string(kLaunchFailedPrefix) + error, kLaunchFailedCaption,
                                toolkit::MessageIcon::Error);
        ctx_.state.launch_in_progress = false;
        window_->CloseWindow();
    }

    LauncherContext& ctx_;
    const LaunchServices services_;
    std::shared_ptr<toolkit::Surface> window_;
};

// The launch button's behaviour for the life of the main window.
class LaunchFlow {
public:
    LaunchFlow(LauncherContext& ctx, LaunchServices services) : ctx_(ctx), services_(std::move(services)) {}

    void Clicked() {
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
        window->On(toolkit::kGameStartWindow, toolkit::Event::WindowCreated,
                   [weak = std::weak_ptr<LaunchRun>(run)](const toolkit::EventArgs&) {
                       if (const auto launch = weak.lock()) launch->Request();
                   });
        window->ShowWindow();
    }

private:
    LauncherContext& ctx_;
    const LaunchServices services_;
    std::shared_ptr<LaunchRun> current_;  // the latest launch; user-interface thread only
};

}  // namespace

void WireLaunch(LauncherContext& ctx) { WireLaunch(ctx, LaunchServices::Platform()); }

void WireLaunch(LauncherContext& ctx, LaunchServices services) {
    if (!ctx.main_window) return;
    auto flow = std::make_shared<LaunchFlow>(ctx, std::move(services));
    ctx.main_window->On(kLaunchButton, toolkit::Event::Click,
                        [flow](const toolkit::EventArgs&) { flow->Clicked(); });
}

}  // namespace kestrel::shell
