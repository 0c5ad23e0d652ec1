#pragma once

// The windows of other programs: finding the game's window once it is up,
// and renaming it. The game-window watcher uses these after a launch.
//
// On Linux this talks to the X server named by $DISPLAY. The top-level
// windows are the window manager's client list (_NET_CLIENT_LIST on the root
// window) when there is one, else the root window's children; a window
// belongs to a process when its _NET_WM_PID names it, and it is visible when
// it is viewable (mapped, and so are its ancestors). A window that is
// transient for another one (a dialog) is owned and does not count as a
// top-level window of its own. Without a display (none named, or the server
// cannot be reached) nothing is found and nothing can be renamed.
//
// Threading: free functions; each call opens a connection of its own and
// closes it before it returns, so any thread may call them at any time.

#include <cstdint>
#include <string>

namespace kestrel::platform {

// A window of the window system; kNoWindow is none.
using WindowId = std::uint64_t;
inline constexpr WindowId kNoWindow = 0;

// The first visible top-level window of the process pid, or kNoWindow.
WindowId FindWindowOf(int pid);

// Replaces the window's title (UTF-8). False when the window does not exist
// (any more) or there is no display.
bool SetWindowTitle(WindowId window, const std::string& title);

// The window's title as window managers read it (UTF-8); "" when it has
// none, the window does not exist or there is no display.
std::string WindowTitle(WindowId window);

}  // namespace kestrel::platform
