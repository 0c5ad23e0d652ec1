#pragma once

// The game-start window: shown from the launch click until the after-launch
// action closes it, with the loading picture, a progress bar, its percentage,
// the current step and a close control that cancels the launch. These are its control names, its texts, and its
// layout for the game window's size.
//
// Threading: free functions on a Surface; any thread may call them (the
// Surface queues the writes).

#include <string>

#include "toolkit/Surface.h"

namespace kestrel::shell {

inline constexpr const char* kStartBackground = "背景";
inline constexpr const char* kStartLoading = "游戏初始化";
inline constexpr const char* kStartProgress = "初始化进度";
inline constexpr const char* kStartPercent = "初始化进度_文字";
inline constexpr const char* kStartStep = "初始化进度_文字1";
// The small close control in the window's top right corner that cancels
// the launch.
inline constexpr const char* kStartCancel = "取消启动";

inline constexpr const char* kStepChecking = "正在检查参数";
inline constexpr const char* kStepStarting = "正在启动游戏";
inline constexpr const char* kStepWaiting = "正在等待游戏启动";

// The message box of every launch failure: the prefix and the error text,
// captioned kLaunchFailedCaption, with the error icon.
inline constexpr const char* kLaunchFailedPrefix = "启动失败!\r\n错误信息:";
inline constexpr const char* kLaunchFailedCaption = "ERROR";
inline constexpr const char* kErrorNoVersion = "您并未选择要启动的版本!";
// After kErrorNoVersion when the game folder has no version at all.
inline constexpr const char* kNoVersionHint = "\r\n游戏目录里还没有任何版本,点击主界面的“下载游戏”即可安装。";
inline constexpr const char* kNoVersionOffer = "\r\n是否现在打开下载窗口?";

// The window's height above the game window's height.
inline constexpr int kStartWindowExtraHeight = 30;

// Lays the window out for its size (width x height, as it was built) and
// the game window's size from the settings: the background and the loading
// picture cover the window and one pixel more; the progress bar is as wide
// as the window is high when the game window is wider than high, else 240
// pixels narrower than the window, and stands three quarters down; the two
// labels follow it, 27 and 29 pixels apart. Everything is centred; positions
// are worked out in floating point and truncated towards zero.
void LayOutGameStartWindow(toolkit::Surface& window, int width, int height, int game_width, int game_height);

// Shows percent on the progress bar and as "N%" beside it.
void ShowStartProgress(toolkit::Surface& window, int percent);

}  // namespace kestrel::shell
