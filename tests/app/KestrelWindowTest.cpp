// The kestrel main window on the Qt backend (offscreen): built from its
// table, started up with a test clock, and shut down with its workers.

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QWidget>

#include <gtest/gtest.h>

#include "app/LauncherApp.h"
#include "app/QtShutdown.h"
#include "platform/Files.h"
#include "support/FakeClock.h"
#include "support/TempFolder.h"
#include "toolkit/Windows.h"
#include "toolkit/qt/QtApplication.h"
#include "toolkit/qt/QtSurface.h"
#include "toolkit/qt/QtWindow.h"

namespace kestrel::app {
namespace {

class FirstDraw : public platform::RandomSource {
public:
    std::uint32_t Between(std::uint32_t lo, std::uint32_t) override { return lo; }
};

// Serves the user-interface thread's events until pred holds; false when
// it still does not after a generous bound.
template <typename Pred>
bool ServeEventsUntil(Pred pred) {
    QElapsedTimer timer;
    timer.start();
    while (!pred()) {
        if (timer.elapsed() > 20000) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

TEST(KestrelWindow, BuildsFromItsTableStartsUpAndShutsDown) {
    testing::TempFolder folder;
    folder.MakeFolder("program/.minecraft/versions/1.18.2");
    toolkit::qt::QtApplication toolkit;
    kestrel::testing::FakeClock clock;
    FirstDraw random;
    platform::Workers workers;
    const auto host = platform::HostProfile::Current();
    LauncherApp launcher(toolkit, clock, random, workers,
                         shell::LauncherPaths::For(folder.path() + "/program", folder.path() + "/appdata",
                                                   "kestrel", host),
                         net::Endpoints::Defaults());
    launcher.hooks().first_java_path = [] { return std::string("/opt/java/bin/java"); };
    launcher.hooks().recommended_memory = [] { return 2048; };

    const auto surface = launcher.Open();
    auto* window = static_cast<toolkit::qt::QtSurface*>(surface.get())->window();
    const toolkit::WindowDef def = toolkit::MainWindowDef();
    EXPECT_EQ(window->size(), QSize(def.width, def.height));
    // Behind the start-up overlay the other controls are built after the
    // first frame; the overlay and its progress display are there at once.
    for (const char* first : {"初始化", "初始化进度", "初始化进度_文字", "初始化进度_文字1"}) {
        EXPECT_NE(window->findChild<QWidget*>(QString::fromUtf8(first)), nullptr) << first;
    }
    ASSERT_TRUE(ServeEventsUntil([&] { return window->everyControlMade(); }));
    EXPECT_EQ(window->windowTitle().toStdString(), "Kestrel 2");
    for (const toolkit::ControlDef& c : def.controls) {
        SCOPED_TRACE(c.name);
        QWidget* widget = window->findChild<QWidget*>(QString::fromStdString(c.name));
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(widget->parentWidget()->objectName().toStdString(), c.parent.empty() ? def.name : c.parent);
        if (c.name != "初始化") {
            EXPECT_EQ(widget->geometry(), QRect(c.x, c.y, c.width, c.height));
        }
    }
    // The created event ran the start-up: the overlay covers the window.
    EXPECT_EQ(surface->Geometry("初始化").x, 0);

    // The workers' writes reach the window through its event queue.
    ASSERT_TRUE(ServeEventsUntil([&] { return surface->Geometry("初始化").x == 5000; }));
    EXPECT_FALSE(surface->Visible("初始化"));
    EXPECT_TRUE(surface->Visible("窗口EX1"));
    EXPECT_EQ(surface->Text("初始化进度_文字"), "100%");
    ASSERT_TRUE(ServeEventsUntil([&] { return surface->Items("版本框").size() == 1; }));
    EXPECT_EQ(surface->Text("版本框"), "1.18.2");
    EXPECT_EQ(window->offThreadTouches(), 0);
    EXPECT_TRUE(platform::IsFolder(folder.path() + "/program/KSTfiles/Music"));

    StopWorkersServingEvents(workers);
    EXPECT_EQ(workers.Running(), 0);
}

TEST(KestrelWindow, TheFrameMinimisesAndClosingItStopsTheMusic) {
    testing::TempFolder folder;
    toolkit::qt::QtApplication toolkit;
    kestrel::testing::FakeClock clock;
    FirstDraw random;
    platform::Workers workers;
    LauncherApp launcher(toolkit, clock, random, workers,
                         shell::LauncherPaths::For(folder.path() + "/program", folder.path() + "/appdata",
                                                   "kestrel", platform::HostProfile::Current()),
                         net::Endpoints::Defaults());
    launcher.hooks().first_java_path = [] { return std::string("/opt/java/bin/java"); };
    launcher.hooks().recommended_memory = [] { return 2048; };
    const auto surface = launcher.Open();
    auto* window = static_cast<toolkit::qt::QtSurface*>(surface.get())->window();
    QWidget* frame = window->control("窗口EX1")->widget();
    ASSERT_NE(frame, nullptr);
    QPushButton* minimise = nullptr;
    QPushButton* close = nullptr;
    for (QPushButton* button : frame->findChildren<QPushButton*>()) {
        (button->property("closeButton").toBool() ? close : minimise) = button;
    }
    ASSERT_NE(minimise, nullptr);
    ASSERT_NE(close, nullptr);

    minimise->click();
    EXPECT_TRUE(window->windowState().testFlag(Qt::WindowMinimized));
    launcher.state().music_playing = true;
    close->click();
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(launcher.state().music_playing);
    StopWorkersServingEvents(workers);
}

TEST(KestrelWindow, ShutdownAnswersADialogAWorkerStillWaitsOn) {
    toolkit::qt::QtApplication toolkit;
    platform::Workers workers;
    std::atomic<bool> asking{false};
    toolkit::MessageAnswer answer = toolkit::MessageAnswer::Ok;
    workers.Start([&](std::stop_token) {
        asking = true;
        answer = toolkit.ShowMessageBox("未自动检测到Java,请您前往设置手动选择!", "Kestrel2",
                                        toolkit::MessageIcon::Warning, toolkit::MessageButtons::OkCancel);
    });
    ASSERT_TRUE(ServeEventsUntil([&] { return asking && !QApplication::topLevelWidgets().isEmpty(); }));
    StopWorkersServingEvents(workers);
    EXPECT_EQ(answer, toolkit::MessageAnswer::Cancel);
}

TEST(KestrelWindow, ShutdownServesAWorkerThatReadsTheWindow) {
    toolkit::qt::QtApplication toolkit;
    const auto surface = toolkit.CreateSurface(toolkit::MainWindowDef());
    platform::Workers workers;
    kestrel::testing::FakeClock clock;
    clock.Hold(true);
    // The worker reads the window (which waits for this thread) after its
    // stop request: joining it without serving events would never end.
    workers.Start([&](std::stop_token stop) {
        clock.Sleep(1000, stop);
        EXPECT_EQ(surface->Text("登录按钮"), "登录");
    });
    clock.WaitForSleepers(1);
    StopWorkersServingEvents(workers);
    EXPECT_EQ(workers.Running(), 0);
}

}  // namespace
}  // namespace kestrel::app
