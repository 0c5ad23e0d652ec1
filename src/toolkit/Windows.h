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

// The settings window's four page panels and the controls its flow names
// most often.
inline constexpr const char* kSettingsAccountPage = "设置_账户夹";
inline constexpr const char* kSettingsGeneralPage = "设置_通用夹";
inline constexpr const char* kSettingsPersonalPage = "设置_个性化夹";
inline constexpr const char* kSettingsAboutPage = "设置_关于夹";
inline constexpr const char* kSettingsJavaBox = "设置_通用_Java选项_Java地址_选择框";
inline constexpr const char* kSettingsThanksBox = "设置_关于_鸣谢_内容";

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

}  // namespace kestrel::toolkit
