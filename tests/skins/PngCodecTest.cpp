#include "skins/PngCodec.h"

#include <png.h>

#include <csetjmp>
#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

namespace kestrel::skins {
namespace {

// Writes a PNG of any colour type with libpng itself, so decoding is tested
// on the forms real skins come in (palette, grey, 16-bit, interlaced).
struct RawPng {
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    int bit_depth = 8;
    int color_type = PNG_COLOR_TYPE_RGBA;
    int interlace = PNG_INTERLACE_NONE;
    std::vector<std::vector<unsigned char>> rows;
    std::vector<png_color> palette;
    std::vector<unsigned char> palette_alpha;
};

void Append(png_structp png, png_bytep data, png_size_t count) {
    static_cast<std::string*>(png_get_io_ptr(png))->append(reinterpret_cast<const char*>(data), count);
}

std::string Encode(RawPng& raw) {
    std::string bytes;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    std::vector<png_bytep> rows;
    for (auto& row : raw.rows) rows.push_back(row.data());
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        ADD_FAILURE() << "libpng could not write the test picture";
        return {};
    }
    png_set_write_fn(png, &bytes, Append, nullptr);
    png_set_IHDR(png, info, raw.width, raw.height, raw.bit_depth, raw.color_type, raw.interlace,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!raw.palette.empty()) png_set_PLTE(png, info, raw.palette.data(), static_cast<int>(raw.palette.size()));
    if (!raw.palette_alpha.empty()) {
        png_set_tRNS(png, info, raw.palette_alpha.data(), static_cast<int>(raw.palette_alpha.size()), nullptr);
    }
    png_write_info(png, info);
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return bytes;
}

std::uint32_t Crc32(std::string_view bytes) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char byte : bytes) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void PutBigEndian(std::string& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + static_cast<std::size_t>(i)] = static_cast<char>(value >> (24 - 8 * i));
}

Image Sample() {
    Image image(5, 3);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 5; ++x) image.Set(x, y, MakeArgb(static_cast<std::uint8_t>(x * 60), 10, 20, static_cast<std::uint8_t>(y)));
    }
    return image;
}

TEST(PngCodec, RoundTripKeepsEveryChannel) {
    const Image image = Sample();
    const std::string bytes = EncodePng(image);
    ASSERT_EQ(bytes.substr(1, 3), "PNG");
    const Image decoded = DecodePng(bytes);
    ASSERT_EQ(decoded.width(), 5);
    ASSERT_EQ(decoded.height(), 3);
    EXPECT_EQ(decoded.pixels(), image.pixels());
    EXPECT_EQ(EncodePng(Image()), "");
}

TEST(PngCodec, DecodesPaletteGreyAndSixteenBitForms) {
    RawPng palette{2, 1, 8, PNG_COLOR_TYPE_PALETTE, PNG_INTERLACE_NONE, {{0, 1}}, {{255, 0, 0}, {0, 0, 255}}, {128}};
    RawPng grey{3, 1, 2, PNG_COLOR_TYPE_GRAY, PNG_INTERLACE_NONE, {{0b00011011}}, {}, {}};
    RawPng grey_alpha16{1, 1, 16, PNG_COLOR_TYPE_GRAY_ALPHA, PNG_INTERLACE_NONE, {{0x12, 0x34, 0xFF, 0xFF}}, {}, {}};
    RawPng rgb_interlaced{9, 9, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_ADAM7, {}, {}, {}};
    for (int y = 0; y < 9; ++y) {
        std::vector<unsigned char> row;
        for (int x = 0; x < 9; ++x) row.insert(row.end(), {static_cast<unsigned char>(x), static_cast<unsigned char>(y), 7});
        rgb_interlaced.rows.push_back(row);
    }
    const struct {
        RawPng* raw;
        int x, y;
        Argb expected;
    } cases[] = {
        {&palette, 0, 0, MakeArgb(128, 255, 0, 0)},  // tRNS gives the first entry its alpha
        {&palette, 1, 0, MakeArgb(255, 0, 0, 255)},
        {&grey, 0, 0, MakeArgb(255, 0, 0, 0)},
        {&grey, 1, 0, MakeArgb(255, 0x55, 0x55, 0x55)},
        {&grey, 2, 0, MakeArgb(255, 0xAA, 0xAA, 0xAA)},
        {&grey_alpha16, 0, 0, MakeArgb(255, 0x12, 0x12, 0x12)},
        {&rgb_interlaced, 8, 5, MakeArgb(255, 8, 5, 7)},
        {&rgb_interlaced, 3, 7, MakeArgb(255, 3, 7, 7)},
    };
    for (const auto& c : cases) {
        const Image image = DecodePng(Encode(*c.raw));
        ASSERT_EQ(image.width(), static_cast<int>(c.raw->width));
        EXPECT_EQ(image.At(c.x, c.y), c.expected) << "colour type " << c.raw->color_type << " at " << c.x;
    }
}

TEST(PngCodec, BrokenBytesGiveAnEmptyImage) {
    const std::string good = EncodePng(Sample());
    EXPECT_TRUE(DecodePng("").empty());
    EXPECT_TRUE(DecodePng("GIF89a not a png at all").empty());
    EXPECT_TRUE(DecodePng(std::string(1000, '\0')).empty());
    // Every truncation, from inside the signature to the missing end chunk.
    for (std::size_t length = 0; length < good.size(); ++length) {
        EXPECT_TRUE(DecodePng(good.substr(0, length)).empty()) << length;
    }
    // A flipped byte anywhere either fails a checksum or still decodes to a
    // picture of a sane size; it never reads out of bounds (the sanitizers watch).
    for (std::size_t at = 8; at < good.size(); ++at) {
        std::string bad = good;
        bad[at] = static_cast<char>(bad[at] ^ 0x5A);
        const Image image = DecodePng(bad);
        EXPECT_LE(image.width(), kMaxPngSide);
        EXPECT_LE(image.height(), kMaxPngSide);
    }
}

TEST(PngCodec, HugeDimensionsAreRefusedBeforeAllocating) {
    // A well-formed header (with a correct checksum) claiming 100000 × 100000
    // pixels, followed by the sample's small data.
    for (const std::uint32_t side : {100000u, static_cast<std::uint32_t>(kMaxPngSide) + 1}) {
        std::string bytes = EncodePng(Sample());
        PutBigEndian(bytes, 16, side);
        PutBigEndian(bytes, 20, side);
        PutBigEndian(bytes, 29, Crc32(std::string_view(bytes).substr(12, 17)));
        EXPECT_TRUE(DecodePng(bytes).empty()) << side;
    }
}

}  // namespace
}  // namespace kestrel::skins
