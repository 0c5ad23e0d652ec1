#include "shell/UpdateState.h"

#include "content/UpdateFeed.h"
#include "net/HttpSession.h"
#include "platform/Updater.h"
#include "toolkit/Assets.h"

namespace kestrel::shell {

namespace {

constexpr const char* kVersionLabel = "版本号显示";
constexpr const char* kUpdateIcon = "更新失败提示";

void Report(const StepReporter& report, const std::string& text, int percent) {
    if (report) report(text, percent);
}

void ApplyLabel(toolkit::Surface& window, const content::VersionLabel& label) {
    if (label.x != 0) {
        // The label keeps its designed height on the window. It is taken
        // from the table, not read back from the window: a worker's read
        // waits for the user-interface thread, which may be joining it.
        const toolkit::ControlDef* designed = window.Definition().Find(kVersionLabel);
        window.Move(kVersionLabel, label.x, designed ? designed->y : 434);
    }
    if (label.icon_shown) {
        window.SetPicture(kUpdateIcon, std::string(toolkit::Asset("update-failed.png")));
        window.Show(kUpdateIcon);
    }
    if (label.argb != 0) window.SetTextColor(kVersionLabel, label.argb);
    window.SetText(kVersionLabel, label.text);
    window.Show(kVersionLabel);
    if (label.hide_update_progress) {
        window.Hide("更新进度");
        window.Hide("更新进度_文字");
    }
}

}  // namespace

void StartUpdaterAndQuit(LauncherContext& ctx) {
    const std::string& path = ctx.paths.updater;
    if (!platform::StartUpdater(path).ok()) {
        ctx.app.ShowMessageBox(std::string(kUpdaterFailedText) + path, std::string(kUpdaterFailedCaption),
                               toolkit::MessageIcon::Warning);
    }
    ctx.app.Quit();
}

std::optional<content::LauncherUpdate> CheckForUpdates(LauncherContext& ctx, std::stop_token stop,
                                                        const StepReporter& report) {
    net::HttpOptions options;
    options.cancel = stop;
    const net::HttpSession session(options);
    const content::UpdateFeed feed(session, ctx.endpoints);
    const Constants constants = ctx.state.constants.Get();

    Report(report, "正在尝试连接Github仓库...", 20);
    std::string picture = feed.LoadingPicture();
    if (stop.stop_requested()) return std::nullopt;
    ctx.state.loading_picture.Set(std::move(picture));

    const bool answered = feed.ProbeServer();
    if (stop.stop_requested()) return std::nullopt;
    if (!answered && ctx.main_window) {
        ApplyLabel(*ctx.main_window, content::ProbeFailedLabel(constants.launcher_version));
    }

    Report(report, "正在检查更新(游戏客户端)...", 30);
    const bool client_update = feed.ClientUpdateNeeded(constants.client_version);
    if (stop.stop_requested()) return std::nullopt;
    if (client_update) {
        StartUpdaterAndQuit(ctx);
        return std::nullopt;
    }

    if (!ctx.clock.Sleep(500, stop)) return std::nullopt;

    Report(report, "正在检查更新(启动器)...", 30);
    content::LauncherUpdate update = feed.CheckLauncher(constants.launcher_version);
    if (stop.stop_requested()) return std::nullopt;
    if (update.state == content::UpdateState::kMandatoryUpdate) {
        StartUpdaterAndQuit(ctx);
        return std::nullopt;
    }
    return update;
}

void ShowUpdateState(LauncherContext& ctx, const content::LauncherUpdate& update) {
    if (!ctx.main_window) return;
    ApplyLabel(*ctx.main_window, content::VersionLabelFor(update, ctx.state.constants.Get().launcher_version));
}

void RunUpdateChecks(LauncherContext& ctx, std::stop_token stop, const StepReporter& report) {
    const auto update = CheckForUpdates(ctx, stop, report);
    if (!update) return;
    Report(report, content::StepText(update->state), 100);
    ShowUpdateState(ctx, *update);
}

void OnVersionLabelClick(LauncherContext& ctx) {
    if (!ctx.main_window) return;
    if (ctx.main_window->TextColor(kVersionLabel) != content::kOptionalColour) return;
    StartUpdaterAndQuit(ctx);
}

}  // namespace kestrel::shell
