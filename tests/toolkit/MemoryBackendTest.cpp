#include <atomic>
#include <thread>

#include <gtest/gtest.h>

#include "toolkit/MemoryApplication.h"
#include "toolkit/MemorySurface.h"
#include "toolkit/Windows.h"

namespace kestrel::toolkit {
namespace {

using namespace std::chrono_literals;

// A small window with the kinds the main window lacks.
WindowDef SettingsLikeDef() {
    WindowDef w;
    w.name = "设置窗口";
    w.title = "设置";
    w.width = 790;
    w.height = 486;
    auto def = [](const char* name, ControlKind kind, const char* parent) {
        ControlDef c;
        c.name = name;
        c.kind = kind;
        c.parent = parent;
        c.width = 100;
        c.height = 24;
        return c;
    };
    w.controls = {def("页", ControlKind::Panel, ""), def("内存滑块", ControlKind::Slider, "页"),
                  def("内存框", ControlKind::Edit, "页"), def("音乐开关", ControlKind::Switch, "页")};
    return w;
}

struct Opened {
    MemorySurface s{MainWindowDef()};
    Opened() { s.ShowWindow(); }
};

TEST(MemorySurface, PlayerActionsReachHandlersByNameWithTheirDetails) {
    Opened w;
    std::vector<std::string> seen;
    w.s.On("登录按钮", Event::Click, [&](const EventArgs&) { seen.push_back("click"); });
    w.s.On("登录方式", Event::ItemSelected, [&](const EventArgs& a) {
        seen.push_back("chose " + std::to_string(a.index) + " " + a.text);
        // Handlers may drive the surface again.
        w.s.SetText("账号_标签标题", a.text == "离线账户" ? "用户名:" : "账号:");
    });
    w.s.On("登录方式", Event::ListOpened, [&](const EventArgs&) { seen.push_back("list"); });
    EXPECT_TRUE(w.s.Click("登录按钮"));
    EXPECT_TRUE(w.s.OpenList("登录方式"));
    EXPECT_TRUE(w.s.Choose("登录方式", 2));
    EXPECT_EQ(seen, (std::vector<std::string>{"click", "list", "chose 2 离线账户"}));
    EXPECT_EQ(w.s.Text("登录方式"), "离线账户");
    EXPECT_EQ(w.s.CurrentIndex("登录方式"), 2);
    EXPECT_EQ(w.s.Text("账号_标签标题"), "用户名:");
    EXPECT_FALSE(w.s.Choose("登录方式", 3)) << "no such item";

    MemorySurface settings(SettingsLikeDef());
    settings.ShowWindow();
    std::vector<int> keys, positions;
    std::vector<std::string> typed;
    settings.On("内存框", Event::KeyPressed, [&](const EventArgs& a) { keys.push_back(a.key_code); });
    settings.On("内存框", Event::ContentChanged, [&](const EventArgs& a) { typed.push_back(a.text); });
    settings.On("内存滑块", Event::PositionChanged, [&](const EventArgs& a) { positions.push_back(a.value); });
    settings.SetRange("内存滑块", 0, 400);
    EXPECT_TRUE(settings.Type("内存框", "1025"));
    EXPECT_TRUE(settings.PressKey("内存框", kKeyEnter));
    EXPECT_TRUE(settings.Drag("内存滑块", 999));
    EXPECT_EQ(typed, std::vector<std::string>{"1025"});
    EXPECT_EQ(keys, std::vector<int>{13});
    EXPECT_EQ(positions, std::vector<int>{400}) << "a drag stops at the end of the range";
    EXPECT_FALSE(settings.Drag("内存框", 5)) << "an edit is no slider";
}

TEST(MemorySurface, ThePlayerCannotReachHiddenOrDisabledControls) {
    MemorySurface s(MainWindowDef());
    int clicks = 0;
    s.On("启动游戏按钮", Event::Click, [&](const EventArgs&) { ++clicks; });
    s.On("登录按钮", Event::Click, [&](const EventArgs&) { ++clicks; });
    EXPECT_FALSE(s.Click("登录按钮")) << "the window is not open yet";
    s.ShowWindow();
    EXPECT_FALSE(s.Click("启动游戏按钮")) << "designed hidden";
    s.Show("启动游戏按钮");
    EXPECT_TRUE(s.Click("启动游戏按钮"));
    s.SetEnabled("登录按钮", false);
    EXPECT_FALSE(s.Click("登录按钮"));
    s.SetEnabled("登录按钮", true);
    s.Hide("登录面板");
    EXPECT_FALSE(s.Click("登录按钮")) << "inside a hidden panel";
    EXPECT_TRUE(s.Visible("登录按钮")) << "its own visibility is unchanged";
    s.Show("登录面板");
    s.MinimizeWindow();
    EXPECT_FALSE(s.Click("登录按钮"));
    s.ShowWindow();
    EXPECT_TRUE(s.Click("登录按钮"));
    EXPECT_EQ(clicks, 2);
    // Fire runs the handlers whatever the state, for tests that need it.
    s.Hide("启动游戏按钮");
    EXPECT_EQ(s.Fire("启动游戏按钮", Event::Click), 1);
    EXPECT_EQ(clicks, 3);
}

TEST(MemorySurface, WindowEventsFireOnceEachOpenAndClose) {
    MemorySurface s(GameStartWindowDef(854, 510));
    int created = 0, closed = 0;
    s.On(kGameStartWindow, Event::WindowCreated, [&](const EventArgs&) { ++created; });
    s.On(kGameStartWindow, Event::WindowClosed, [&](const EventArgs&) { ++closed; });
    s.CloseWindow();
    EXPECT_EQ(closed, 0) << "a window never opened does not close";
    s.ShowWindow();
    s.HideWindow();
    s.ShowWindow();
    EXPECT_EQ(created, 1);
    EXPECT_TRUE(s.CloseByPlayer());
    s.CloseWindow();
    EXPECT_EQ(closed, 1);
    EXPECT_FALSE(s.WindowOpen());
    s.SetWindowTitle("Minecraft 1.18");
    EXPECT_EQ(s.WindowTitle(), "Minecraft 1.18");
}

TEST(MemorySurface, KeepsEveryPropertyAndTheOrderOfChanges) {
    Opened w;
    auto& s = w.s;
    s.Move("初始化", 0, 0);
    s.Resize("初始化进度", 510, 20);
    EXPECT_EQ(s.Geometry("初始化"), (Rect{0, 0, 790, 486}));
    EXPECT_EQ(s.Geometry("初始化进度"), (Rect{120, 368, 510, 20}));
    // The overlay's fade: from 255, ten less per step while above 5.
    for (int o = 255; o > 5;) {
        o -= 10;
        s.SetOpacity("初始化", o);
    }
    s.SetOpacity("初始化进度", -20);
    s.SetOpacity("初始化进度_文字", 300);
    EXPECT_EQ(s.Opacity("初始化"), 5);
    EXPECT_EQ(s.History("初始化", "opacity").size(), 25u);
    EXPECT_EQ(s.Opacity("初始化进度"), 0);
    EXPECT_EQ(s.Opacity("初始化进度_文字"), 255);
    s.SetTextColor("版本号显示", 0xFFFFEE00);
    EXPECT_EQ(s.TextColor("版本号显示"), 0xFFFFEE00u);
    s.SetPicture("用户头像", std::string("\x89PNG\0rest", 9));
    EXPECT_EQ(s.Picture("用户头像"), std::string("\x89PNG\0rest", 9));
    s.SetActive("用户头像", true);
    EXPECT_TRUE(s.Active("用户头像"));

    // Values stay within the range, also when the range shrinks.
    s.SetValue("初始化进度", 140);
    EXPECT_EQ(s.Value("初始化进度"), 100);
    s.SetRange("初始化进度", 0, 50);
    EXPECT_EQ(s.Value("初始化进度"), 50);
    s.SetSecondValue("初始化进度", -3);
    EXPECT_EQ(s.SecondValue("初始化进度"), 0);

    for (const char* step : {"20%", "30%", "100%"}) s.SetText("初始化进度_文字", step);
    EXPECT_EQ(s.History("初始化进度_文字", "text"), (std::vector<std::string>{"20%", "30%", "100%"}));
    const auto changes = s.Changes();
    ASSERT_FALSE(changes.empty());
    EXPECT_EQ(changes.back().control, "初始化进度_文字");
    EXPECT_EQ(s.Problems(), std::vector<std::string>{});
}

// The version box shows the selected version even before (or without) an
// item of that name; its index follows its text.
TEST(MemorySurface, ComboTextAndIndexFollowOneRule) {
    Opened w;
    auto& s = w.s;
    s.SetText("版本框", "1.18.1");
    EXPECT_EQ(s.CurrentIndex("版本框"), -1);
    for (const char* v : {"1.16.5", "1.18.1", "1.18.1-forge"}) s.AddItem("版本框", v);
    EXPECT_EQ(s.Text("版本框"), "1.18.1");
    EXPECT_EQ(s.CurrentIndex("版本框"), 1);
    s.SetCurrentIndex("版本框", 2);
    EXPECT_EQ(s.Text("版本框"), "1.18.1-forge");
    s.SetCurrentIndex("版本框", 7);
    EXPECT_EQ(s.Text("版本框"), "");
    EXPECT_EQ(s.CurrentIndex("版本框"), -1);
    s.SetText("版本框", "1.16.5");
    s.ClearItems("版本框");
    EXPECT_EQ(s.Items("版本框"), std::vector<std::string>{});
    EXPECT_EQ(s.Text("版本框"), "") << "an emptied box stays empty";
    s.SetItems("版本框", {"a", "b"});
    EXPECT_EQ(s.CurrentIndex("版本框"), -1);
}

TEST(MemorySurface, MisspeltNamesAndMisfitOperationsAreReported) {
    Opened w;
    auto& s = w.s;
    s.SetText("启动游戏按纽", "x");  // one character wrong
    EXPECT_EQ(s.Text("不存在"), "");
    EXPECT_EQ(s.CurrentIndex("不存在"), -1);
    s.SetItems("副标题", {"a"});
    s.SetValue("登录按钮", 3);
    s.On("不存在", Event::Click, [](const EventArgs&) {});
    const auto problems = s.Problems();
    ASSERT_EQ(problems.size(), 6u);
    EXPECT_NE(problems[0].find("启动游戏按纽"), std::string::npos);
    EXPECT_NE(problems[3].find("label"), std::string::npos);
    EXPECT_NE(problems[4].find("button"), std::string::npos);
}

TEST(MemorySurface, WorkersWriteWhileATestWaits) {
    Opened w;
    auto& s = w.s;
    std::atomic<int> handled{0};
    s.On("副标题", Event::Click, [&](const EventArgs&) { ++handled; });
    std::vector<std::thread> workers;
    for (int t = 0; t < 4; ++t) {
        workers.emplace_back([&s, t] {
            for (int i = 0; i <= 100; ++i) {
                s.SetValue("初始化进度", i);
                s.SetText("初始化进度_文字", std::to_string(i) + "%");
                (void)s.Text("初始化进度_文字1");
            }
            if (t == 0) s.SetText("初始化进度_文字1", "检查更新完成!");
        });
    }
    workers.emplace_back([&s] {
        for (int i = 0; i < 50; ++i) s.Click("副标题");
    });
    EXPECT_TRUE(s.WaitUntil([&] { return s.Text("初始化进度_文字1") == "检查更新完成!"; }, 5s));
    for (auto& t : workers) t.join();
    EXPECT_EQ(handled.load(), 50);
    EXPECT_EQ(s.Value("初始化进度"), 100);
    EXPECT_FALSE(s.WaitUntil([&] { return s.Text("初始化进度_文字1") == "never"; }, 20ms));
}

TEST(MemoryApplication, RecordsMessageBoxesAndAnswersFromTheScript) {
    MemoryApplication app;
    app.ScriptAnswer(MessageAnswer::Cancel);
    std::thread worker([&] {
        EXPECT_EQ(app.ShowMessageBox("启动失败!\r\n错误信息:您并未选择要启动的版本!", "ERROR",
                                     MessageIcon::Error, MessageButtons::OkCancel),
                  MessageAnswer::Cancel);
        EXPECT_EQ(app.ShowMessageBox("未检测到您安装了Java!", "Error", MessageIcon::Error),
                  MessageAnswer::Ok);
        EXPECT_EQ(app.ShowMessageBox("?", "?", MessageIcon::Warning, MessageButtons::YesNo),
                  MessageAnswer::Yes);
    });
    EXPECT_TRUE(app.WaitForMessageBoxes(3, 5s));
    worker.join();
    const auto boxes = app.MessageBoxes();
    EXPECT_EQ(boxes[0].text, "启动失败!\r\n错误信息:您并未选择要启动的版本!");
    EXPECT_EQ(boxes[0].caption, "ERROR");
    EXPECT_EQ(boxes[0].icon, MessageIcon::Error);
    EXPECT_EQ(boxes[2].icon, MessageIcon::Warning);
    EXPECT_FALSE(app.WaitForMessageBoxes(4, 10ms));
}

TEST(MemoryApplication, ServicesAreRecordedAndScripted) {
    MemoryApplication app;
    auto surface = app.CreateSurface(MainWindowDef());
    EXPECT_EQ(app.Window(kMainWindow).get(), surface.get());
    EXPECT_EQ(app.Window(kGameStartWindow), nullptr);

    app.SetClipboardText("ABCD-EFGH");
    EXPECT_EQ(app.ClipboardText(), "ABCD-EFGH");
    EXPECT_TRUE(app.OpenInShell("https://www.microsoft.com/link"));
    EXPECT_EQ(app.OpenedInShell(), std::vector<std::string>{"https://www.microsoft.com/link"});

    app.ScriptDialog("/opt/java/bin/java");
    EXPECT_EQ(app.OpenFileDialog("选择Java", "/", "java"), "/opt/java/bin/java");
    EXPECT_EQ(app.FolderDialog("选择游戏目录(通常是.Minecraft)", "/"), "") << "nothing scripted: cancelled";
    ASSERT_EQ(app.Dialogs().size(), 2u);
    EXPECT_EQ(app.Dialogs()[1].kind, "folder");

    app.SetMediaLength("/music/a.mp3", 183000);
    auto player = app.CreateMediaPlayer();
    EXPECT_TRUE(player->Open("/music/a.mp3"));
    EXPECT_EQ(player->LengthMs(), 183000);
    player->SetVolume(130);
    player->Play();
    EXPECT_TRUE(player->Playing());
    player->Pause();
    EXPECT_FALSE(player->Open("/music/missing.mp3"));
    EXPECT_EQ(player->LengthMs(), 0);
    const MediaRecord r = app.MediaPlayers().at(0);
    EXPECT_EQ(r.volume, 100);
    EXPECT_EQ(r.plays, 1);
    EXPECT_EQ(r.pauses, 1);
    EXPECT_EQ(r.opened.size(), 2u);

    app.PlaySound(std::string(1000, 'x'));
    EXPECT_EQ(app.SoundsPlayed(), std::vector<size_t>{1000});
    app.SetPrimaryScreenSize({1920, 1080});
    EXPECT_EQ(app.PrimaryScreenSize(), (Size{1920, 1080}));
    int posted = 0;
    app.Post([&] { ++posted; });
    EXPECT_EQ(posted, 1);
    app.Quit();
    EXPECT_EQ(app.QuitCount(), 1);
}

}  // namespace
}  // namespace kestrel::toolkit
