// The skin held in place: a few controls of the Qt backend in their states
// (normal, hover, pressed, disabled), rendered on the offscreen platform and
// compared pixel by pixel with pictures of how they looked when the skin was
// made (tests/toolkit/skin/). A change of how the controls are styled that
// shows on the screen fails here, with the new picture written beside the
// test's temporary files for a look.
//
// To draw the pictures anew after a deliberate change of the skin, run the
// test with KESTREL_WRITE_SKIN_PICTURES=<folder> and copy them over.

#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTest>

#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "toolkit/Windows.h"
#include "toolkit/qt/QtSurface.h"
#include "toolkit/qt/QtWindow.h"
#include "toolkit/QtTestSupport.h"

namespace kestrel::toolkit::qt {
namespace {

using K = ControlKind;

// A window with one control of each styled kind on the launcher's dark
// backdrop (the frame paints it).
WindowDef SkinSampleWindow() {
    WindowDef def;
    def.name = "皮肤样张";
    def.title = "皮肤样张";
    def.width = 400;
    def.height = 260;
    def.controls.push_back(toolkit::Control("样张_框架", K::Frame, "", 0, 0, 400, 260, "皮肤"));
    def.controls.push_back(toolkit::Control("样张_按钮", K::Button, "", 20, 50, 110, 32, "启动游戏"));
    def.controls.push_back(toolkit::Control("样张_输入", K::Edit, "", 150, 50, 130, 26, "玩家名字"));
    ControlDef combo = toolkit::Control("样张_列表", K::ComboBox, "", 150, 90, 130, 26, "1.20.1");
    combo.items = {"1.20.1", "1.12.2"};
    def.controls.push_back(combo);
    def.controls.push_back(toolkit::Control("样张_单选", K::RadioButton, "", 20, 100, 110, 24, "离线登录"));
    def.controls.push_back(toolkit::Control("样张_滑块", K::Slider, "", 20, 140, 200, 24));
    return def;
}

// How close a rendering must be to its picture: font rasterisation may move
// a few edge pixels by a shade between library builds, while the skin's
// states differ by more (hover and normal by 8 to 23 in each channel).
constexpr int kShadeTolerance = 6;
constexpr double kDifferentShare = 0.01;

struct Comparison {
    bool same_size = false;
    int different = 0;
    int total = 0;
};

Comparison Compare(const QImage& actual, const QImage& expected) {
    Comparison c;
    const QImage a = actual.convertToFormat(QImage::Format_ARGB32);
    const QImage e = expected.convertToFormat(QImage::Format_ARGB32);
    c.same_size = a.size() == e.size();
    if (!c.same_size) return c;
    c.total = a.width() * a.height();
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = e.pixel(x, y);
            const int shade = std::max({std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                                        std::abs(qBlue(p) - qBlue(q)), std::abs(qAlpha(p) - qAlpha(q))});
            if (shade > kShadeTolerance) ++c.different;
        }
    }
    return c;
}

// A control in one state: the widget drawn, and how to put it in that
// state and back.
struct Case {
    std::string picture;  // file name below tests/toolkit/skin
    std::function<QWidget*(QtSurface&)> widget;
    std::function<void(QWidget*, bool)> state;  // on = true: into the state
};


void Normal(QWidget*, bool) {}
// The pointer moved over the control, or away to an empty corner of the
// window.
void Hover(QWidget* w, bool on) {
    if (on) {
        QTest::mouseMove(w, w->rect().center());
    } else {
        QTest::mouseMove(w->window(), QPoint(w->window()->width() - 2, w->window()->height() - 2));
    }
    QCoreApplication::processEvents();
}
void Pressed(QWidget* w, bool on) { static_cast<QAbstractButton*>(w)->setDown(on); }
void Disabled(QWidget* w, bool on) { w->setEnabled(!on); }

