#pragma once

// The download window ("下载游戏", 790 × 486): the version catalogue in a
// list, filtered by type (releases when it opens) and by a search box, the
// installed versions marked; for the chosen version a loader ("无",
// "Fabric", "Quilt", "Forge", "NeoForge") and that loader's versions for it,
// and the name the new version gets, checked as it is typed
// (VersionNameCheck.h). "安装" installs on a worker with a progress bar,
// files, megabytes, speed and time left; "取消" stops it within a moment
// and what was finished stays. A failure is said in a message box. When an
// install ends the new version is the selected one, the options file is
// saved, and the main window's version box lists and shows it.
//
// The catalogue and the loader versions load on workers; the window answers
// at once, says "正在获取版本列表…" meanwhile, and offers "重试" when a list
// could not be fetched. Closing the window during an install asks whether to
// stop it; "否" brings the window back and the install goes on.
//
// Not modal, owned by the main window, one at a time: opening it while it is
// open brings the open one back (the window is kept in
// ctx.state.download_window).
//
// Threading: call OpenDownloadWindow on the user-interface thread. Handlers
// run there; the lists and the install run on workers of ctx.workers, which
// write their progress through the surface and hand their results back to
// the user-interface thread (Application::Post), so the list and the choice
// only ever change there.

#include <memory>

#include "shell/DownloadSources.h"
#include "shell/LauncherContext.h"
#include "toolkit/Surface.h"

namespace kestrel::shell {

inline constexpr const char* kDownloadCaption = "下载游戏";
inline constexpr const char* kCatalogueLoading = "正在获取版本列表…";
inline constexpr const char* kCatalogueFailed = "获取版本列表失败,请检查网络连接后重试。\r\n";
inline constexpr const char* kCatalogueNoMatch = "没有符合条件的版本";
inline constexpr const char* kLoadersLoading = "正在获取加载器版本…";
inline constexpr const char* kLoadersFailed = "获取加载器版本失败:";
inline constexpr const char* kLoadersNone = "这个版本还没有可用的 ";  // + the loader's caption
inline constexpr const char* kUnstableMark = " (测试版)";
inline constexpr const char* kInstallPreparing = "正在准备安装…";
inline constexpr const char* kInstallCancelling = "正在取消…";
inline constexpr const char* kInstallCancelled = "已取消安装";
inline constexpr const char* kInstallFailedStep = "安装失败";
inline constexpr const char* kInstallFailedText = "安装失败!\r\n错误信息:";
inline constexpr const char* kInstallDone = "安装完成: ";
// Before the version's name; the question follows.
inline constexpr const char* kStopInstallText = "正在安装 ";
inline constexpr const char* kStopInstallQuestion = ",要停止安装吗?\r\n已经下载完成的文件会保留。";

// Opens the download window with the launcher's installing code. The main
// window's "下载游戏" button and the launch's "no version" message call it.
void OpenDownloadWindow(LauncherContext& ctx);

// The same with the given sources; returns the window (also kept in
// ctx.state.download_window).
std::shared_ptr<toolkit::Surface> OpenDownloadWindow(LauncherContext& ctx, const DownloadSources& sources);

}  // namespace kestrel::shell
