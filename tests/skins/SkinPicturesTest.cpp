#include "skins/SkinPictures.h"

#include <gtest/gtest.h>

#include "skins/Image.h"
#include "skins/PngCodec.h"

namespace kestrel::skins {
namespace {

constexpr Argb kBlack = MakeArgb(255, 0, 0, 0);
constexpr Argb kNearBlack = MakeArgb(255, 1, 1, 1);

// Every skin pixel gets a colour of its own, so each check knows which skin
// pixel (and which way round) landed where.
Argb Colour(int x, int y) {
    return MakeArgb(255, static_cast<std::uint8_t>(x * 3 + 10), static_cast<std::uint8_t>(y * 2 + 10), 77);
}

// A skin with every base region filled and every overlay layer transparent:
// the hat (32..63, 0..15), and for 64 × 64 the second layers (0..55, 32..47)
// and the left limbs' overlays (0..15 and 48..63 of rows 48..63).
Image Skin(int width, int height) {
    Image skin(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const bool hat = x >= 32 && y < 16;
            const bool layer = y >= 32 && y < 48;
            const bool limb_overlay = y >= 48 && (x < 16 || x >= 48);
            if (!hat && !layer && !limb_overlay) skin.Set(x, y, Colour(x, y));
        }
    }
    return skin;
}

Image Decoded(const std::string& png) {
    Image image = DecodePng(png);
    EXPECT_FALSE(image.empty());
    return image;
}

// Checks that each opaque pixel of the skin region shows at the centre of its
// block in the destination (mirrored when asked), skipping places outside the
// picture.
void ExpectDrawn(const Image& picture, const Image& skin, Rect region, Rect place, bool mirrored, const char* what) {
    SCOPED_TRACE(what);
    int checked = 0;
    for (int j = 0; j < region.height; ++j) {
        for (int i = 0; i < region.width; ++i) {
            Argb expected = skin.At(region.x + i, region.y + j);
            if (AlphaOf(expected) == 0) continue;
            if (expected == kBlack) expected = kNearBlack;
            const int column = mirrored ? region.width - 1 - i : i;
            const int x = place.x + (2 * column + 1) * place.width / (2 * region.width);
            const int y = place.y + (2 * j + 1) * place.height / (2 * region.height);
            if (x >= picture.width() || y >= picture.height()) continue;
            EXPECT_EQ(picture.At(x, y), expected) << "skin (" << region.x + i << "," << region.y + j << ") at (" << x
                                                  << "," << y << ")";
            ++checked;
        }
    }
    EXPECT_GT(checked, 0);
}

bool FullyTransparent(const Image& image) {
    for (Argb pixel : image.pixels()) {
        if (pixel != 0) return false;
    }
    return true;
}

TEST(SkinPictures, HeadIsTheFaceInsideATransparentBorderWithTheHatOnTop) {
    Image skin = Skin(64, 64);
    skin.Set(9, 9, kBlack);                          // the skin's own black
    skin.Set(40, 8, MakeArgb(255, 200, 0, 0));       // one opaque hat pixel, top left
    skin.Set(47, 15, MakeArgb(0, 255, 255, 255));    // transparent, whatever its colour
    const std::string png = EncodePng(skin);

    const Image head = Decoded(HeadPicture(png, 80));
    ASSERT_EQ(head.width(), 80);
    ASSERT_EQ(head.height(), 80);
    ExpectDrawn(head, skin, {8, 8, 8, 8}, {8, 8, 64, 64}, false, "face at 8, 8, 64 × 64");
    EXPECT_EQ(head.At(9 + 8 * 1, 9 + 8 * 1), kNearBlack);  // black survives as (1, 1, 1), opaque
    EXPECT_EQ(head.At(71, 71), Colour(15, 15));
    // The hat pixel covers (0..9, 0..9), over border and face alike.
    EXPECT_EQ(head.At(0, 0), MakeArgb(255, 200, 0, 0));
    EXPECT_EQ(head.At(9, 9), MakeArgb(255, 200, 0, 0));
    // Everywhere else the 8-pixel border stays transparent.
    for (int i = 10; i < 80; ++i) {
        EXPECT_EQ(head.At(i, 0), 0u) << i;
        EXPECT_EQ(head.At(79, i), 0u) << i;
        EXPECT_EQ(head.At(i, 7), 0u) << i;
    }
    EXPECT_EQ(head.At(72, 40), 0u);

    const Image big = Decoded(HeadPicture(png, 105));
    ASSERT_EQ(big.width(), 105);
    EXPECT_EQ(big.At(93, 10), Colour(15, 8));
    EXPECT_EQ(big.At(10, 93), Colour(8, 15));
    EXPECT_EQ(big.At(93, 93), Colour(15, 15));
    EXPECT_EQ(big.At(94, 94), 0u);
    EXPECT_EQ(big.At(50, 9), 0u);

    const Image back = Decoded(BackHeadPicture(png, 80));
    ExpectDrawn(back, skin, {24, 8, 8, 8}, {8, 8, 64, 64}, false, "back of the head");
}

TEST(SkinPictures, HatLayersBlendOverTheFace) {
    Image skin = Skin(64, 32);
    for (int y = 8; y < 16; ++y) {
        for (int x = 40; x < 48; ++x) skin.Set(x, y, MakeArgb(255, 0, 200, 0));
        for (int x = 56; x < 64; ++x) skin.Set(x, y, MakeArgb(255, 0, 0, 200));
    }
    skin.Set(41, 9, MakeArgb(128, 255, 255, 255));  // half-transparent white over the face
    skin.Set(40, 8, MakeArgb(128, 255, 255, 255));  // and over the border
    const std::string png = EncodePng(skin);
    const Image head = Decoded(HeadPicture(png, 80));
    EXPECT_EQ(head.At(30, 0), MakeArgb(255, 0, 200, 0));
    EXPECT_EQ(head.At(40, 40), MakeArgb(255, 0, 200, 0));
    // Over the face pixel (8, 8), drawn at (8..15, 8..15), the white blends half and half.
    const Argb blended = head.At(12, 12);
    const Argb face = Colour(8, 8);
    EXPECT_EQ(AlphaOf(blended), 255);
    for (int shift : {16, 8, 0}) {
        EXPECT_NEAR(static_cast<int>((blended >> shift) & 0xFF), (static_cast<int>((face >> shift) & 0xFF) * 127 + 255 * 128) / 255, 1);
    }
    // Over the transparent border it stays half-transparent white.
    EXPECT_EQ(head.At(3, 3), MakeArgb(128, 255, 255, 255));
    const Image back = Decoded(BackHeadPicture(png, 80));
    EXPECT_EQ(back.At(40, 40), MakeArgb(255, 0, 0, 200));
}

TEST(SkinPictures, SingleLayerFigureMirrorsTheRightLimbs) {
    Image skin = Skin(64, 32);
    skin.Set(20, 20, kBlack);
    const std::string png = EncodePng(skin);

    const Image front = Decoded(FrontPicture(png));
    ASSERT_EQ(front.width(), kFigureWidth);
    ASSERT_EQ(front.height(), kFigureHeight);
    ExpectDrawn(front, skin, {20, 20, 8, 12}, {39, 94, 80, 120}, false, "body");
    ExpectDrawn(front, skin, {44, 20, 4, 12}, {0, 94, 40, 120}, false, "right arm");
    ExpectDrawn(front, skin, {44, 20, 4, 12}, {119, 94, 40, 120}, true, "right arm mirrored");
    ExpectDrawn(front, skin, {4, 20, 4, 12}, {40, 214, 40, 120}, false, "right leg");
    ExpectDrawn(front, skin, {4, 20, 4, 12}, {79, 214, 40, 120}, true, "right leg mirrored");
    EXPECT_EQ(front.At(39 + 5, 94 + 5), kNearBlack);
    // The head of size 105 sits at (27, 0): face from (37, 10) to (120, 93).
    EXPECT_EQ(front.At(37, 10), Colour(8, 8));
    EXPECT_EQ(front.At(120, 93), Colour(15, 15));
    // Background: the corners, the gap beside the legs, the head's border.
    for (auto [x, y] : {std::pair{0, 0}, {156, 0}, {0, 332}, {10, 250}, {150, 250}, {30, 5}}) {
        EXPECT_EQ(front.At(x, y), 0u) << x << "," << y;
    }

    const Image back = Decoded(BackPicture(png));
    ExpectDrawn(back, skin, {32, 20, 8, 12}, {39, 94, 80, 120}, false, "body back");
    ExpectDrawn(back, skin, {52, 20, 4, 12}, {119, 94, 40, 120}, false, "right arm back");
    ExpectDrawn(back, skin, {52, 20, 4, 12}, {0, 94, 40, 120}, true, "right arm back mirrored");
    ExpectDrawn(back, skin, {12, 20, 4, 12}, {79, 214, 40, 120}, false, "right leg back");
    ExpectDrawn(back, skin, {12, 20, 4, 12}, {40, 214, 40, 120}, true, "right leg back mirrored");
    EXPECT_EQ(back.At(37, 10), Colour(24, 8));
}

TEST(SkinPictures, TwoLayerFigureDrawsItsOwnLeftLimbsAndTrousers) {
    Image skin = Skin(64, 64);
    // One column of each trouser layer is opaque; the rest shows the leg.
    const Argb trouser = MakeArgb(255, 250, 250, 0);
    for (int y = 36; y < 48; ++y) {
        skin.Set(4, y, trouser);   // right trouser, front
        skin.Set(12, y, trouser);  // right trouser, back
    }
    for (int y = 52; y < 64; ++y) {
        skin.Set(7, y, trouser);   // left trouser, front
        skin.Set(15, y, trouser);  // left trouser, back
    }
    const std::string png = EncodePng(skin);

    const Image front = Decoded(FrontPicture(png));
    ExpectDrawn(front, skin, {20, 20, 8, 12}, {39, 94, 80, 120}, false, "body");
    ExpectDrawn(front, skin, {44, 20, 4, 12}, {0, 94, 40, 120}, false, "right arm");
    ExpectDrawn(front, skin, {36, 52, 4, 12}, {119, 94, 40, 120}, false, "left arm");
    ExpectDrawn(front, skin, {5, 20, 3, 12}, {50, 214, 30, 120}, false, "right leg beside its trouser");
    ExpectDrawn(front, skin, {20, 52, 3, 12}, {79, 214, 30, 120}, false, "left leg beside its trouser");
    ExpectDrawn(front, skin, {4, 36, 4, 12}, {40, 214, 40, 120}, false, "right trouser");
    ExpectDrawn(front, skin, {4, 52, 4, 12}, {79, 214, 40, 120}, false, "left trouser");
    EXPECT_EQ(front.At(37, 10), Colour(8, 8));

    const Image back = Decoded(BackPicture(png));
    ExpectDrawn(back, skin, {32, 20, 8, 12}, {39, 94, 80, 120}, false, "body back");
    ExpectDrawn(back, skin, {44, 52, 4, 12}, {0, 94, 40, 120}, false, "left arm back");
    ExpectDrawn(back, skin, {52, 20, 4, 12}, {119, 94, 40, 120}, false, "right arm back");
    ExpectDrawn(back, skin, {28, 52, 3, 12}, {40, 214, 30, 120}, false, "left leg back beside its trouser");
    ExpectDrawn(back, skin, {13, 20, 3, 12}, {89, 214, 30, 120}, false, "right leg back beside its trouser");
    ExpectDrawn(back, skin, {12, 36, 4, 12}, {79, 214, 40, 120}, false, "right trouser back");
    ExpectDrawn(back, skin, {12, 52, 4, 12}, {40, 214, 40, 120}, false, "left trouser back");
    EXPECT_EQ(back.At(37, 10), Colour(24, 8));
}

TEST(SkinPictures, OtherHeightsGiveTransparentFiguresButHeadsStillCut) {
    const std::string png = EncodePng(Skin(128, 128));
    for (const std::string& picture : {FrontPicture(png), BackPicture(png)}) {
        const Image image = Decoded(picture);
        EXPECT_EQ(image.width(), kFigureWidth);
        EXPECT_EQ(image.height(), kFigureHeight);
        EXPECT_TRUE(FullyTransparent(image));
    }
    const Image head = Decoded(HeadPicture(png, 80));
    EXPECT_EQ(head.At(8, 8), Colour(8, 8));
    EXPECT_EQ(head.At(71, 71), Colour(15, 15));
    // A skin too small for a region leaves that region transparent.
    const Image tiny = Decoded(HeadPicture(EncodePng(Skin(12, 12)), 80));
    EXPECT_EQ(tiny.At(8, 8), Colour(8, 8));
    EXPECT_EQ(tiny.At(71, 71), 0u);
}

TEST(SkinPictures, BadInputGivesNoPicture) {
    const std::string png = EncodePng(Skin(64, 32));
    const std::string truncated = png.substr(0, png.size() / 2);
    for (const std::string& bytes : {std::string(), std::string("not a png"), truncated}) {
        EXPECT_EQ(HeadPicture(bytes, 80), "");
        EXPECT_EQ(BackHeadPicture(bytes, 80), "");
        EXPECT_EQ(FrontPicture(bytes), "");
        EXPECT_EQ(BackPicture(bytes), "");
    }
    for (int size : {0, -1, kMaxHeadSize + 1}) EXPECT_EQ(HeadPicture(png, size), "") << size;
    EXPECT_EQ(Decoded(HeadPicture(png, 1)).width(), 1);
}

}  // namespace
}  // namespace kestrel::skins
