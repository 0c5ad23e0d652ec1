#pragma once

// PNG bytes to an Image and back, with libpng. Decoding accepts every PNG
// colour type and bit depth (palette, grey, 16-bit, interlaced, tRNS) and
// gives 8-bit ARGB; bytes that are not a whole, valid PNG give an empty
// image. An image wider or higher than kMaxPngSide is refused before any
// pixel memory is allocated, so a hostile header cannot exhaust memory.
//
// Threading: pure functions; each call has its own libpng state.

#include <string>
#include <string_view>

#include "skins/Image.h"

namespace kestrel::skins {

inline constexpr int kMaxPngSide = 4096;

// The decoded picture, or an empty image.
Image DecodePng(std::string_view bytes);

// The picture as an 8-bit RGBA PNG; empty bytes for an empty image.
std::string EncodePng(const Image& image);

}  // namespace kestrel::skins
