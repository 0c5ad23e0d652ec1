#pragma once

// The fonts the windows are drawn with, built into the program: "Kestrel
// Sans" holds every character of the launcher's own texts, "Kestrel Sans
// Han" the other common hanzi (GB 2312's first level) for texts that come
// from the network. Both are cut from Noto Sans CJK SC at build time
// (scripts/make-ui-font) and draw exactly as it does. The system's
// collection of that font is 19 MB, and drawing the main window from it
// mapped 6 MB of its pages; the launcher's own font is 230 KB, and the
// second one is read only when a text needs a character of it.
//
// Threading: the bytes are constant for the program's life; any thread may
// read them.

#include <span>
#include <string_view>

namespace kestrel::toolkit::qt {

struct UiFont {
    std::string_view family;
    std::string_view bytes;  // an OpenType font file
};

// The built-in fonts in the order a text looks for a glyph in them; empty
// in a program built without them (no fontTools or no Noto Sans CJK on the
// build machine), which draws with the system's CJK font instead.
std::span<const UiFont> UiFonts();

}  // namespace kestrel::toolkit::qt
