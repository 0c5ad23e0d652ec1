// The committed artwork has the formats and sizes the windows are laid out
// for; a regenerated file of another size would misfit its control.

#include <cstdint>
#include <string>

#include <gtest/gtest.h>

#include "platform/Files.h"
#include "toolkit/Assets.h"

namespace kestrel {
namespace {

std::string Asset(const std::string& name) {
    return platform::ReadFile(std::string(KESTREL_ASSETS_DIR) + "/" + name, 16 << 20).value_or("");
}

std::uint32_t Be32(const std::string& b, size_t at) {
    return (std::uint32_t(std::uint8_t(b[at])) << 24) | (std::uint32_t(std::uint8_t(b[at + 1])) << 16) |
           (std::uint32_t(std::uint8_t(b[at + 2])) << 8) | std::uint8_t(b[at + 3]);
}
std::uint32_t Le(const std::string& b, size_t at, int bytes) {
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | std::uint8_t(b[at + size_t(i)]);
    return v;
}

struct Dimensions {
    std::uint32_t width = 0, height = 0;
};

Dimensions PngSize(const std::string& b) {
    if (b.size() < 24 || b.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0 || b.compare(12, 4, "IHDR") != 0) return {};
    return {Be32(b, 16), Be32(b, 20)};
}

// Walks the JPEG segments to the frame header (SOF0..SOF2).
Dimensions JpegSize(const std::string& b) {
    if (b.size() < 4 || std::uint8_t(b[0]) != 0xFF || std::uint8_t(b[1]) != 0xD8) return {};
    size_t at = 2;
    while (at + 9 < b.size() && std::uint8_t(b[at]) == 0xFF) {
        const std::uint8_t marker = std::uint8_t(b[at + 1]);
        const size_t length = (size_t(std::uint8_t(b[at + 2])) << 8) | std::uint8_t(b[at + 3]);
        if (marker >= 0xC0 && marker <= 0xC2) {
            return {(std::uint32_t(std::uint8_t(b[at + 7])) << 8) | std::uint8_t(b[at + 8]),
                    (std::uint32_t(std::uint8_t(b[at + 5])) << 8) | std::uint8_t(b[at + 6])};
        }
        at += 2 + length;
    }
    return {};
}

TEST(Assets, PicturesHaveTheSizesOfTheirControls) {
    const struct {
        const char* file;
        std::uint32_t width, height;
    } pictures[] = {
        {"logo.png", 228, 45},           {"icon.png", 64, 64},
        {"badge-offline.png", 40, 24},   {"badge-mojang.png", 40, 24},
        {"badge-microsoft.png", 40, 24}, {"badge-authlib.png", 40, 24},
        {"update-failed.png", 20, 20},   {"overlay.png", 790, 486},
        {"server-icon.png", 64, 64},     {"skin.png", 64, 32},
    };
    for (const auto& p : pictures) {
        const Dimensions d = PngSize(Asset(p.file));
        EXPECT_EQ(d.width, p.width) << p.file;
        EXPECT_EQ(d.height, p.height) << p.file;
    }
    const Dimensions bg = JpegSize(Asset("background.jpg"));
    EXPECT_EQ(bg.width, 788u);
    EXPECT_EQ(bg.height, 455u);
}

TEST(Assets, LaunchSoundIsPcmWave48kStereo16Bit) {
    const std::string wav = Asset("launch.wav");
    ASSERT_GT(wav.size(), 44u);
    EXPECT_EQ(wav.substr(0, 4), "RIFF");
    EXPECT_EQ(wav.substr(8, 8), "WAVEfmt ");
    EXPECT_EQ(Le(wav, 4, 4), wav.size() - 8);
    EXPECT_EQ(Le(wav, 20, 2), 1u) << "PCM";
    EXPECT_EQ(Le(wav, 22, 2), 2u) << "channels";
    EXPECT_EQ(Le(wav, 24, 4), 48000u) << "sample rate";
    EXPECT_EQ(Le(wav, 34, 2), 16u) << "bits per sample";
    EXPECT_EQ(wav.substr(36, 4), "data");
    EXPECT_EQ(Le(wav, 40, 4), wav.size() - 44);
    // Not silent: some sample is loud.
    int peak = 0;
    for (size_t i = 44; i + 1 < wav.size(); i += 2) {
        const int v = std::int16_t(Le(wav, i, 2));
        peak = std::max(peak, v < 0 ? -v : v);
    }
    EXPECT_GT(peak, 10000);
}

TEST(Assets, BuiltInBytesAreTheFilesOfAssets) {
    for (const char* name : {"background.jpg", "badge-authlib.png", "badge-microsoft.png", "badge-mojang.png",
                             "badge-offline.png", "icon.png", "launch.wav", "logo.png", "overlay.png",
                             "server-icon.png", "skin.png", "update-failed.png"}) {
        const std::string file = Asset(name);
        ASSERT_FALSE(file.empty()) << name;
        EXPECT_TRUE(toolkit::Asset(name) == file) << name;
    }
    EXPECT_TRUE(toolkit::Asset("missing.png").empty());
}

}  // namespace
}  // namespace kestrel
