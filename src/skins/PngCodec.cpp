#include "skins/PngCodec.h"

#include <png.h>

#include <csetjmp>
#include <cstring>
#include <vector>

namespace kestrel::skins {

namespace {

// Everything a libpng call fills lives here, outside the frame that calls
// setjmp: after a longjmp only memory, not local variables, is trusted.
struct ReadState {
    std::string_view bytes;
    std::size_t position = 0;
    std::vector<unsigned char> rgba;
    std::vector<png_bytep> rows;
    png_uint_32 width = 0;
    png_uint_32 height = 0;
};

struct WriteState {
    std::string bytes;
    std::vector<unsigned char> rgba;
    std::vector<png_bytep> rows;
};

[[noreturn]] void OnError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void OnWarning(png_structp, png_const_charp) {}

void ReadBytes(png_structp png, png_bytep out, png_size_t count) {
    auto* state = static_cast<ReadState*>(png_get_io_ptr(png));
    if (count > state->bytes.size() - state->position) png_error(png, "truncated");
    std::memcpy(out, state->bytes.data() + state->position, count);
    state->position += count;
}

void WriteBytes(png_structp png, png_bytep data, png_size_t count) {
    auto* state = static_cast<WriteState*>(png_get_io_ptr(png));
    state->bytes.append(reinterpret_cast<const char*>(data), count);
}

void FlushNothing(png_structp) {}

// Decodes into state->rgba; false on any error. Only trivial locals here, and
// none changes after setjmp.
bool ReadPng(ReadState* state) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, OnError, OnWarning);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_set_read_fn(png, state, ReadBytes);
    png_set_user_limits(png, kMaxPngSide, kMaxPngSide);
    // Ancillary chunks (text, ICC profiles) are not needed; cap what they may hold.
    png_set_chunk_malloc_max(png, std::size_t{4} << 20);
    png_read_info(png, info);

    // Palette, low-depth grey and tRNS become 8-bit channels with alpha; grey
    // becomes RGB; 16-bit channels lose their low byte; a missing alpha is opaque.
    png_set_expand(png);
    png_set_gray_to_rgb(png);
    png_set_strip_16(png);
    png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);

    state->width = png_get_image_width(png, info);
    state->height = png_get_image_height(png, info);
    if (png_get_rowbytes(png, info) != std::size_t{state->width} * 4) png_error(png, "unexpected row size");
    state->rgba.assign(std::size_t{state->width} * state->height * 4, 0);
    state->rows.resize(state->height);
    for (png_uint_32 y = 0; y < state->height; ++y) {
        state->rows[y] = state->rgba.data() + std::size_t{y} * state->width * 4;
    }
    png_read_image(png, state->rows.data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

bool WritePng(WriteState* state, png_uint_32 width, png_uint_32 height) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, OnError, OnWarning);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, state, WriteBytes, FlushNothing);
    png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_write_image(png, state->rows.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

Image DecodePng(std::string_view bytes) {
    if (bytes.size() < 8 || png_sig_cmp(reinterpret_cast<png_const_bytep>(bytes.data()), 0, 8) != 0) return {};
    ReadState state;
    state.bytes = bytes;
    if (!ReadPng(&state)) return {};
    Image image(static_cast<int>(state.width), static_cast<int>(state.height));
    std::vector<Argb>& pixels = image.pixels();
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        const unsigned char* p = &state.rgba[i * 4];
        pixels[i] = MakeArgb(p[3], p[0], p[1], p[2]);
    }
    return image;
}

std::string EncodePng(const Image& image) {
    if (image.empty()) return {};
    WriteState state;
    const std::vector<Argb>& pixels = image.pixels();
    state.rgba.resize(pixels.size() * 4);
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        const Argb pixel = pixels[i];
        state.rgba[i * 4 + 0] = static_cast<unsigned char>(pixel >> 16);
        state.rgba[i * 4 + 1] = static_cast<unsigned char>(pixel >> 8);
        state.rgba[i * 4 + 2] = static_cast<unsigned char>(pixel);
        state.rgba[i * 4 + 3] = static_cast<unsigned char>(pixel >> 24);
    }
    state.rows.resize(static_cast<std::size_t>(image.height()));
    for (int y = 0; y < image.height(); ++y) {
        state.rows[static_cast<std::size_t>(y)] =
            state.rgba.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(image.width()) * 4;
    }
    if (!WritePng(&state, static_cast<png_uint_32>(image.width()), static_cast<png_uint_32>(image.height()))) {
        return {};
    }
    return std::move(state.bytes);
}

}  // namespace kestrel::skins
