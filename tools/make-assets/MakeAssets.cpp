// kestrel-make-assets draws the launcher's own artwork and its launch sound
// into a folder (normally assets/): the logo, the icon, the account-type
// badges, the start-up overlay picture, the default background, the default
// server icon, the default skin, the update-state icon and the launch sound.
// Everything is computed here from shapes, gradients, fixed formulas and the
// installed Noto CJK font; nothing is read from elsewhere. The output is
// committed, so a build never depends on running this.
//
// Usage: kestrel-make-assets OUTPUT_FOLDER   (QT_QPA_PLATFORM=offscreen is fine)

#include <QDir>
#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

const QColor kAccent(0xE8, 0x77, 0x2E);
const QColor kAccentLight(0xF6, 0xB1, 0x7A);
const char* kFontFamily = "Noto Sans CJK SC";

// A small fixed hash, so the "noise" in the pictures is the same every run.
std::uint32_t Hash(std::uint32_t x, std::uint32_t y, std::uint32_t seed) {
    std::uint32_t h = x * 374761393u + y * 668265263u + seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return h ^ (h >> 16);
}

double Noise(int x, int y, int seed) { return (Hash(x, y, seed) & 0xFFFF) / 65535.0; }

// The sizes of the icon that the desktop's icon theme gets.
constexpr int kDesktopIconSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};

QFont Font(int px, int weight = QFont::Normal) {
    QFont f(QString::fromLatin1(kFontFamily));
    f.setPixelSize(px);
    f.setWeight(QFont::Weight(weight));
    return f;
}

bool Save(const QImage& image, const QString& folder, const char* name, const char* format,
          int quality = -1) {
    const QString path = folder + "/" + name;
    if (!image.save(path, format, quality)) {
        std::fprintf(stderr, "cannot write %s\n", path.toUtf8().constData());
        return false;
    }
    std::printf("%s  %dx%d\n", path.toUtf8().constData(), image.width(), image.height());
    return true;
}

QImage Blank(int w, int h) {
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

// The launcher's mark: two sweeping wing feathers, drawn in a unit square.
QPainterPath MarkPath(const QRectF& box) {
    auto P = [&](double x, double y) {
        return QPointF(box.left() + x * box.width(), box.top() + y * box.height());
    };
    QPainterPath path;
    path.moveTo(P(0.04, 0.66));
    path.cubicTo(P(0.22, 0.16), P(0.60, 0.02), P(0.97, 0.10));
    path.cubicTo(P(0.70, 0.20), P(0.55, 0.34), P(0.50, 0.50));
    path.cubicTo(P(0.42, 0.64), P(0.28, 0.74), P(0.04, 0.66));
    path.closeSubpath();
    path.moveTo(P(0.30, 0.80));
    path.cubicTo(P(0.46, 0.58), P(0.70, 0.46), P(0.94, 0.42));
    path.cubicTo(P(0.74, 0.56), P(0.62, 0.72), P(0.58, 0.96));
    path.cubicTo(P(0.50, 0.86), P(0.40, 0.80), P(0.30, 0.80));
    path.closeSubpath();
    return path;
}

void DrawMark(QPainter& p, const QRectF& box) {
    QLinearGradient g(box.topLeft(), box.bottomRight());
    g.setColorAt(0, kAccentLight);
    g.setColorAt(1, kAccent);
    p.fillPath(MarkPath(box), g);
}

QImage Logo() {
    QImage image = Blank(228, 45);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    DrawMark(p, QRectF(4, 3, 40, 38));
    QPainterPath text;
    text.addText(52, 34, Font(30, QFont::Black), QStringLiteral("KESTREL"));
    // A dark rim keeps the word readable on any background.
    p.setPen(QPen(QColor(20, 24, 33, 200), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(text);
    QLinearGradient g(0, 8, 0, 38);
    g.setColorAt(0, QColor(0xFF, 0xF4, 0xE8));
    g.setColorAt(1, QColor(0xF3, 0xC2, 0x9A));
    p.fillPath(text, g);
    return image;
}

// The icon is drawn on a 64-pixel grid and scaled to the size asked for, so
// the desktop's icon sizes (16 to 256) show the same picture as the window.
QImage Icon(int size = 64) {
    QImage image = Blank(size, size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 64.0, size / 64.0);
    QLinearGradient bg(0, 0, 0, 64);
    bg.setColorAt(0, QColor(0x2C, 0x33, 0x40));
    bg.setColorAt(1, QColor(0x16, 0x1A, 0x22));
    p.setBrush(bg);
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(1, 1, 62, 62), 14, 14);
    DrawMark(p, QRectF(9, 10, 46, 44));
    return image;
}

QImage Badge(const QString& text, QColor color, int px) {
    QImage image = Blank(40, 24);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(color.darker(140), 1));
    QLinearGradient g(0, 0, 0, 24);
    g.setColorAt(0, color.lighter(120));
    g.setColorAt(1, color);
    p.setBrush(g);
    p.drawRoundedRect(QRectF(0.5, 2.5, 39, 19), 6, 6);
    p.setPen(Qt::white);
    p.setFont(Font(px, QFont::Bold));
    p.drawText(QRectF(0, 2, 40, 20), Qt::AlignCenter, text);
    return image;
}

QImage UpdateFailedIcon() {
    QImage image = Blank(20, 20);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xD6, 0x45, 0x41));
    p.drawEllipse(QRectF(1, 1, 18, 18));
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(8.6, 4.5, 2.8, 7.5), 1.2, 1.2);
    p.drawEllipse(QRectF(8.6, 13.2, 2.8, 2.8));
    return image;
}

