#include <QAbstractButton>
#include <QApplication>
#include <QAbstractItemView>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QBuffer>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <atomic>
#include <fstream>
#include <iterator>
#include <thread>

#include <gtest/gtest.h>

#include "platform/Workers.h"
#include "toolkit/Assets.h"
#include "toolkit/Windows.h"
#include "toolkit/qt/KeyCodes.h"
#include "toolkit/qt/PictureDecoder.h"
#include "toolkit/qt/PicturesAhead.h"
#include "toolkit/qt/QtApplication.h"
#include "toolkit/qt/QtSurface.h"
#include "toolkit/qt/QtWindow.h"
#include "toolkit/QtTestSupport.h"

namespace kestrel::toolkit::qt {
namespace {

void ExpectBuiltFromTable(const WindowDef& def) {
    QtSurface s(def);
    QtWindow* w = s.window();
    EXPECT_EQ(w->size(), QSize(def.width, def.height));
    EXPECT_EQ(w->windowTitle().toStdString(), def.title);
    EXPECT_TRUE(w->windowFlags().testFlag(Qt::FramelessWindowHint));
    for (const ControlDef& c : def.controls) {
        SCOPED_TRACE(c.name);
        QWidget* widget = Widget(s, c.name);
        ASSERT_NE(widget, nullptr);
        const std::string parent = c.parent.empty() ? def.name : c.parent;
        EXPECT_EQ(widget->parentWidget()->objectName().toStdString(), parent);
        EXPECT_EQ(widget->geometry(), QRect(c.x, c.y, c.width, c.height));
        EXPECT_EQ(widget->isHidden(), !c.visible);
        // A list's caption is its column heading, not its text.
        EXPECT_EQ(s.Text(c.name), c.kind == ControlKind::List ? "" : c.caption);
        if (!c.items.empty()) {
            EXPECT_EQ(s.Items(c.name), c.items);
        }
    }
    // Later rows lie above earlier siblings: the overlay above everything.
    const QObjectList& top = w->children();
    if (def.Find("初始化")) {
        EXPECT_EQ(top.indexOf(Widget(s, "初始化")), top.lastIndexOf(Widget(s, "初始化")));
        EXPECT_GT(top.indexOf(Widget(s, "初始化")), top.indexOf(Widget(s, "背景")));
    }
    EXPECT_EQ(w->offThreadTouches(), 0);
}

TEST(QtBackend, BuildsBothWindowsFromTheirTables) {
    ExpectBuiltFromTable(MainWindowDef());
    ExpectBuiltFromTable(GameStartWindowDef(854, 510));
    ExpectBuiltFromTable(GameStartWindowDef(1920, 1110));
    ExpectBuiltFromTable(DownloadWindowDef());
}

// A list shows its rows in columns under the caption's headings; the
// player's click on a row is ItemSelected, rows and choices set by the
// program fire nothing.
TEST(QtBackend, AListShowsRowsInColumnsAndReportsTheChosenRow) {
    QtSurface s(DownloadWindowDef());
    std::vector<std::string> seen;
    s.On(kDownloadList, Event::ItemSelected, [&](const EventArgs& a) {
        seen.push_back(std::to_string(a.index) + " " + a.text);
    });
    s.ShowWindow();
    auto* list = static_cast<QTreeWidget*>(Widget(s, kDownloadList));
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->headerItem()->text(0).toStdString(), "版本");
    EXPECT_EQ(list->columnCount(), 4);
    const std::vector<std::string> rows = {"1.21.1\t正式版\t2024-08-08\t", "1.20.1\t正式版\t2023-06-12\t已安装"};
    s.SetItems(kDownloadList, rows);
    EXPECT_EQ(s.Items(kDownloadList), rows);
    ASSERT_EQ(list->topLevelItemCount(), 2);
    EXPECT_EQ(list->topLevelItem(1)->text(3).toStdString(), "已安装");
    s.SetText(kDownloadList, rows[1]);
    EXPECT_EQ(s.CurrentIndex(kDownloadList), 1);
    EXPECT_EQ(list->currentItem(), list->topLevelItem(1));
    EXPECT_TRUE(seen.empty());

