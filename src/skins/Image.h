#pragma once

// Image is a small 32-bit ARGB picture (one 0xAARRGGBB word a pixel, rows top
// to bottom, straight, not premultiplied alpha) with the few operations the
// skin pictures need: cutting a region, flipping it, and drawing it scaled
// into another image by nearest neighbour with source-over blending.
//
// Threading: a plain value type.

#include <cstdint>
#include <vector>

namespace kestrel::skins {

using Argb = std::uint32_t;

inline constexpr Argb MakeArgb(std::uint8_t a, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return (Argb{a} << 24) | (Argb{r} << 16) | (Argb{g} << 8) | Argb{b};
}
inline constexpr std::uint8_t AlphaOf(Argb pixel) { return static_cast<std::uint8_t>(pixel >> 24); }

struct Rect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

class Image {
public:
    Image() = default;
    // A fully transparent image; negative sizes count as 0.
    Image(int width, int height);

    int width() const { return width_; }
    int height() const { return height_; }
    bool empty() const { return pixels_.empty(); }

    // The pixel at (x, y); fully transparent outside the image.
    Argb At(int x, int y) const;
    // Sets the pixel at (x, y); a place outside the image is ignored.
    void Set(int x, int y, Argb pixel);

    // A copy of the region; the parts of it outside this image are transparent.
    Image Cut(const Rect& region) const;
    // The image flipped left to right.
    Image Mirrored() const;

    // Draws source scaled by nearest neighbour into destination (clipped to
    // this image), blending source over what is there by its per-pixel alpha.
    void Draw(const Image& source, const Rect& destination);

    // Replaces every pixel equal to from with to.
    void Replace(Argb from, Argb to);

    std::vector<Argb>& pixels() { return pixels_; }
    const std::vector<Argb>& pixels() const { return pixels_; }

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<Argb> pixels_;
};

}  // namespace kestrel::skins
