#include "toolkit/ControlKind.h"
#include "toolkit/Event.h"

namespace kestrel::toolkit {

std::string_view KindName(ControlKind kind) {
    switch (kind) {
        case ControlKind::Frame: return "frame";
        case ControlKind::Panel: return "panel";
        case ControlKind::Picture: return "picture";
        case ControlKind::Label: return "label";
        case ControlKind::Button: return "button";
        case ControlKind::Edit: return "edit";
        case ControlKind::PasswordEdit: return "password edit";
        case ControlKind::ComboBox: return "combo box";
        case ControlKind::ProgressBar: return "progress bar";
        case ControlKind::Slider: return "slider";
        case ControlKind::Switch: return "switch";
        case ControlKind::RadioButton: return "radio button";
        case ControlKind::TextBox: return "text box";
        case ControlKind::List: return "list";
        case ControlKind::MediaPlayer: return "media player";
    }
    return "unknown";
}

const char* EventName(Event event) {
    switch (event) {
        case Event::Click: return "click";
        case Event::ItemSelected: return "item selected";
        case Event::ListOpened: return "list opened";
        case Event::KeyPressed: return "key pressed";
        case Event::ContentChanged: return "content changed";
        case Event::PositionChanged: return "position changed";
        case Event::WindowCreated: return "window created";
        case Event::WindowDrawn: return "window drawn";
        case Event::WindowClosed: return "window closed";
    }
    return "unknown";
}

}  // namespace kestrel::toolkit