    const QRect first = list->visualItemRect(list->topLevelItem(0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, first.center());
    EXPECT_EQ(seen, std::vector<std::string>{"0 " + rows[0]});
    EXPECT_EQ(s.Text(kDownloadList), rows[0]);
    s.ClearItems(kDownloadList);
    EXPECT_EQ(list->topLevelItemCount(), 0);
    EXPECT_EQ(s.CurrentIndex(kDownloadList), -1);
}

TEST(QtBackend, WorkerCallsReachTheWidgetsOnTheUserInterfaceThread) {
    QtSurface s(MainWindowDef());
    s.ShowWindow();
    std::atomic<bool> done{false};
    std::string read_back;
    int value_read = -1;
    Rect overlay;
    std::thread worker([&] {
        s.Move("初始化", 0, 0);
        s.SetText("初始化进度_文字1", "正在尝试连接Github仓库...");
        s.SetValue("初始化进度", 20);
        s.SetOpacity("初始化进度_文字", 125);
        s.SetTextColor("版本号显示", 0xFFFF0000);
        s.Show("更新失败提示");
        s.SetItems("版本框", {"1.16.5", "1.18.1"});
        s.SetText("版本框", "1.18.1");
        // Reads wait for the user-interface thread and see this thread's
        // earlier writes.
        read_back = s.Text("初始化进度_文字1");
        value_read = s.Value("初始化进度");
        overlay = s.Geometry("初始化");
        done = true;
    });
    EXPECT_TRUE(SpinUntil([&] { return done.load(); }));
    worker.join();
    EXPECT_EQ(read_back, "正在尝试连接Github仓库...");
    EXPECT_EQ(value_read, 20);
    EXPECT_EQ(overlay, (Rect{0, 0, 790, 486}));
    EXPECT_EQ(Widget(s, "初始化")->pos(), QPoint(0, 0));
    EXPECT_FALSE(Widget(s, "更新失败提示")->isHidden());
    EXPECT_EQ(s.Opacity("初始化进度_文字"), 125);
    EXPECT_EQ(s.TextColor("版本号显示"), 0xFFFF0000u);
    EXPECT_EQ(s.CurrentIndex("版本框"), 1);
    EXPECT_EQ(static_cast<QComboBox*>(Widget(s, "版本框"))->currentIndex(), 1);
    EXPECT_EQ(s.window()->offThreadTouches(), 0) << "no widget may be touched off its thread";
}

TEST(QtBackend, PlayerActionsBecomeEventsByName) {
    QtSurface s(MainWindowDef());
    std::vector<std::string> seen;
    int created = 0;
    s.On(kMainWindow, Event::WindowCreated, [&](const EventArgs&) { ++created; });
    s.On(kMainWindow, Event::WindowClosed, [&](const EventArgs&) { seen.push_back("closed"); });
    s.On("登录按钮", Event::Click, [&](const EventArgs&) { seen.push_back("click"); });
    s.On("副标题", Event::Click, [&](const EventArgs&) { seen.push_back("slogan"); });
    s.On("登录方式", Event::ItemSelected, [&](const EventArgs& a) {
        seen.push_back("chose " + std::to_string(a.index) + " " + a.text);
    });
    s.On("版本框", Event::ListOpened, [&](const EventArgs&) { seen.push_back("list"); });
    s.On("账号", Event::KeyPressed, [&](const EventArgs& a) { seen.push_back("key " + std::to_string(a.key_code)); });
    s.On("账号", Event::ContentChanged, [&](const EventArgs& a) { seen.push_back("text " + a.text); });
    s.ShowWindow();
    s.ShowWindow();
    EXPECT_EQ(created, 1);

    s.Move("账号", 82, 231);
    s.SetText("账号", "set by code");  // no event for the program's own changes
    s.SetText("账号", "");
    QTest::mouseClick(Widget(s, "登录按钮"), Qt::LeftButton);
    QTest::mouseClick(Widget(s, "副标题"), Qt::LeftButton);
    auto* type = static_cast<QComboBox*>(Widget(s, "登录方式"));
    emit type->activated(2);
    QTest::keyClicks(Widget(s, "账号"), "S");
    QTest::keyClick(Widget(s, "账号"), Qt::Key_Return);
    QTest::keyClick(Widget(s, "账号"), Qt::Key_Enter, Qt::KeypadModifier);
    s.Show("版本框");
    static_cast<QComboBox*>(Widget(s, "版本框"))->showPopup();
    static_cast<QComboBox*>(Widget(s, "版本框"))->hidePopup();
    s.CloseWindow();
    EXPECT_EQ(seen, (std::vector<std::string>{"click", "slogan", "chose 2 离线账户", "key 83", "text S",
                                              "key 13", "key 13", "list", "closed"}));
    EXPECT_EQ(s.Text("登录方式"), "离线账户");
    EXPECT_FALSE(s.WindowVisible());
}

// Keys that no edit takes are the window's own: the game-start window
// cancels on Escape, or on a click on its close control.
TEST(QtBackend, AWindowGetsTheKeysNoControlTook) {
    QtSurface s(GameStartWindowDef(854, 510));
    std::vector<std::string> seen;
    s.On(kGameStartWindow, Event::KeyPressed, [&](const EventArgs& a) { seen.push_back("key " + std::to_string(a.key_code)); });
    s.On("取消启动", Event::Click, [&](const EventArgs&) { seen.push_back("close control"); });
    s.ShowWindow();
    QTest::keyClick(s.window(), Qt::Key_Escape);
    QTest::keyClick(Widget(s, "初始化进度_文字1"), Qt::Key_Escape);
    QTest::mouseClick(Widget(s, "取消启动"), Qt::LeftButton);
    EXPECT_EQ(seen, (std::vector<std::string>{"key 27", "key 27", "close control"}));
}

TEST(QtBackend, MessageBoxBlocksOnlyTheWorker) {
    QtApplication app;
    std::atomic<bool> returned{false};
    MessageAnswer answer = MessageAnswer::Cancel;
    std::thread worker([&] {
        answer = app.ShowMessageBox("启动失败!\r\n错误信息:您并未选择要启动的版本!", "ERROR",
                                    MessageIcon::Error);
        returned = true;
    });
    QMessageBox* box = nullptr;
    ASSERT_TRUE(SpinUntil([&] {
        box = qApp->findChild<QMessageBox*>();
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* b = qobject_cast<QMessageBox*>(w); b && b->isVisible()) box = b;
        }
        return box != nullptr;
    }));
    EXPECT_EQ(box->text().toStdString(), "启动失败!\n错误信息:您并未选择要启动的版本!");
    EXPECT_EQ(box->windowTitle().toStdString(), "ERROR");
    EXPECT_EQ(box->icon(), QMessageBox::Critical);
    // The user-interface thread keeps running timers while the worker waits.
    bool ticked = false;
    QTimer::singleShot(30, [&] { ticked = true; });
    EXPECT_TRUE(SpinUntil([&] { return ticked; }));
    EXPECT_FALSE(returned.load()) << "the worker waits until the player answers";
    QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
    EXPECT_TRUE(SpinUntil([&] { return returned.load(); }));
    worker.join();
    EXPECT_EQ(answer, MessageAnswer::Ok);
}

