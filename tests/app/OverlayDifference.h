#pragma once

// How far a picture of the main window is from the start-up overlay's own
// picture: the summed colour differences on a 20-pixel grid over a region.
// 0 where the overlay covers the region fully; a faded overlay leaves the
// window's own look, far from it.
//
// Threading: any thread (QImage only, no application object needed).

#include <QImage>
#include <QRect>

#include <cstdlib>
#include <string_view>

#include "toolkit/Assets.h"

namespace kestrel::testing {

inline long long OverlayDifference(const QImage& window_picture, const QRect& region) {
    const std::string_view bytes = toolkit::Asset("overlay.png");
    const QImage overlay = QImage::fromData(reinterpret_cast<const uchar*>(bytes.data()), static_cast<int>(bytes.size()))
                               .scaled(790, 486)
                               .convertToFormat(QImage::Format_RGB32);
    const QImage picture = window_picture.convertToFormat(QImage::Format_RGB32);
    long long difference = 0;
    for (int y = region.top(); y <= region.bottom(); y += 20) {
        for (int x = region.left(); x <= region.right(); x += 20) {
            const QRgb a = picture.pixel(x, y), b = overlay.pixel(x, y);
            difference += std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) + std::abs(qBlue(a) - qBlue(b));
        }
    }
    return difference;
}

}  // namespace kestrel::testing