std::vector<Case> Cases() {
    const auto named = [](const char* name) { return [name](QtSurface& s) { return Widget(s, name); }; };
    // The frame's two buttons: minimize, and close with its own hover.
    const auto frame_button = [](bool close) {
        return [close](QtSurface& s) -> QWidget* {
            for (QPushButton* b : Widget(s, "样张_框架")->findChildren<QPushButton*>()) {
                if (b->property("closeButton").toBool() == close) return b;
            }
            return nullptr;
        };
    };
    const auto minimize = frame_button(false);
    const auto close = frame_button(true);
    return {
        {"button-normal.png", named("样张_按钮"), Normal},
        {"button-hover.png", named("样张_按钮"), Hover},
        {"button-pressed.png", named("样张_按钮"), Pressed},
        {"button-disabled.png", named("样张_按钮"), Disabled},
        {"frame-minimize-normal.png", minimize, Normal},
        {"frame-minimize-hover.png", minimize, Hover},
        {"frame-close-hover.png", close, Hover},
        {"edit-normal.png", named("样张_输入"), Normal},
        {"edit-disabled.png", named("样张_输入"), Disabled},
        {"combo-normal.png", named("样张_列表"), Normal},
        {"radio-normal.png", named("样张_单选"), Normal},
        {"radio-disabled.png", named("样张_单选"), Disabled},
        {"slider-normal.png", named("样张_滑块"), Normal},
    };
}

// The control's own pixels over what lies beneath it in the window, as the
// player sees it.
QImage Render(QtSurface& s, QWidget* w) {
    const QPoint at = w->mapTo(s.window(), QPoint(0, 0));
    return s.window()->grab(QRect(at, w->size())).toImage();
}

TEST(SkinPixels, ControlsInTheirStatesLookAsWhenTheSkinWasMade) {
    QtSurface s(SkinSampleWindow());
    s.window()->show();
    ASSERT_TRUE(SpinUntil([&] { return s.window()->isVisible(); }));
    const QString write_to = qEnvironmentVariable("KESTREL_WRITE_SKIN_PICTURES");
    const QString failures = QDir::tempPath() + QStringLiteral("/kestrel-skin-pixels");
    for (const Case& c : Cases()) {
        SCOPED_TRACE(c.picture);
        QWidget* w = c.widget(s);
        ASSERT_NE(w, nullptr);
        QCoreApplication::processEvents();
        c.state(w, true);
        w->update();
        const QImage actual = Render(s, w);
        c.state(w, false);
        const QString file = QString::fromStdString(c.picture);
        if (!write_to.isEmpty()) {
            QDir().mkpath(write_to);
            ASSERT_TRUE(actual.save(write_to + "/" + file));
            continue;
        }
        const QImage expected(QStringLiteral(KESTREL_SKIN_PICTURES "/") + file);
        ASSERT_FALSE(expected.isNull()) << "no picture " << c.picture;
        const Comparison result = Compare(actual, expected);
        const bool close_enough = result.same_size && result.different <= kDifferentShare * result.total;
        if (!close_enough) {
            QDir().mkpath(failures);
            actual.save(failures + "/" + file);
        }
        EXPECT_TRUE(result.same_size) << actual.width() << "x" << actual.height() << " against "
                                      << expected.width() << "x" << expected.height();
        EXPECT_LE(result.different, kDifferentShare * result.total)
            << result.different << " of " << result.total << " pixels differ; the rendering is in "
            << failures.toStdString();
    }
}

// The states must look different from one another, or the comparison above
// would hold a skin that lost its hover or pressed colours.
TEST(SkinPixels, TheButtonsFourStatesDiffer) {
    QtSurface s(SkinSampleWindow());
    s.window()->show();
    ASSERT_TRUE(SpinUntil([&] { return s.window()->isVisible(); }));
    QWidget* button = Widget(s, "样张_按钮");
    std::vector<QImage> pictures;
    for (const auto& state : {Normal, Hover, Pressed, Disabled}) {
        state(button, true);
        button->update();
        pictures.push_back(Render(s, button));
        state(button, false);
    }
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        for (std::size_t j = i + 1; j < pictures.size(); ++j) {
            EXPECT_GT(Compare(pictures[i], pictures[j]).different, 0) << "states " << i << " and " << j;
        }
    }
}

}  // namespace
}  // namespace kestrel::toolkit::qt