TEST(QtBackend, StandardButtonsSpeakChinese) {
    QtApplication app;
    std::thread worker([&] { app.ShowMessageBox("设置已保存", "提示", MessageIcon::Information, MessageButtons::YesNo); });
    QMessageBox* box = nullptr;
    ASSERT_TRUE(SpinUntil([&] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* b = qobject_cast<QMessageBox*>(w); b && b->isVisible()) box = b;
        }
        return box != nullptr;
    }));
    EXPECT_EQ(box->button(QMessageBox::Yes)->text().remove(QLatin1Char('&')).toStdString().substr(0, 3), "是");
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "OK").toStdString(), "确定");
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel").toStdString(), "取消");
    QTest::mouseClick(box->button(QMessageBox::No), Qt::LeftButton);
    worker.join();
}

TEST(QtBackend, WorkerCreatesAWindowAndUsesTheServices) {
    QtApplication app;
    std::shared_ptr<Surface> window;
    std::atomic<bool> done{false};
    Size screen;
    std::string clip;
    std::thread worker([&] {
        window = app.CreateSurface(GameStartWindowDef(854, 510));
        window->ShowWindow();
        app.SetClipboardText("ABCD-1234");
        clip = app.ClipboardText();
        screen = app.PrimaryScreenSize();
        done = true;
    });
    EXPECT_TRUE(SpinUntil([&] { return done.load(); }));
    worker.join();
    EXPECT_EQ(clip, "ABCD-1234");
    EXPECT_GT(screen.width, 0);
    ASSERT_NE(window, nullptr);
    auto* qt_window = static_cast<QtSurface*>(window.get())->window();
    EXPECT_EQ(qt_window->thread(), qApp->thread()) << "windows live on the user-interface thread";
    EXPECT_TRUE(window->WindowVisible());
    // Released by a worker, the window is deleted on its own thread.
    std::thread([&] { window.reset(); }).join();
    QPointer<QtWindow> gone(qt_window);
    EXPECT_TRUE(SpinUntil([&] {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return gone.isNull();
    }));
}

