#pragma once

// DecodePicture turns the bytes of a picture file into an image for a
// picture control. A picture larger than any window it may fill (a player's
// 8000 × 6000 photograph as the background) is scaled down while it is read:
// decoded whole it would exceed Qt's allocation limit and come out empty.
//
// Threading: a free function on its own data; safe from any thread.

#include <QByteArray>
#include <QImage>

namespace kestrel::toolkit::qt {

// The longest side a decoded picture keeps; larger ones are scaled down to
// it, keeping their proportions.
inline constexpr int kLargestPictureSide = 4096;

// The decoded picture, or a null image when the bytes are no picture.
QImage DecodePicture(const QByteArray& bytes);

}  // namespace kestrel::toolkit::qt
