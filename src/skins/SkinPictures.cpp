#include "skins/SkinPictures.h"

#include <initializer_list>

#include "skins/Image.h"
#include "skins/PngCodec.h"

namespace kestrel::skins {

namespace {

constexpr Argb kOpaqueBlack = MakeArgb(255, 0, 0, 0);
constexpr Argb kNearBlack = MakeArgb(255, 1, 1, 1);

constexpr Rect kFace{8, 8, 8, 8};
constexpr Rect kHatFront{40, 8, 8, 8};
constexpr Rect kHeadBack{24, 8, 8, 8};
constexpr Rect kHatBack{56, 8, 8, 8};

constexpr int kFigureHeadSize = 105;
constexpr Rect kFigureHead{27, 0, kFigureHeadSize, kFigureHeadSize};

// One step of a figure: a skin region drawn into a destination, or (with
// head set) the head picture of size 105 drawn at kFigureHead.
struct Piece {
    Rect region;
    Rect destination;
    bool mirrored = false;
    bool head = false;
};

constexpr Piece Region(Rect region, Rect destination, bool mirrored = false) {
    return {region, destination, mirrored, false};
}
constexpr Piece Head() { return {{}, kFigureHead, false, true}; }

// Places on the picture; left and right as the viewer sees them.
constexpr Rect kBodyPlace{39, 94, 80, 120};
constexpr Rect kLeftArmPlace{0, 94, 40, 120};
constexpr Rect kRightArmPlace{119, 94, 40, 120};
constexpr Rect kLeftLegPlace{40, 214, 40, 120};
constexpr Rect kRightLegPlace{79, 214, 40, 120};

// The skin as decoded, with its opaque black lifted to (1, 1, 1).
Image PreparedSkin(std::string_view skin_png) {
    Image skin = DecodePng(skin_png);
    skin.Replace(kOpaqueBlack, kNearBlack);
    return skin;
}

void ClearBackground(Image& canvas) { canvas.Replace(kOpaqueBlack, 0); }

Image HeadImage(const Image& skin, int size, const Rect& head, const Rect& hat) {
    const int inset = static_cast<int>(size * 0.1);
    const int side = static_cast<int>(size * 0.8);
    Image canvas(size, size);
    canvas.Draw(skin.Cut(head), {inset, inset, side, side});
    canvas.Draw(skin.Cut(hat), {0, 0, size, size});
    ClearBackground(canvas);
    return canvas;
}

std::string HeadOf(std::string_view skin_png, int size, const Rect& head, const Rect& hat) {
    if (size < 1 || size > kMaxHeadSize) return {};
    const Image skin = PreparedSkin(skin_png);
    if (skin.empty()) return {};
    return EncodePng(HeadImage(skin, size, head, hat));
}

std::string FigureOf(std::string_view skin_png, std::initializer_list<Piece> layout32,
                     std::initializer_list<Piece> layout64, const Rect& head, const Rect& hat) {
    const Image skin = PreparedSkin(skin_png);
    if (skin.empty()) return {};
    Image canvas(kFigureWidth, kFigureHeight);
    const std::initializer_list<Piece>* pieces = nullptr;
    if (skin.height() == 32) pieces = &layout32;
    if (skin.height() == 64) pieces = &layout64;
    if (pieces) {
        for (const Piece& piece : *pieces) {
            if (piece.head) {
                canvas.Draw(HeadImage(skin, kFigureHeadSize, head, hat), piece.destination);
                continue;
            }
            const Image part = skin.Cut(piece.region);
            canvas.Draw(piece.mirrored ? part.Mirrored() : part, piece.destination);
        }
    }
    ClearBackground(canvas);
    return EncodePng(canvas);
}

}  // namespace

std::string HeadPicture(std::string_view skin_png, int size) { return HeadOf(skin_png, size, kFace, kHatFront); }

std::string BackHeadPicture(std::string_view skin_png, int size) {
    return HeadOf(skin_png, size, kHeadBack, kHatBack);
}

std::string FrontPicture(std::string_view skin_png) {
    constexpr Rect kBody{20, 20, 8, 12};
    constexpr Rect kRightArm{44, 20, 4, 12};
    constexpr Rect kRightLeg{4, 20, 4, 12};
    return FigureOf(skin_png,
                    {
                        Region(kBody, kBodyPlace),
                        Region(kRightArm, kLeftArmPlace),
                        Region(kRightArm, kRightArmPlace, true),
                        Region(kRightLeg, kLeftLegPlace),
                        Region(kRightLeg, kRightLegPlace, true),
                        Head(),
                    },
                    {
                        Region(kBody, kBodyPlace),
                        Region(kRightArm, kLeftArmPlace),
                        Region({36, 52, 4, 12}, kRightArmPlace),
                        Region(kRightLeg, kLeftLegPlace),
                        Region({20, 52, 4, 12}, kRightLegPlace),
                        Head(),
                        Region({4, 36, 4, 12}, kLeftLegPlace),
                        Region({4, 52, 4, 12}, kRightLegPlace),
                    },
                    kFace, kHatFront);
}

std::string BackPicture(std::string_view skin_png) {
    constexpr Rect kBodyBack{32, 20, 8, 12};
    constexpr Rect kRightArmBack{52, 20, 4, 12};
    constexpr Rect kRightLegBack{12, 20, 4, 12};
    return FigureOf(skin_png,
                    {
                        Region(kBodyBack, kBodyPlace),
                        Region(kRightArmBack, kRightArmPlace),
                        Region(kRightArmBack, kLeftArmPlace, true),
                        Region(kRightLegBack, kRightLegPlace),
                        Region(kRightLegBack, kLeftLegPlace, true),
                        Head(),
                    },
                    {
                        Region(kBodyBack, kBodyPlace),
                        Region({44, 52, 4, 12}, kLeftArmPlace),
                        Region(kRightArmBack, kRightArmPlace),
                        Head(),
                        Region({28, 52, 4, 12}, kLeftLegPlace),
                        Region(kRightLegBack, kRightLegPlace),
                        Region({12, 36, 4, 12}, kRightLegPlace),
                        Region({12, 52, 4, 12}, kLeftLegPlace),
                    },
                    kHeadBack, kHatBack);
}

}  // namespace kestrel::skins
