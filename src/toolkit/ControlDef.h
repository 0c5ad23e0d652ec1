#pragma once

// ControlDef is one row of a window table: a named control with its kind, its
// parent (empty for the window itself), its designed position and size
// relative to the parent, its designed caption and whether it is visible when
// the window opens. Behaviour code refers to controls only by these names.
//
// Threading: a plain value type; no shared state.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "toolkit/ControlKind.h"

namespace kestrel::toolkit {

enum class TextAlign { Left, Center, Right };

struct ControlDef {
    std::string name;
    ControlKind kind = ControlKind::Label;
    std::string parent;  // "" = the window
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    std::string caption;
    bool visible = true;
    // Designed items of a combo box, in order.
    std::vector<std::string> items;
    // Designed text colour as ARGB; 0 leaves the skin's colour.
    std::uint32_t text_color = 0;
    // Designed text size in pixels; 0 leaves the skin's size.
    int font_px = 0;
    TextAlign align = TextAlign::Left;
};

// A row of a window table, as the tables write them.
inline ControlDef Control(std::string name, ControlKind kind, std::string parent, int x, int y, int width,
                          int height, std::string caption = "", bool visible = true) {
    ControlDef def;
    def.name = std::move(name);
    def.kind = kind;
    def.parent = std::move(parent);
    def.x = x;
    def.y = y;
    def.width = width;
    def.height = height;
    def.caption = std::move(caption);
    def.visible = visible;
    return def;
}

}  // namespace kestrel::toolkit
