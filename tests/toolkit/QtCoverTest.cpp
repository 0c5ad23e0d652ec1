// A window whose table names a cover builds only the cover and what lies
// inside it before its first frame; every other control is built when it is
// first asked for, or right after that frame, and keeps what was set on it
// meanwhile; WindowDrawn follows that frame, once. An opaque picture at full
// opacity spares the painting of what lies beneath it.

#include <QBuffer>
#include <QImage>
#include <QWidget>

#include <gtest/gtest.h>

#include "toolkit/WindowDef.h"
#include "toolkit/qt/QtSurface.h"
#include "toolkit/qt/QtWindow.h"
#include "toolkit/QtTestSupport.h"

namespace kestrel::toolkit::qt {
namespace {

using K = ControlKind;

WindowDef CoveredWindow() {
    WindowDef def;
    def.name = "窗口";
    def.title = "covered";
    def.width = 200;
    def.height = 100;
    def.controls = {
        toolkit::Control("背景", K::Picture, "", 0, 0, 200, 100),
        toolkit::Control("面板", K::Panel, "背景", 10, 10, 100, 60),
        toolkit::Control("标签", K::Label, "面板", 5, 5, 80, 20, "一"),
        toolkit::Control("按钮", K::Button, "", 120, 10, 60, 24, "按", false),
        toolkit::Control("盖", K::Picture, "", 0, 0, 200, 100),
        toolkit::Control("盖_文字", K::Label, "盖", 10, 70, 180, 20, "请稍后"),
    };
    def.cover = "盖";
    return def;
}

std::string Png(QImage::Format format, QColor fill) {
    QImage image(40, 20, format);
    image.fill(fill);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes.toStdString();
}

QWidget* Built(QtSurface& s, const char* name) {
    return s.window()->findChild<QWidget*>(QString::fromUtf8(name));
}

// The widgets of the window's own controls, bottom to top.
std::vector<std::string> Stacking(QtWindow* w) {
    std::vector<std::string> names;
    for (QObject* child : w->children()) {
        if (auto* widget = qobject_cast<QWidget*>(child); widget && !widget->objectName().isEmpty()) {
            names.push_back(widget->objectName().toStdString());
        }
    }
    return names;
}

TEST(QtCover, OnlyTheCoverIsBuiltFirstAndTheRestKeepsWhatWasSetMeanwhile) {
    QtSurface s(CoveredWindow());
    EXPECT_NE(Built(s, "盖"), nullptr);
    EXPECT_NE(Built(s, "盖_文字"), nullptr);
    for (const char* waiting : {"背景", "面板", "标签", "按钮"}) EXPECT_EQ(Built(s, waiting), nullptr) << waiting;

    // Place, size, visibility and text are kept in the table until the
    // control is built, and read back from there.
    s.Move("标签", 7, 8);
    s.Resize("标签", 90, 22);
    s.SetText("标签", "二");
    s.Show("按钮");
    s.Hide("面板");
    EXPECT_EQ(Built(s, "标签"), nullptr);
    EXPECT_EQ(Built(s, "按钮"), nullptr);
    const Rect moved = s.Geometry("标签");
    EXPECT_EQ((std::vector<int>{moved.x, moved.y, moved.width, moved.height}), (std::vector<int>{7, 8, 90, 22}));
    EXPECT_EQ(s.Text("标签"), "二");
    EXPECT_TRUE(s.Visible("按钮"));
    EXPECT_FALSE(s.Visible("面板"));

    // Any other call builds the control at once, under its parents, and
    // stacked where the table puts it: beneath the cover.
    s.SetEnabled("按钮", false);
    ASSERT_NE(Built(s, "按钮"), nullptr);
    EXPECT_FALSE(Built(s, "按钮")->isEnabled());
    EXPECT_FALSE(Built(s, "按钮")->isHidden());
    EXPECT_EQ(Stacking(s.window()), (std::vector<std::string>{"按钮", "盖"}));

    s.SetPicture("盖", Png(QImage::Format_RGB32, Qt::darkBlue));
    s.Move("盖", 0, 0);
    int drawn = 0;
    bool built_when_drawn = false;
    s.On("窗口", Event::WindowDrawn, [&](const EventArgs&) {
        ++drawn;
        built_when_drawn = s.window()->everyControlMade();
    });
    s.ShowWindow();
    ASSERT_TRUE(SpinUntil([&] { return drawn > 0; }));
    EXPECT_TRUE(built_when_drawn);
    // Once only: neither the latest moment nor a later paint fires it again.
    s.window()->update();
    SpinUntil([] { return false; }, 400);
    EXPECT_EQ(drawn, 1);
    EXPECT_EQ(Stacking(s.window()), (std::vector<std::string>{"背景", "按钮", "盖"}));
    QWidget* label = Built(s, "标签");
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->geometry(), QRect(7, 8, 90, 22));
    EXPECT_EQ(s.Text("标签"), "二");
    EXPECT_TRUE(Built(s, "面板")->isHidden());
    EXPECT_EQ(label->parentWidget(), Built(s, "面板"));
    EXPECT_EQ(s.window()->offThreadTouches(), 0);
}

TEST(QtCover, AWindowWithoutACoverIsBuiltWhole) {
    WindowDef def = CoveredWindow();
    def.cover.clear();
    QtSurface s(def);
    EXPECT_TRUE(s.window()->everyControlMade());
    for (const ControlDef& c : def.controls) EXPECT_NE(Built(s, c.name.c_str()), nullptr) << c.name;
}

// Counts the paint events a widget gets.
class PaintCounter : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return false;
    }
};

TEST(QtCover, WhatLiesBeneathAnOpaquePictureAtFullOpacityIsNotPainted) {
    const std::string opaque = Png(QImage::Format_RGB32, Qt::darkBlue);
    const std::string see_through = Png(QImage::Format_ARGB32, QColor(0, 0, 80, 120));
    struct Case {
        const char* what;
        const std::string* picture;
        int opacity;
        bool hidden_then_shown;
        bool beneath_painted;
    } cases[] = {
        {"opaque picture", &opaque, 255, false, false},
        {"opaque picture shown again", &opaque, 255, true, false},
        {"picture with transparency", &see_through, 255, false, true},
        {"opaque picture fading", &opaque, 200, false, true},
        {"no picture", nullptr, 255, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WindowDef def = CoveredWindow();
        def.cover.clear();
        QtSurface s(def);
        s.ShowWindow();
        if (c.picture) s.SetPicture("盖", *c.picture);
        s.SetOpacity("盖", c.opacity);
        if (c.hidden_then_shown) {
            s.Hide("盖");
            s.Show("盖");
        }
        PaintCounter counter;
        Built(s, "面板")->installEventFilter(&counter);
        s.window()->grab();
        EXPECT_EQ(counter.paints > 0, c.beneath_painted);
    }
}

}  // namespace
}  // namespace kestrel::toolkit::qt