TEST(QtBackend, KeysMapToWindowsKeyCodes) {
    const struct {
        int key;
        Qt::KeyboardModifiers mods;
        int code;
    } cases[] = {
        {Qt::Key_Return, Qt::NoModifier, 13},  {Qt::Key_Enter, Qt::KeypadModifier, 13},
        {Qt::Key_Comma, Qt::KeypadModifier, 108}, {Qt::Key_5, Qt::NoModifier, 53},
        {Qt::Key_5, Qt::KeypadModifier, 101},  {Qt::Key_A, Qt::ShiftModifier, 65},
        {Qt::Key_Escape, Qt::NoModifier, 27},  {Qt::Key_F1, Qt::NoModifier, 112},
        {Qt::Key_Backspace, Qt::NoModifier, 8}, {Qt::Key_Left, Qt::NoModifier, 37},
        {Qt::Key_Comma, Qt::NoModifier, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(WindowsKeyCode(c.key, c.mods), c.code) << c.key;
}

}  // namespace
}  // namespace kestrel::toolkit::qt

namespace kestrel::toolkit::qt {
namespace {

// Whether a library whose file name contains name is mapped into this
// process.
bool LibraryLoaded(const std::string& name) {
    std::ifstream maps("/proc/self/maps");
    const std::string all((std::istreambuf_iterator<char>(maps)), std::istreambuf_iterator<char>());
    return all.find(name) != std::string::npos;
}

TEST(QtBackend, MediaPlayerOpensAFileAndKnowsItsLength) {
    QtApplication app;
    // Qt Multimedia comes with the first player, not with the backend.
    EXPECT_FALSE(LibraryLoaded("libQt6Multimedia"));
    std::unique_ptr<MediaPlayer> player;
    bool opened = false, missing = true;
    long long length = 0;
    int volume = -1;
    std::atomic<bool> done{false};
    std::thread worker([&] {
        player = app.CreateMediaPlayer();
        missing = player->Open("/nonexistent/music.mp3");
        opened = player->Open(KESTREL_ASSETS_DIR "/launch.wav");
        length = player->LengthMs();
        player->SetVolume(30);
        volume = player->Volume();
        done = true;
    });
    EXPECT_TRUE(SpinUntil([&] { return done.load(); }, 15000));
    worker.join();
    EXPECT_FALSE(missing);
    EXPECT_TRUE(opened);
    EXPECT_NEAR(length, 3000, 50);
    EXPECT_EQ(volume, 30);
    EXPECT_TRUE(LibraryLoaded("libQt6Multimedia"));
    player.reset();

    // The one-shot sound plays from memory and cleans up after itself.
    QFile wav(QStringLiteral(KESTREL_ASSETS_DIR "/launch.wav"));
    ASSERT_TRUE(wav.open(QIODevice::ReadOnly));
    const std::string bytes = wav.readAll().toStdString();
    std::thread([&] { app.PlaySound(bytes); }).join();
    QTest::qWait(200);
}

}  // namespace
}  // namespace kestrel::toolkit::qt

