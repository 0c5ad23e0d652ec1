#pragma once

// ControlKind names what a control of a window table is. The kinds are the
// ones the launcher's windows are drawn with; a backend maps each kind to one
// widget of its GUI library.
//
// Threading: a plain enum; no shared state.

#include <string_view>

namespace kestrel::toolkit {

enum class ControlKind {
    Frame,         // the skinned window frame: border, title bar, caption
    Panel,         // a semi-transparent container
    Picture,       // an image, stretched to the control; may hold children
    Label,         // one or more lines of text; CR LF breaks a line
    Button,
    Edit,          // one-line text entry
    PasswordEdit,  // one-line text entry that hides what is typed
    ComboBox,      // a drop-down list with a text of its own
    ProgressBar,   // value within a range, with an optional second value
    Slider,        // position within a range, with an optional second marker
    Switch,        // an on/off toggle
    RadioButton,
    TextBox,       // read-only text of several lines that scrolls
    List,          // rows to choose from, one an item; a tab parts an item's
                   // columns, and the caption names the columns the same way
    MediaPlayer,   // invisible; music is played through Application
};

// The kind's name as the window tables and test messages write it.
std::string_view KindName(ControlKind kind);

}  // namespace kestrel::toolkit
