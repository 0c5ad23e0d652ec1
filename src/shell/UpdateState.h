#pragma once

// The update checks of the start-up worker and the update state they leave
// on the main window's version label 版本号显示.
//
// In order, the worker reports "正在尝试连接Github仓库..." at 20 %, fetches
// the loading picture, probes the update server (no answer: the version label
// turns to its red failure form and the sign-in progress controls are
// hidden), reports "正在检查更新(游戏客户端)..." at 30 % and checks for a
// newer client package, waits 500 ms, reports "正在检查更新(启动器)..." at
// 30 % and checks for a newer launcher. A newer client package or a mandatory
// launcher update starts the updater beside the launcher and ends the
// launcher. Otherwise the check yields one of three states, reported at 100 %
// ("检查更新完成!", "检查更新完成,有新版本可以下载!", "未知错误") and then
// shown on the version label:
//
//   up to date       label text = launcher version, place and colour kept
//   optional update  x 260, icon 更新失败提示 shown, yellow FFFFEE00,
//                    "<version>,点击这里更新到<published>", progress hidden
//   unrecognised     x 260, icon shown, red FFFF0000, launcher version
//
// Should the updater fail to start, the player is told so in a message box
// before the launcher ends: a launcher that silently closes at every start
// leaves the player no clue.
//
// Every address comes from the context's endpoints (update, update_probe).
//
// Threading: CheckForUpdates and RunUpdateChecks block (downloads, waits) and
// run on the start-up worker; a stop request ends their downloads and waits
// at once, and they then return without touching the window. The others may
// run on any thread.

#include <optional>
#include <stop_token>

#include "content/UpdateCheck.h"
#include "shell/LauncherContext.h"

namespace kestrel::shell {

// The whole of the update part of the start-up worker: CheckForUpdates, the
// step text of the state at 100 %, then ShowUpdateState.
void RunUpdateChecks(LauncherContext& ctx, std::stop_token stop, const StepReporter& report);

// The worker's steps up to the launcher update check. Nothing when the
// launcher ends (the updater was started) or the stop was requested;
// otherwise the launcher update's state (never kMandatoryUpdate).
//
// A start-up that signs in automatically between the check and the final
// step calls this, then the sign-in, then reports
// content::StepText(update.state) at 100 % and calls ShowUpdateState.
std::optional<content::LauncherUpdate> CheckForUpdates(LauncherContext& ctx, std::stop_token stop,
                                                        const StepReporter& report);

// Shows the update state on 版本号显示 (and, for an optional update, hides
// 更新进度 and 更新进度_文字).
void ShowUpdateState(LauncherContext& ctx, const content::LauncherUpdate& update);

// Starts the updater beside the launcher (telling the player when it could
// not be started) and ends the launcher.
void StartUpdaterAndQuit(LauncherContext& ctx);

// The version label's click: in the optional-update state (text colour
// FFFFEE00) the player asked for the update, so the updater is started and
// the launcher ends; in every other state nothing happens. Runs on the
// user-interface thread.
void OnVersionLabelClick(LauncherContext& ctx);

// The text of the message box shown when the updater did not start.
inline constexpr std::string_view kUpdaterFailedText = "无法启动更新程序,请您手动更新启动器:\r\n";
inline constexpr std::string_view kUpdaterFailedCaption = "Kestrel2";

}  // namespace kestrel::shell