namespace kestrel::toolkit::qt {
namespace {

TEST(QtBackend, PicturesDecodedAheadAreTakenOnceAndOthersAreNot) {
    const std::string_view overlay = Asset("overlay.png"), logo = Asset("logo.png");
    const QByteArray overlay_bytes(overlay.data(), static_cast<qsizetype>(overlay.size()));
    const QByteArray logo_bytes(logo.data(), static_cast<qsizetype>(logo.size()));
    platform::Workers workers;
    PicturesAhead pictures;
    pictures.DecodeAhead(workers, {overlay, logo});

    // Out of order, and from a copy of the bytes: the content decides.
    const QImage decoded_logo = pictures.Take(logo_bytes);
    EXPECT_FALSE(decoded_logo.isNull());
    EXPECT_EQ(decoded_logo, QImage::fromData(logo_bytes));
    const QImage decoded_overlay = pictures.Take(overlay_bytes);
    EXPECT_EQ(decoded_overlay.size(), QSize(790, 486));
    EXPECT_EQ(decoded_overlay, QImage::fromData(overlay_bytes));

    // Once taken, a picture is decoded by its user again; so is one never
    // decoded ahead.
    EXPECT_TRUE(pictures.Take(logo_bytes).isNull());
    EXPECT_TRUE(pictures.Take(QByteArray("not decoded ahead")).isNull());
}

TEST(QtBackend, PicturesLargerThanAnyWindowAreScaledDownWhileRead) {
    struct Case {
        QSize stored;
        QSize decoded;
    };
    for (const Case& c : {Case{{790, 486}, {790, 486}},
                          Case{{8000, 6000}, {kLargestPictureSide, 3072}},
                          Case{{3000, 9000}, {1365, kLargestPictureSide}}}) {
        SCOPED_TRACE(c.stored.width());
        QImage picture(c.stored, QImage::Format_RGB32);
        picture.fill(QColor(40, 120, 200));
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        ASSERT_TRUE(picture.save(&buffer, "JPG"));
        const QImage decoded = DecodePicture(bytes);
        ASSERT_FALSE(decoded.isNull());
        EXPECT_EQ(decoded.size(), c.decoded);
        // JPEG keeps the colour within a few steps.
        EXPECT_NEAR(QColor(decoded.pixel(decoded.width() / 2, decoded.height() / 2)).blue(), 200, 8);
    }
    EXPECT_TRUE(DecodePicture(QByteArray("no picture")).isNull());
}

TEST(QtBackend, TextThatDoesNotFitIsCutWithItsWholeTextAsTooltip) {
    QtApplication app;
    auto main = app.CreateSurface(MainWindowDef());
    auto settings = app.CreateSurface(SettingsWindowDef());
    auto* main_qt = static_cast<QtSurface*>(main.get());
    auto* settings_qt = static_cast<QtSurface*>(settings.get());
    main_qt->window()->show();
    settings_qt->window()->show();
    ASSERT_TRUE(SpinUntil([&] { return main_qt->window()->isVisible() && settings_qt->window()->isVisible(); }));

    // One-line labels: a long player name is cut, a short one is whole.
    const std::string long_name = "欢迎,ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnop";
    main->SetText("欢迎标题", long_name);
    EXPECT_EQ(Widget(*main_qt, "欢迎标题")->toolTip().toStdString(), long_name);
    main->SetText("欢迎标题", "欢迎,Steve");
    EXPECT_TRUE(Widget(*main_qt, "欢迎标题")->toolTip().isEmpty());
    // The message of the day has room for its two lines.
    main->SetText("服务器状态_标题", "A Minecraft Server\nsecond line 1.20.1");
    EXPECT_TRUE(Widget(*main_qt, "服务器状态_标题")->toolTip().isEmpty());

    // Every fixed item of the settings window's boxes shows whole, the
    // window size box also where "自定义" narrows it.
    for (const ControlDef& c : SettingsWindowDef().controls) {
        for (const std::string& item : c.items) {
            SCOPED_TRACE(c.name + ": " + item);
            settings->SetText(c.name, item);
            EXPECT_TRUE(Widget(*settings_qt, c.name)->toolTip().isEmpty());
        }
    }
    settings->Resize("设置_通用_游戏窗口大小_选择框", 72, 24);
    settings->SetText("设置_通用_游戏窗口大小_选择框", "自定义");
    EXPECT_TRUE(Widget(*settings_qt, "设置_通用_游戏窗口大小_选择框")->toolTip().isEmpty());
    // A version id longer than the version box is cut in the box, whole in
    // its tooltip and in its open list.
    const std::string version = "fabric-loader-0.16.9-1.21.4";
    main->Show("版本框");
    main->SetItems("版本框", {"1.21.4", version});
    main->SetText("版本框", version);
    auto* box = qobject_cast<QComboBox*>(Widget(*main_qt, "版本框"));
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->toolTip().toStdString(), version);
    box->showPopup();
    EXPECT_GT(box->view()->minimumWidth(), box->fontMetrics().horizontalAdvance(QString::fromStdString(version)));
    box->hidePopup();
}

TEST(QtBackend, APanelOnAPanelCoversWhatLiesBeneathIt) {
    QtApplication app;
    WindowDef def;
    def.name = "covers";
    def.width = 200;
    def.height = 100;
    ControlDef page;
    page.name = "page";
    page.kind = ControlKind::Panel;
    page.width = 200;
    page.height = 100;
    ControlDef note = page;
    note.name = "note";
    note.parent = "page";
    note.x = 20;
    note.y = 20;
    note.width = 100;
    note.height = 50;
    def.controls = {page, note};
    auto surface = app.CreateSurface(def);
    auto* qt_surface = static_cast<QtSurface*>(surface.get());
    // Each panel alone, without a background beneath it.
    const auto look = [&](const char* name) {
        QWidget* w = Widget(*qt_surface, name);
        QImage image(w->size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        w->render(&image, QPoint(), QRegion(), QWidget::RenderFlags());
        return image;
    };
    const QImage page_look = look("page");
    const QImage note_look = look("note");
    EXPECT_LT(qAlpha(page_look.pixel(100, 90)), 255);
    EXPECT_EQ(qAlpha(note_look.pixel(50, 25)), 255);
}

TEST(QtBackend, APictureDecodedAheadReachesItsControl) {
    QtApplication app;
    platform::Workers workers;
    app.DecodePicturesAhead(workers, {Asset("logo.png")});
    WindowDef def;
    def.name = "pictures";
    def.width = 200;
    def.height = 100;
    ControlDef picture;
    picture.name = "logo";
    picture.kind = ControlKind::Picture;
    picture.width = 200;
    picture.height = 100;
    def.controls.push_back(picture);
    auto surface = app.CreateSurface(def);
    surface->SetPicture("logo", std::string(Asset("logo.png")));
    auto* qt_surface = static_cast<QtSurface*>(surface.get());
    const QImage shown = qt_surface->window()->findChild<QWidget*>(QStringLiteral("logo"))->grab().toImage();
    // The logo has opaque pixels somewhere; an empty control has none.
    bool painted = false;
    for (int y = 0; y < shown.height() && !painted; ++y) {
        for (int x = 0; x < shown.width() && !painted; ++x) painted = qAlpha(shown.pixel(x, y)) > 0;
    }
    EXPECT_TRUE(painted);
}

}  // namespace
}  // namespace kestrel::toolkit::qt
