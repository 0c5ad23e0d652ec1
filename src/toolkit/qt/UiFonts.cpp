#include "toolkit/qt/UiFonts.h"

#include <array>

#if defined(KESTREL_UI_FONT_DIR)

// The font files are placed into the program's read-only data as they are,
// as the artwork is (toolkit/Assets.cpp). Qt reads them in place.
#define KESTREL_UI_FONT(symbol, file)                                      \
    extern "C" const char symbol##_begin[];                                \
    extern "C" const char symbol##_end[];                                  \
    asm(".pushsection .rodata\n"                                           \
        ".balign 16\n"                                                     \
        #symbol "_begin:\n"                                                \
        ".incbin \"" KESTREL_UI_FONT_DIR "/" file "\"\n"                   \
        #symbol "_end:\n"                                                  \
        ".popsection\n")

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
