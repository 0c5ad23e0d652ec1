#include "skins/Image.h"

#include <algorithm>

namespace kestrel::skins {

namespace {

std::uint8_t Channel(Argb pixel, int shift) { return static_cast<std::uint8_t>(pixel >> shift); }

// Source over destination with straight alpha, rounded to the nearest value.
Argb Blend(Argb source, Argb destination) {
    const std::uint32_t sa = AlphaOf(source);
    if (sa == 255) return source;
    if (sa == 0) return destination;
    const std::uint32_t da = AlphaOf(destination);
    // Alphas scaled by 255: out = sa + da * (1 - sa).
    const std::uint32_t da_part = da * (255 - sa);           // 0..65025
    const std::uint32_t out_a255 = sa * 255 + da_part;       // alpha × 255
    Argb result = MakeArgb(static_cast<std::uint8_t>((out_a255 + 127) / 255), 0, 0, 0);
    for (int shift : {16, 8, 0}) {
        const std::uint32_t value =
            (Channel(source, shift) * sa * 255 + Channel(destination, shift) * da_part + out_a255 / 2) / out_a255;
        result |= Argb{std::min<std::uint32_t>(value, 255)} << shift;
    }
    return result;
}

}  // namespace

Image::Image(int width, int height)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      pixels_(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), 0) {
    if (pixels_.empty()) width_ = height_ = 0;
}

Argb Image::At(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
    return pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x)];
}

void Image::Set(int x, int y, Argb pixel) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x)] = pixel;
}

Image Image::Cut(const Rect& region) const {
    Image part(region.width, region.height);
    for (int y = 0; y < part.height(); ++y) {
        for (int x = 0; x < part.width(); ++x) part.Set(x, y, At(region.x + x, region.y + y));
    }
    return part;
}

Image Image::Mirrored() const {
    Image flipped(width_, height_);
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) flipped.Set(width_ - 1 - x, y, At(x, y));
    }
    return flipped;
}

void Image::Draw(const Image& source, const Rect& destination) {
    if (source.empty() || destination.width <= 0 || destination.height <= 0) return;
    const int left = std::max(destination.x, 0);
    const int top = std::max(destination.y, 0);
    const int right = std::min<long long>(static_cast<long long>(destination.x) + destination.width, width_);
    const int bottom = std::min<long long>(static_cast<long long>(destination.y) + destination.height, height_);
    for (int y = top; y < bottom; ++y) {
        // The source pixel whose area holds the centre of this pixel.
        const long long offset_y = y - destination.y;
        const int sy = static_cast<int>((2 * offset_y + 1) * source.height() / (2LL * destination.height));
        for (int x = left; x < right; ++x) {
            const long long offset_x = x - destination.x;
            const int sx = static_cast<int>((2 * offset_x + 1) * source.width() / (2LL * destination.width));
            Set(x, y, Blend(source.At(sx, sy), At(x, y)));
        }
    }
}

void Image::Replace(Argb from, Argb to) {
    std::replace(pixels_.begin(), pixels_.end(), from, to);
}

}  // namespace kestrel::skins
