#pragma once

// Translates a Qt key into the Windows virtual-key number that the
// launcher's key rules are written in (Enter 13, keypad separator 108, ...).
//
// Threading: a pure function; any thread.

#include <Qt>

namespace kestrel::toolkit::qt {

// 0 for keys that have no virtual-key number.
int WindowsKeyCode(int qt_key, Qt::KeyboardModifiers modifiers);

}  // namespace kestrel::toolkit::qt
