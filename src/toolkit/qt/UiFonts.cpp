#include "toolkit/qt/UiFonts.h"

#include <array>

#if defined(KESTREL_UI_FONT_DIR)

#include "toolkit/EmbeddedFile.h"

// The font files are built into the program as the artwork is
// (EmbeddedFile.h); Qt reads them in place.
#define KESTREL_UI_FONT(symbol, file) KESTREL_EMBED_FILE(symbol, KESTREL_UI_FONT_DIR "/" file)

KESTREL_UI_FONT(kestrel_ui_font_sans, "KestrelSans.otf");
KESTREL_UI_FONT(kestrel_ui_font_han, "KestrelSansHan.otf");

namespace kestrel::toolkit::qt {
namespace {

std::string_view Bytes(const char* begin, const char* end) {
    return {begin, static_cast<std::size_t>(end - begin)};
}

const std::array kFonts = {
    UiFont{"Kestrel Sans", Bytes(kestrel_ui_font_sans_begin, kestrel_ui_font_sans_end)},
    UiFont{"Kestrel Sans Han", Bytes(kestrel_ui_font_han_begin, kestrel_ui_font_han_end)},
};

}  // namespace

std::span<const UiFont> UiFonts() { return kFonts; }

}  // namespace kestrel::toolkit::qt

#else

namespace kestrel::toolkit::qt {

std::span<const UiFont> UiFonts() { return {}; }

}  // namespace kestrel::toolkit::qt

#endif
