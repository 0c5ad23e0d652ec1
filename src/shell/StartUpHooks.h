#pragma once

// StartUpHooks are the pieces of the launcher that the start-up sequence and
// the main window call but that live in other parts of the shell: sign-in,
// the launch, the settings window and the online content. The application
// fills them in; a hook left empty is a step that does nothing, so the
// start-up runs (and is tested) without any of them.
//
// Which thread calls which hook:
//   user-interface thread: wire_sign_in, wire_launch, wire_content (while the
//     main window is wired, before it opens), lay_out_account_panel (when the
//     main window is created), open_settings_window (the 设置按钮 click),
//     open_download_window (the 下载按钮 click);
//   the options loader: read_account_cache, first_java_path,
//     recommended_memory;
//   the start-up worker: run_update_checks, automatic_sign_in,
//     update_result_text, show_update_state (write the window through the
//     surface, which carries the writes to the user-interface thread);
//   a worker each: fill_notice_board, fill_status_board, load_slogans.
// Hooks that run on a worker get the worker's stop token and must end soon
// after it is requested; their waits go through the context's clock.
//
// Three more members answer questions about the machine: first_java_path,
// recommended_memory and machine_memory_mb. Left empty, the launcher asks the machine itself (Java
// discovery and the memory figures); tests give fixed answers.
//
// Threading: a plain value type; copy it before the workers start.

#include <cstdint>
#include <functional>
#include <stop_token>
#include <string>

#include "shell/LauncherContext.h"

namespace kestrel::shell {

struct StartUpHooks {
    using Wire = std::function<void(LauncherContext&)>;
    using Job = std::function<void(LauncherContext&, std::stop_token)>;
    using SteppedJob = std::function<void(LauncherContext&, std::stop_token, const StepReporter&)>;

    // --- sign-in ---
    // WireSignIn(MakeSignInContext(ctx)): the handlers of 登录按钮,
    // 登录方式, 注销按钮, 微软登录_取消登录 and Mojang登录_提示2.
    Wire wire_sign_in;
    // LayOutAccountPanel: the panel's layout for the account type
    // shown in 登录方式, applied once when the main window is created.
    Wire lay_out_account_panel;
    // accounts::ReadAccountCacheAtStart: reads the account cache into
    // ctx.state.accounts (AccountState::SetCached). The options loader runs
    // it after the settings are loaded and the version list is started.
    Wire read_account_cache;
    // AutomaticSignIn: run by the start-up worker (after the
    // "正在自动登录您的账号" step at 80 %) when the cache held a text.
    SteppedJob automatic_sign_in;

    // --- the launch ---
    // shell::WireLaunch: the 启动游戏按钮 click and everything after it.
    Wire wire_launch;

    // --- the settings window ---
    // shell::OpenSettingsWindow: the 设置按钮 click.
    Wire open_settings_window;
    // shell::OpenDownloadWindow: the 下载按钮 click.
    Wire open_download_window;

    // --- online content ---
    // shell::RunUpdateChecks: the start-up worker's first steps (20 % and
    // 30 %): the loading picture, the server probe, the client and launcher
    // update checks.
    SteppedJob run_update_checks;
    // The launcher update check's result text, shown at 100 %
    // ("检查更新完成,有新版本可以下载!", "检查更新完成!" or "未知错误").
    // Without it the 100 % step keeps the step text it had.
    std::function<std::string(LauncherContext&)> update_result_text;
    // Shows the update state on 版本号显示, the start-up worker's last step.
    Wire show_update_state;
    // shell::FillNoticeBoard and shell::FillStatusBoard, each on a worker.
    Job fill_notice_board;
    Job fill_status_board;
    // shell::LoadSlogans: fetches the slogans and shows one in 副标题, on a
    // worker of its own so no network request runs on the user-interface
    // thread.
    Job load_slogans;
    // shell::WireContent: the 副标题 and 版本号显示 clicks.
    Wire wire_content;

    // --- answers about the machine (empty: ask the machine) ---
    // The path of the first Java found, "" when there is none.
    std::function<std::string()> first_java_path;
    // The recommended heap in MB for the 64-bit table.
    std::function<std::int32_t()> recommended_memory;
    // The machine's total memory in MB, the highest memory setting the
    // options file may hold (0: no bound).
    std::function<std::int64_t()> machine_memory_mb;
};

}  // namespace kestrel::shell
