// The settings window on the Qt backend (offscreen platform): built from its
// table with every named control, and filled by the real flow from its
// workers without touching a widget off the user-interface thread.

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include "shell/SettingsWindow.h"
#include "support/FakeClock.h"
#include "support/TempFolder.h"
#include "toolkit/Windows.h"
#include "toolkit/qt/QtApplication.h"
#include "toolkit/qt/QtSurface.h"
#include "toolkit/qt/QtWindow.h"
#include "toolkit/QtTestSupport.h"

namespace kestrel::toolkit::qt {
namespace {

TEST(SettingsWindowQt, BuildsEveryControlOfTheTable) {
    const WindowDef def = SettingsWindowDef();
    QtSurface s(def);
    EXPECT_EQ(s.window()->size(), QSize(790, 486));
    EXPECT_EQ(s.window()->windowTitle().toStdString(), "设置");
    for (const ControlDef& c : def.controls) {
        SCOPED_TRACE(c.name);
        QWidget* widget = Widget(s, c.name);
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(widget->parentWidget()->objectName().toStdString(), c.parent.empty() ? def.name : c.parent);
        EXPECT_EQ(widget->geometry(), QRect(c.x, c.y, c.width, c.height));
        EXPECT_EQ(widget->isHidden(), !c.visible);
        EXPECT_EQ(s.Text(c.name), c.caption);
        if (!c.items.empty()) {
            EXPECT_EQ(s.Items(c.name), c.items);
        }
    }
}

TEST(SettingsWindowQt, TheFlowFillsThePagesFromItsWorkersAndTakesTheKeypadEnter) {
    QtApplication app;
    kestrel::testing::TempFolder folder;
    kestrel::testing::FakeClock clock;
    platform::TickRandom random([] { return std::uint64_t{1}; });
    shell::LauncherState state;
    shell::SettingsRecord record;
    record.memory = 2048;
    record.game_window = shell::kWindowDefault;
    record.launcher_waiting = shell::kExitLauncher;
    state.settings.Set(record);
    state.accounts.SignIn({"Steve", "uuid", "token", "", ""}, accounts::SignInState::kOffline);
    platform::Workers workers;
    const platform::HostProfile host = platform::HostProfile::Linux64();
    shell::LauncherContext ctx{state, app, clock, random, workers,
                               shell::LauncherPaths::For(folder.path(), folder.path(), "kestrel", host),
                               host, net::Endpoints::Defaults(), nullptr};
    // Nothing listens there: the thanks download fails at once.
    ctx.endpoints.Override("thanks=http://127.0.0.1:1/Special_thanks.txt");
    ctx.main_window = app.CreateSurface(MainWindowDef());

    shell::SettingsSources sources;
    sources.discover_java = [] {
        return std::vector<java::JavaCandidate>{{"17", "/opt/jdk-17/bin/java", "64"}, {"8", "/opt/jre8/bin/java", "64"}};
    };
    sources.describe_java = [](const std::string& path) { return java::JavaCandidate{"17", path, "64"}; };
    sources.memory_figures = [] {
        platform::MemoryInfo memory;
        memory.total_kb = 8000 * 1024;
        memory.available_kb = 4000 * 1024;
        return memory;
    };
    auto surface = shell::OpenSettingsWindow(ctx, sources);
    auto* s = dynamic_cast<QtSurface*>(surface.get());
    ASSERT_NE(s, nullptr);
    ASSERT_TRUE(SpinUntil([&] { return workers.Running() == 0; }));
    QCoreApplication::processEvents();

    EXPECT_TRUE(s->window()->isVisible());
    EXPECT_EQ(s->Text("设置_账户_类型"), "离线登录");
    auto* java_box = static_cast<QComboBox*>(Widget(*s, kSettingsJavaBox));
    ASSERT_EQ(java_box->count(), 2);
    EXPECT_EQ(java_box->itemText(1).toStdString(), "Java8 | /opt/jre8/bin/java");
    EXPECT_EQ(s->Text(kSettingsJavaBox), "Java17 | /opt/jdk-17/bin/java");
    EXPECT_EQ(s->Text("设置_通用_内存_内存占用"), "内存占用:2040MB");

    // The player types into the memory box and presses the keypad's Enter.
    QTest::mouseClick(Widget(*s, "设置_通用"), Qt::LeftButton);
    auto* memory_box = static_cast<QLineEdit*>(Widget(*s, "设置_通用_内存_输入框"));
    memory_box->clear();
    QTest::keyClicks(memory_box, "1025");
    QTest::keyClick(memory_box, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(state.settings.Get().memory, 1020);
    EXPECT_EQ(memory_box->text().toStdString(), "1020");
    EXPECT_EQ(s->window()->offThreadTouches(), 0) << "no widget may be touched off its thread";

    QTest::mouseClick(Widget(*s, "设置_返回"), Qt::LeftButton);
    EXPECT_FALSE(s->window()->isVisible());
    workers.StopAll();
    state.settings_window.Set(nullptr);
    surface.reset();
}

}  // namespace
}  // namespace kestrel::toolkit::qt