// Terrain height of the background's hills at column x: a few waves, so the
// horizon rolls the same way every run.
double Hills(double x, double base, double amp, double phase) {
    return base + amp * (0.55 * std::sin(x / 97.0 + phase) + 0.3 * std::sin(x / 41.0 + 2 * phase) +
                         0.15 * std::sin(x / 17.0 + 3 * phase));
}

QImage Background() {
    const int W = 788, H = 455;
    QImage image(W, H, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    // An evening sky.
    QLinearGradient sky(0, 0, 0, H);
    sky.setColorAt(0.0, QColor(0x1E, 0x2A, 0x4A));
    sky.setColorAt(0.45, QColor(0x5A, 0x5E, 0x8C));
    sky.setColorAt(0.72, QColor(0xE8, 0x9A, 0x6A));
    sky.setColorAt(1.0, QColor(0xF7, 0xC9, 0x8B));
    p.fillRect(image.rect(), sky);
    QRadialGradient sun(QPointF(560, 300), 150);
    sun.setColorAt(0, QColor(255, 236, 190, 255));
    sun.setColorAt(0.18, QColor(255, 214, 150, 230));
    sun.setColorAt(1, QColor(255, 180, 120, 0));
    p.fillRect(image.rect(), sun);
    // Stars in the upper sky.
    for (int i = 0; i < 90; ++i) {
        const int x = Hash(i, 1, 7) % W, y = Hash(i, 2, 7) % 170;
        const int a = 60 + Hash(i, 3, 7) % 150;
        p.fillRect(x, y, 1 + (i % 7 == 0), 1 + (i % 7 == 0), QColor(255, 255, 255, a * (170 - y) / 170));
    }
    // Blocky clouds.
    for (int c = 0; c < 6; ++c) {
        const int cx = 40 + c * 135 + Hash(c, 4, 3) % 60, cy = 70 + Hash(c, 5, 3) % 90;
        for (int b = 0; b < 9; ++b) {
            const int bx = cx + int(Hash(c, b, 11) % 90), by = cy + int(Hash(c, b, 12) % 3) * 8;
            p.fillRect(bx, by, 24, 8, QColor(255, 236, 220, 60));
        }
    }
    p.setRenderHint(QPainter::Antialiasing, false);
    // Three ranges of blocky hills, far to near; each column is 8 pixels wide
    // and each height a multiple of 8, as a world of cubes would look.
    struct Range { double base, amp, phase; QColor top, body; int seed; };
    const Range ranges[] = {
        {250, 40, 0.4, QColor(0x6D, 0x62, 0x8E), QColor(0x5B, 0x52, 0x7C), 21},
        {320, 34, 1.9, QColor(0x4F, 0x7A, 0x4A), QColor(0x3E, 0x4E, 0x3A), 22},
        {385, 26, 3.1, QColor(0x5F, 0x9E, 0x3F), QColor(0x6B, 0x4A, 0x2F), 23},
    };
    const int block = 8;
    for (const Range& r : ranges) {
        for (int x = 0; x < W; x += block) {
            const int top = int(Hills(x, r.base, r.amp, r.phase)) / block * block;
            for (int y = top; y < H; y += block) {
                QColor c = y < top + block ? r.top : r.body;
                const double n = Noise(x / block, y / block, r.seed);
                c = n < 0.33 ? c.darker(108) : n > 0.8 ? c.lighter(106) : c;
                p.fillRect(x, y, block, block, c);
            }
        }
    }
    // A little haze over the far ranges.
    QLinearGradient haze(0, 230, 0, 455);
    haze.setColorAt(0, QColor(255, 200, 160, 40));
    haze.setColorAt(1, QColor(20, 20, 30, 70));
    p.fillRect(image.rect(), haze);
    return image;
}

QImage Overlay() {
    const int W = 790, H = 486;
    QImage image(W, H, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient bg(0, 0, W, H);
    bg.setColorAt(0, QColor(0x14, 0x18, 0x21));
    bg.setColorAt(1, QColor(0x26, 0x2D, 0x3C));
    p.fillRect(image.rect(), bg);
    // Faint diagonal lines give the dark field some grain.
    p.setPen(QPen(QColor(255, 255, 255, 9), 1));
    for (int x = -H; x < W; x += 14) p.drawLine(x, H, x + H, 0);
    QRadialGradient glow(QPointF(W / 2.0, 190), 260);
    glow.setColorAt(0, QColor(0xE8, 0x77, 0x2E, 70));
    glow.setColorAt(1, QColor(0xE8, 0x77, 0x2E, 0));
    p.fillRect(image.rect(), glow);
    DrawMark(p, QRectF(W / 2.0 - 80, 70, 160, 150));
    p.setPen(QColor(0xF2, 0xF4, 0xF8));
    p.setFont(Font(46, QFont::Black));
    p.drawText(QRectF(0, 228, W, 60), Qt::AlignCenter, QStringLiteral("Kestrel 2"));
    p.setPen(QColor(0xC9, 0xCF, 0xDA));
    p.setFont(Font(16));
    p.drawText(QRectF(0, 290, W, 30), Qt::AlignCenter,
               QString::fromUtf8("一款《Minecraft:Java Edition》启动器"));
    return image;
}

// The default server icon: one block of earth with grass on top, drawn as
// 16 x 16 pixels and enlarged four times.
QImage ServerIcon() {
    QImage small(16, 16, QImage::Format_ARGB32);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            const double n = Noise(x, y, 5);
            const int grass_depth = 4 + int(Hash(x, 0, 9) % 3);
            QColor c = y < grass_depth ? QColor(0x5F, 0xA8, 0x3A) : QColor(0x86, 0x5B, 0x3A);
            if (y < grass_depth) c = n < 0.3 ? c.darker(115) : n > 0.75 ? c.lighter(112) : c;
            else c = n < 0.25 ? c.darker(125) : n > 0.85 ? QColor(0x9E, 0x9A, 0x92) : c;
            small.setPixelColor(x, y, c);
        }
    }
    return small.scaled(64, 64, Qt::IgnoreAspectRatio, Qt::FastTransformation);
}

