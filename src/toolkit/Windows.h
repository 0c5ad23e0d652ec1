#pragma once

// The window tables of the launcher. Each table lists every named control of
// its window with its designed place and caption; the behaviour code then
// moves, fills, shows and hides them by name.
//
// Controls that a layout moves into the account panel later (the account and
// password boxes, the Mojang notice) are designed at negative x, outside the
// panel, which clips them away until then. The start-up overlay `初始化` is
// designed far to the right (x 5000), out of sight, until the start-up moves
// it over the window.
//
// Threading: pure functions returning values; any thread may call them.

#include "toolkit/WindowDef.h"

namespace kestrel::toolkit {

// Window names, used for the window events (created, closed).
inline constexpr const char* kMainWindow = "主窗口";
inline constexpr const char* kGameStartWindow = "游戏启动窗口";
inline constexpr const char* kSettingsWindow = "设置窗口";
inline constexpr const char* kDownloadWindow = "下载窗口";

// The settings window's four page panels and the controls its flow names
// most often.
inline constexpr const char* kSettingsAccountPage = "设置_账户夹";
inline constexpr const char* kSettingsGeneralPage = "设置_通用夹";
inline constexpr const char* kSettingsPersonalPage = "设置_个性化夹";
inline constexpr const char* kSettingsAboutPage = "设置_关于夹";
inline constexpr const char* kSettingsJavaBox = "设置_通用_Java选项_Java地址_选择框";
inline constexpr const char* kSettingsThanksBox = "设置_关于_鸣谢_内容";

// The download window's controls that its flow names.
inline constexpr const char* kDownloadListPanel = "下载_版本面板";
inline constexpr const char* kDownloadInstallPanel = "下载_安装面板";
inline constexpr const char* kDownloadSearchBox = "下载_搜索框";
inline constexpr const char* kDownloadList = "下载_版本列表";
inline constexpr const char* kDownloadListNote = "下载_列表提示";
inline constexpr const char* kDownloadRetry = "下载_重试";
inline constexpr const char* kDownloadChosen = "下载_所选版本";
inline constexpr const char* kDownloadChosenKind = "下载_所选类型";
inline constexpr const char* kDownloadLoader = "下载_加载器";
inline constexpr const char* kDownloadLoaderVersion = "下载_加载器版本";
inline constexpr const char* kDownloadLoaderNote = "下载_加载器提示";
inline constexpr const char* kDownloadLoaderRetry = "下载_加载器重试";
inline constexpr const char* kDownloadName = "下载_名称";
inline constexpr const char* kDownloadNameNote = "下载_名称提示";
inline constexpr const char* kDownloadInstall = "下载_安装";
inline constexpr const char* kDownloadCancel = "下载_取消";
inline constexpr const char* kDownloadProgress = "下载_进度";
inline constexpr const char* kDownloadStep = "下载_进度_步骤";
inline constexpr const char* kDownloadFiles = "下载_进度_文件";
inline constexpr const char* kDownloadBytes = "下载_进度_大小";
inline constexpr const char* kDownloadSpeed = "下载_进度_速度";
inline constexpr const char* kDownloadTimeLeft = "下载_进度_剩余";

// The main window: 790 x 486, frame caption "Kestrel 2.0", title "Kestrel 2".
WindowDef MainWindowDef();

// The game-start window of width x height pixels (the launch passes the game
// window's width and its height plus 30), titled "Minecraft". The background
// and the loading panel cover the whole window; the progress bar and its two
// labels stand where they were designed, and the launch lays them out for the
// window's size. A small "×" label, 取消启动, in the top right corner is the
// close control that cancels the launch.
WindowDef GameStartWindowDef(int width, int height);

// The settings window: 790 x 486, titled "设置". A column of page buttons on
// the left and one page panel per page (account, general, personalisation,
// about), of which only the account page is visible when it opens; the
// version label at the bottom left.
WindowDef SettingsWindowDef();

// The download window: 790 x 486, titled "下载游戏", skinned like the
// settings window. On the left the version catalogue (three type switches,
// a search box and the list with the columns version, type, release date
// and state), with a line and a "重试" button that stand over the list while
// it loads or after it failed; on the right the chosen version, its loader
// and loader version, the name the new version gets, "安装" (and "取消" in
// its place while an install runs) and the install's progress.
WindowDef DownloadWindowDef();

}  // namespace kestrel::toolkit
