#pragma once

// The events a control or a window reports to the behaviour code, and what
// comes with them.
//
// Events report what the player did: a click, a choice from a list, a key, an
// edit, a slider dragged. Changes made through a Surface (SetText,
// SetCurrentIndex, SetValue, ...) never fire events, so a handler that fills a
// control does not call itself back.
//
// Threading: plain value types; no shared state.

#include <functional>
#include <string>

namespace kestrel::toolkit {

enum class Event {
    Click,           // buttons, labels, pictures, switches, radio buttons
    ItemSelected,    // a combo box item chosen by the player
    ListOpened,      // a combo box's list about to open
    KeyPressed,      // a key pressed in an edit, or (under the window's own name)
                     // in a window where no edit took it; key_code as below
    ContentChanged,  // an edit's text changed by the player
    PositionChanged, // a slider moved by the player; value is the position
    WindowCreated,   // the window opened for the first time
    WindowDrawn,     // its first frame is drawn (once; a window not drawn
                     // soon after it opened, a minimised one, fires it then)
    WindowClosed,    // the window closed (by its close button or CloseWindow)
};

// Key codes of KeyPressed follow the Windows virtual-key numbering the
// launcher's rules are written in: Enter 13, Escape 27, '0'..'9' 48..57,
// 'A'..'Z' 65..90, keypad digits 96..105, keypad separator 108, F1 112, ...
inline constexpr int kKeyEnter = 13;
inline constexpr int kKeyEscape = 27;
inline constexpr int kKeySeparator = 108;

struct EventArgs {
    int key_code = 0;  // KeyPressed
    int index = -1;    // ItemSelected: the chosen item
    int value = 0;     // PositionChanged: the new position
    std::string text;  // ItemSelected: the item's text; ContentChanged: the new text
};

using Handler = std::function<void(const EventArgs&)>;

const char* EventName(Event event);

}  // namespace kestrel::toolkit
