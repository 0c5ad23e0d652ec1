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

// The main window: 790 x 486, frame caption "Kestrel 2.0", title "Kestrel 2".
WindowDef MainWindowDef();

// The game-start window of width x height pixels (the launch passes the game
// window's width and its height plus 30), titled "Minecraft". The background
// and the loading panel cover the whole window; the progress bar and its two
// labels stand where they were designed, and the launch lays them out for the
// window's size.
WindowDef GameStartWindowDef(int width, int height);

}  // namespace kestrel::toolkit
