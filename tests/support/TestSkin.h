#pragma once

// A 64 x 64 skin of one colour, told apart from the built-in default skin.

#include <string>

#include "skins/Image.h"
#include "skins/PngCodec.h"

namespace kestrel::testing {

inline std::string TestSkin(skins::Argb colour = 0xFF3366CC) {
    skins::Image image(64, 64);
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) image.Set(x, y, colour);
    }
    return skins::EncodePng(image);
}

}  // namespace kestrel::testing
