#pragma once

// The pictures the launcher makes from a player's skin (a PNG in the standard
// layout, 64 pixels wide and 32 or 64 high): the square head for the account
// panel, and the whole figure from the front and from behind for the account
// page. Each operation takes the skin's PNG bytes and returns PNG bytes of a
// 32-bit ARGB picture, or empty bytes when the skin is not a PNG (or the size
// asked for is out of range).
//
// The skin's own opaque black becomes (1, 1, 1) before it is cut, so that
// clearing the opaque black of the finished canvas (its background) leaves
// the figure whole. Regions are scaled by nearest neighbour.
//
// Threading: pure functions; any thread may call them.

#include <string>
#include <string_view>

namespace kestrel::skins {

// Head pictures are 1 to this many pixels square.
inline constexpr int kMaxHeadSize = 2048;

// The size of the front and back pictures.
inline constexpr int kFigureWidth = 157;
inline constexpr int kFigureHeight = 333;

// s × s: the face (8, 8, 8, 8) at (s/10, s/10) in a square of 8s/10, with the
// hat front (40, 8, 8, 8) over the whole square.
std::string HeadPicture(std::string_view skin_png, int size);

// The same with the back of the head (24, 8, 8, 8) and of the hat (56, 8, 8, 8).
std::string BackHeadPicture(std::string_view skin_png, int size);

// 157 × 333: the figure from the front. A 64 × 32 skin draws its right arm
// and leg twice, the second time mirrored; a 64 × 64 skin draws its own left
// limbs and the trouser layers. A skin of any other height gives a fully
// transparent picture.
std::string FrontPicture(std::string_view skin_png);

// 157 × 333: the figure from behind, by the same rules.
std::string BackPicture(std::string_view skin_png);

}  // namespace kestrel::skins
