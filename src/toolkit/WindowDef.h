#pragma once

// WindowDef is the table of one window: its name (used for window events),
// its title (what the system's task bar shows), the caption its skinned frame
// draws, its size and its controls. Controls are listed parents first; a
// later control lies above an earlier sibling.
//
// Threading: a plain value type; no shared state.

#include <string>
#include <vector>

#include "toolkit/ControlDef.h"

namespace kestrel::toolkit {

struct WindowDef {
    std::string name;
    std::string title;
    std::string frame_caption;  // "" = the window has no frame control
    int width = 0;
    int height = 0;
    std::vector<ControlDef> controls;
    // A control that covers the whole window when the window first shows
    // (the main window's start-up overlay), or "". Only it and the controls
    // inside it are seen in the first frame, so a backend may build the
    // others once that frame is drawn; each one is there whenever it is
    // asked for.
    std::string cover;

    // The control of that name, or nullptr.
    const ControlDef* Find(const std::string& control) const;
    // Every problem of the table: duplicate or empty names, a parent that is
    // unknown or listed after its child, a cover that is not in the table.
    // Empty when the table is sound.
    std::vector<std::string> Problems() const;
};

}  // namespace kestrel::toolkit