// The default skin in the 64 x 32 layout: head, body, arms and legs, each
// box unfolded into its six faces at the places the game reads them.
QImage Skin() {
    QImage image(64, 32, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    auto fill = [&](int x, int y, int w, int h, QColor c, int seed) {
        for (int j = 0; j < h; ++j) {
            for (int i = 0; i < w; ++i) {
                const double n = Noise(x + i, y + j, seed);
                image.setPixelColor(x + i, y + j, n < 0.25 ? c.darker(110) : n > 0.85 ? c.lighter(108) : c);
            }
        }
    };
    auto px = [&](int x, int y, QColor c) { image.setPixelColor(x, y, c); };
    const QColor skin(0xE0, 0xAC, 0x84), hair(0x5A, 0x2E, 0x1A), shirt(0xD9, 0x6C, 0x2C),
        collar(0xA8, 0x4E, 0x1C), trousers(0x3A, 0x3F, 0x4B), shoes(0x22, 0x22, 0x26),
        eye_white(0xF4, 0xF4, 0xF4), eye(0x2B, 0x4C, 0x7E), mouth(0x9C, 0x5A, 0x4A);

    // Head (8 x 8 x 8): top, bottom, right, front, left, back.
    fill(8, 0, 8, 8, hair, 1);
    fill(16, 0, 8, 8, skin, 2);
    fill(0, 8, 8, 8, skin, 3);
    fill(8, 8, 8, 8, skin, 4);
    fill(16, 8, 8, 8, skin, 5);
    fill(24, 8, 8, 8, hair, 6);
    // Hair over the forehead and down the sides.
    fill(8, 8, 8, 2, hair, 7);
    px(8, 10, hair); px(15, 10, hair);
    fill(0, 8, 8, 3, hair, 8); fill(0, 11, 3, 3, hair, 8);
    fill(16, 8, 8, 3, hair, 9); fill(21, 11, 3, 3, hair, 9);
    // Face: eyes and mouth.
    px(9, 12, eye_white); px(10, 12, eye); px(13, 12, eye); px(14, 12, eye_white);
    px(11, 14, mouth); px(12, 14, mouth);

    // Legs (4 x 12 x 4) at (0, 16): top, bottom, right, front, left, back.
    fill(4, 16, 4, 4, trousers, 10);
    fill(8, 16, 4, 4, shoes, 11);
    for (int face = 0; face < 4; ++face) {
        fill(face * 4, 20, 4, 12, trousers, 12 + face);
        fill(face * 4, 29, 4, 3, shoes, 16 + face);
    }
    // Body (8 x 12 x 4) at (16, 16).
    fill(20, 16, 8, 4, shirt, 20);
    fill(28, 16, 8, 4, shirt, 21);
    fill(16, 20, 4, 12, shirt, 22);
    fill(20, 20, 8, 12, shirt, 23);
    fill(28, 20, 4, 12, shirt, 24);
    fill(32, 20, 8, 12, shirt, 25);
    fill(22, 20, 4, 2, collar, 26);
    fill(20, 30, 8, 2, trousers, 27);
    fill(32, 30, 8, 2, trousers, 28);
    // Arms (4 x 12 x 4) at (40, 16): sleeves above, hands below.
    fill(44, 16, 4, 4, shirt, 30);
    fill(48, 16, 4, 4, skin, 31);
    for (int face = 0; face < 4; ++face) {
        fill(40 + face * 4, 20, 4, 12, skin, 32 + face);
        fill(40 + face * 4, 20, 4, 5, shirt, 36 + face);
    }
    return image;
}

void Le16(std::string& out, int v) {
    out += char(v & 0xFF);
    out += char((v >> 8) & 0xFF);
}
void Le32(std::string& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out += char((v >> (8 * i)) & 0xFF);
}

// The launch sound: a rising four-note chime with soft overtones, 48 kHz,
// 16-bit, stereo, the notes spread from left to right.
std::string LaunchSound() {
    const int rate = 48000;
    const double seconds = 3.0;
    const int frames = int(rate * seconds);
    const double notes[] = {523.25, 659.25, 783.99, 1046.50};
    const double pi = 3.14159265358979323846;
    std::vector<double> left(frames), right(frames);
    for (int n = 0; n < 4; ++n) {
        const int start = int(rate * 0.13 * n);
        const double pan = 0.2 + 0.2 * n;  // 0 = left, 1 = right
        for (int i = start; i < frames; ++i) {
            const double t = double(i - start) / rate;
            const double env = (1 - std::exp(-t * 300)) * std::exp(-t * 2.2);
            const double f = notes[n];
            const double v = env * (std::sin(2 * pi * f * t) + 0.35 * std::sin(4 * pi * f * t) +
                                    0.12 * std::sin(6 * pi * f * t) * std::exp(-t * 6));
            left[i] += v * (1 - pan);
            right[i] += v * pan;
        }
    }
    double peak = 0;
    for (int i = 0; i < frames; ++i) peak = std::max({peak, std::abs(left[i]), std::abs(right[i])});
    const double gain = peak > 0 ? 0.7 * 32767 / peak : 0;
    std::string data;
    data.reserve(size_t(frames) * 4);
    for (int i = 0; i < frames; ++i) {
        // A short fade at the end avoids a click.
        const double tail = std::min(1.0, double(frames - i) / (rate * 0.05));
        Le16(data, int(std::lround(left[i] * gain * tail)));
        Le16(data, int(std::lround(right[i] * gain * tail)));
    }
    std::string wav = "RIFF";
    Le32(wav, std::uint32_t(36 + data.size()));
    wav += "WAVEfmt ";
    Le32(wav, 16);
    Le16(wav, 1);             // PCM
    Le16(wav, 2);             // stereo
    Le32(wav, rate);
    Le32(wav, rate * 2 * 2);  // bytes per second
    Le16(wav, 4);             // bytes per frame
    Le16(wav, 16);            // bits per sample
    wav += "data";
    Le32(wav, std::uint32_t(data.size()));
    return wav + data;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: kestrel-make-assets OUTPUT_FOLDER\n");
        return 2;
    }
    QGuiApplication app(argc, argv);
    const QString out = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(out)) {
        std::fprintf(stderr, "cannot create %s\n", argv[1]);
        return 1;
    }
    bool ok = true;
    ok &= Save(Logo(), out, "logo.png", "PNG");
    ok &= Save(Icon(), out, "icon.png", "PNG");
    // The desktop's icon theme (installed under share/icons/hicolor).
    if (!QDir().mkpath(out + "/icons")) {
        std::fprintf(stderr, "cannot create %s/icons\n", argv[1]);
        return 1;
    }
    for (int size : kDesktopIconSizes) {
        const QByteArray name = "icons/icon-" + QByteArray::number(size) + ".png";
        ok &= Save(Icon(size), out, name.constData(), "PNG");
    }
    ok &= Save(Badge(QString::fromUtf8("离线"), QColor(0x6B, 0x72, 0x80), 12), out, "badge-offline.png", "PNG");
    ok &= Save(Badge(QStringLiteral("Mojang"), QColor(0xC0, 0x39, 0x2B), 9), out, "badge-mojang.png", "PNG");
    ok &= Save(Badge(QString::fromUtf8("微软"), QColor(0x2B, 0x7C, 0xD3), 12), out, "badge-microsoft.png", "PNG");
    ok &= Save(Badge(QString::fromUtf8("外置"), QColor(0x2E, 0x9E, 0x5B), 12), out, "badge-authlib.png", "PNG");
    ok &= Save(UpdateFailedIcon(), out, "update-failed.png", "PNG");
    ok &= Save(Overlay(), out, "overlay.png", "PNG");
    ok &= Save(Background(), out, "background.jpg", "JPEG", 90);
    ok &= Save(ServerIcon(), out, "server-icon.png", "PNG");
    ok &= Save(Skin(), out, "skin.png", "PNG");
    QFile wav(out + "/launch.wav");
    const std::string sound = LaunchSound();
    if (wav.open(QIODevice::WriteOnly) && wav.write(sound.data(), qint64(sound.size())) == qint64(sound.size())) {
        std::printf("%s  %zu bytes\n", wav.fileName().toUtf8().constData(), sound.size());
    } else {
        std::fprintf(stderr, "cannot write launch.wav\n");
        ok = false;
    }
    return ok ? 0 : 1;
}
