// The windows draw with the built-in fonts: the launcher's own texts from
// "Kestrel Sans", other common hanzi from "Kestrel Sans Han", anything else
// from the system's CJK font, and all of it exactly as Noto Sans CJK SC,
// which the two are cut from, draws it.

#include <QApplication>
#include <QFontDatabase>
#include <QGlyphRun>
#include <QImage>
#include <QPainter>
#include <QRawFont>
#include <QTextLayout>

#include <string>

#include <gtest/gtest.h>

#include "toolkit/qt/UiFonts.h"

namespace kestrel::toolkit::qt {
namespace {

const QString kNoto = QStringLiteral("Noto Sans CJK SC");

QRawFont Raw(const UiFont& font) {
    return QRawFont(QByteArray::fromRawData(font.bytes.data(), static_cast<qsizetype>(font.bytes.size())), 12);
}

// A common hanzi the launcher's texts never use, so that it is drawn from
// the second font.
QString CommonHanziOfNoText() {
    const QRawFont own = Raw(UiFonts()[0]);
    for (const QChar c : QStringLiteral("猫狗鸭鹅虎豹狼熊鲸龟")) {
        if (!own.supportsCharacter(c)) return QString(c);
    }
    return {};
}

// Each glyph run of the text laid out in the font: its font's family.
QStringList FamiliesDrawing(const QString& text, const QFont& font) {
    QTextLayout layout(text, font);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    QStringList families;
    for (const QGlyphRun& run : layout.glyphRuns()) {
        for (const quint32 glyph : run.glyphIndexes()) EXPECT_NE(glyph, 0u) << text.toStdString() << " has a missing glyph";
        families << run.rawFont().familyName();
    }
    return families;
}

QImage Drawn(const QString& text, const QFont& font) {
    QImage image(360, 30, QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(image.rect(), Qt::AlignLeft | Qt::AlignVCenter, text);
    return image;
}

class UiFontsTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (UiFonts().empty()) GTEST_SKIP() << "built without the window fonts (fontTools or Noto Sans CJK missing)";
        if (!QFontDatabase::families().contains(kNoto)) GTEST_SKIP() << "Noto Sans CJK SC is not installed";
    }
};

TEST_F(UiFontsTest, TheApplicationFontListsTheBuiltInFontsBeforeTheSystemOne) {
    EXPECT_EQ(QApplication::font().families(),
              (QStringList{QStringLiteral("Kestrel Sans"), QStringLiteral("Kestrel Sans Han"), kNoto}));
    for (const UiFont& font : UiFonts()) EXPECT_TRUE(Raw(font).isValid()) << font.family;
}

TEST_F(UiFontsTest, EachCharacterIsDrawnFromTheFirstFontThatHasIt) {
    const QString han = CommonHanziOfNoText();
    ASSERT_FALSE(han.isEmpty()) << "every candidate hanzi is in the launcher's texts; name others";
    struct Case {
        QString text;
        QString family;
    };
    const Case cases[] = {
        {QStringLiteral("启动游戏"), QStringLiteral("Kestrel Sans")},
        {QStringLiteral("Minecraft 1.20.1"), QStringLiteral("Kestrel Sans")},
        {QStringLiteral("，。！"), QStringLiteral("Kestrel Sans")},
        {han, QStringLiteral("Kestrel Sans Han")},
        // Not among GB 2312's hanzi: the system's font draws it.
        {QStringLiteral("龘"), kNoto},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FamiliesDrawing(c.text, QApplication::font()), QStringList{c.family}) << c.text.toStdString();
    }
}

TEST_F(UiFontsTest, TextsDrawAsNotoSansCjkScDrawsThem) {
    const QString texts[] = {
        QStringLiteral("登录方式: Microsoft账户"),
        QStringLiteral("多西跌?! 获取闪烁标语好像失败惹..."),
        QStringLiteral("服务器维护公告：今晚") + CommonHanziOfNoText() + QStringLiteral("龘停机"),
    };
    for (const int pixels : {12, 14}) {
        QFont ours = QApplication::font();
        ours.setPixelSize(pixels);
        QFont noto(kNoto);
        noto.setPixelSize(pixels);
        for (const QString& text : texts) {
            EXPECT_EQ(Drawn(text, ours), Drawn(text, noto)) << text.toStdString() << " at " << pixels << " px";
        }
    }
}

}  // namespace
}  // namespace kestrel::toolkit::qt
