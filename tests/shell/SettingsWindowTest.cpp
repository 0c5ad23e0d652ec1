// The settings window's opening, its pages and the settings it saves, on the
// in-memory toolkit.

#include <sys/stat.h>

#include <atomic>
#include <future>

#include <gtest/gtest.h>

#include "shell/SettingsWindowFixture.h"
#include "skins/PngCodec.h"
#include "skins/SkinPictures.h"
#include "toolkit/Assets.h"

namespace kestrel::shell::testing {
namespace {

using toolkit::MemorySurface;

constexpr const char* kJavaBox = "设置_通用_Java选项_Java地址_选择框";
constexpr const char* kMemoryBox = "设置_通用_内存_输入框";
constexpr const char* kSlider = "设置_通用_内存_滑块";
constexpr const char* kUsageBar = "设置_通用_内存_占用条";
constexpr const char* kSizeBox = "设置_通用_游戏窗口大小_选择框";

TEST_F(SettingsWindowTest, OpensOwnedNotModalWithTheAccountPageAndTheVersion) {
    auto s = Open();
    ASSERT_NE(s, nullptr);
    EXPECT_TRUE(s->WindowOpen());
    EXPECT_EQ(s->WindowTitle(), "设置");
    EXPECT_EQ(s->Text("设置_版本_标题"), "启动器版本:22w02a");
    EXPECT_TRUE(s->Visible("设置_账户夹"));
    EXPECT_FALSE(s->Enabled("设置_账户"));
    for (const char* page : {"设置_通用夹", "设置_个性化夹", "设置_关于夹"}) EXPECT_FALSE(s->Visible(page)) << page;
    // The main window stays usable.
    EXPECT_TRUE(state_.settings_window_open);
    ExpectNoProblems(*s);
}

TEST_F(SettingsWindowTest, PageButtonsShowTheirPageAndMarkTheirButton) {
    auto s = Open();
    const std::vector<std::pair<std::string, std::string>> pages = {
        {"设置_通用", "设置_通用夹"}, {"设置_个性化", "设置_个性化夹"}, {"设置_关于", "设置_关于夹"}, {"设置_账户", "设置_账户夹"}};
    for (const auto& [button, panel] : pages) {
        SCOPED_TRACE(button);
        ASSERT_TRUE(s->Click(button));
        for (const auto& [other_button, other_panel] : pages) {
            EXPECT_EQ(s->Enabled(other_button), other_button != button);
            EXPECT_EQ(s->Visible(other_panel), other_panel == panel);
        }
    }
    s->Click("设置_通用");
    EXPECT_EQ(s->Geometry("设置_通用夹"), (toolkit::Rect{110, 16, 665, 419}));
    ExpectNoProblems(*s);
}

TEST_F(SettingsWindowTest, ThePageButtonsWithoutAPageChangeNothing) {
    auto s = Open();
    const std::string saved = SavedFile();
    const SettingsRecord before = Record();
    s->ClearChanges();
    for (const char* button : {"设置_高级", "设置_服务器", "设置_游戏内"}) {
        EXPECT_TRUE(s->Click(button)) << button;
        EXPECT_EQ(s->HandlerCount(button, toolkit::Event::Click), 0) << button;
    }
    EXPECT_TRUE(s->Changes().empty());
    EXPECT_EQ(SavedFile(), saved);
    EXPECT_EQ(Record().saved_text, before.saved_text);
    EXPECT_TRUE(s->Visible("设置_账户夹"));
}

TEST_F(SettingsWindowTest, ReturnClosesAndTheNextClickOpensAFreshWindow) {
    auto s = Open();
    // A second click while it is open brings back the same window.
    EXPECT_EQ(OpenSettingsWindow(ctx_, Sources()), s);
    EXPECT_EQ(app_.Windows().size(), 2u);
    ASSERT_TRUE(s->Click("设置_返回"));
    EXPECT_FALSE(s->WindowOpen());
    EXPECT_FALSE(state_.settings_window_open);
    auto again = Open();
    EXPECT_NE(again, s);
    EXPECT_TRUE(again->WindowOpen());
}

// The general page's memory figures: 16000 MB in all, 6001 MB available,
// so 9999 MB in use. Memory 0 takes the recommendation for 6001 MB free
// (4096), which the slider's tens of MB make 4090.
TEST_F(SettingsWindowTest, GeneralPageFillsTheMemoryFiguresWithTruncatingDivisions) {
    auto s = Open();
    EXPECT_EQ(s->Text("设置_通用_内存_总内存"), "16000MB");
    EXPECT_EQ(s->Range(kSlider), (std::pair{0, 600}));
    EXPECT_EQ(s->Value(kSlider), 409);
    EXPECT_EQ(s->Range(kUsageBar), (std::pair{0, 1600}));
    EXPECT_EQ(s->Value(kUsageBar), 999);
    EXPECT_EQ(s->SecondValue(kUsageBar), 1408);
    EXPECT_EQ(s->Text("设置_通用_内存_已使用"), "已使用:9999MB");
    EXPECT_EQ(s->Text("设置_通用_内存_内存占用"), "内存占用:4090MB");
    EXPECT_EQ(s->Text("设置_通用_内存_总使用"), "总使用:14089MB");
    EXPECT_EQ(s->Text(kMemoryBox), "4090");
    EXPECT_EQ(Record().memory, 4090);
    EXPECT_EQ(Reloaded().memory, 4090);

    s->Click("设置_通用");
    ASSERT_TRUE(s->Drag(kSlider, 257));
    EXPECT_EQ(Reloaded().memory, 2570);
    EXPECT_EQ(s->Text("设置_通用_内存_总使用"), "总使用:12569MB");
    EXPECT_EQ(s->SecondValue(kUsageBar), 1256);
    ExpectNoProblems(*s);
}

TEST_F(SettingsWindowTest, MemoryBoxTakesItsNumberOnEnterOrTheSeparatorKey) {
    const std::string refused = "Kestrel2|内存必须是513到16000之间的整数(单位MB),已保留原来的设置。";
    struct Case {
        std::string typed;
        int key;
        std::int32_t stored;
        std::string message;  // "" for none
    };
    const std::vector<Case> cases = {
        {"1025", toolkit::kKeyEnter, 1020, ""},   // tens of MB, truncated
        {"2049", toolkit::kKeySeparator, 2040, ""},
        {"3000", 65, 2040, ""},                   // any other key leaves it
        {"9000", toolkit::kKeyEnter, 6000, ""},   // at most the available memory
        {"513", toolkit::kKeyEnter, 520, ""},     // never below what a launch takes
        {"abc", toolkit::kKeyEnter, 520, refused},  // the old value stays
        {"-500", toolkit::kKeyEnter, 520, refused},
        {"512", toolkit::kKeyEnter, 520, refused},
        {"16001", toolkit::kKeyEnter, 520, refused},  // more than the machine has
        {"99999999999999999999", toolkit::kKeyEnter, 520, refused},
        {"", toolkit::kKeyEnter, 520, refused},
        {" 2048 ", toolkit::kKeyEnter, 2040, ""},
    };
    auto s = Open();
    s->Click("设置_通用");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        const std::size_t boxes = app_.MessageBoxes().size();
        ASSERT_TRUE(s->Type(kMemoryBox, c.typed));
        ASSERT_TRUE(s->PressKey(kMemoryBox, c.key));
        EXPECT_EQ(Record().memory, c.stored);
        EXPECT_EQ(Reloaded().memory, c.stored);
        if (c.key != 65) {
            EXPECT_EQ(s->Text(kMemoryBox), std::to_string(c.stored));
            EXPECT_EQ(s->Value(kSlider), c.stored / 10);
        }
        const auto shown = app_.MessageBoxes();
        ASSERT_EQ(shown.size(), boxes + (c.message.empty() ? 0 : 1));
        if (!c.message.empty()) {
            EXPECT_EQ(shown.back().caption + "|" + shown.back().text, c.message);
        }
    }
    ExpectNoProblems(*s);
}

// The player may type a memory size before the general page has filled in:
// the figures are read when the window opens, so the handler never clamps
// the memory to zero available MB.
TEST_F(SettingsWindowTest, MemoryTypedWhileTheGeneralPageStillFillsIsKept) {
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    std::promise<void> reached;
    std::atomic<int> calls{0};
    SettingsSources sources = Sources();
    sources.memory_figures = [&, released] {
        // The first call is the opening's; the next, from the general fill's
        // recommendation, waits until the player has typed.
        if (calls++ > 0) {
            reached.set_value();
            released.wait();
        }
        return memory_;
    };
    auto s = std::dynamic_pointer_cast<toolkit::MemorySurface>(OpenSettingsWindow(ctx_, sources));
    reached.get_future().wait();
    s->Click("设置_通用");
    ASSERT_TRUE(s->Type(kMemoryBox, "2000"));
    ASSERT_TRUE(s->PressKey(kMemoryBox, toolkit::kKeyEnter));
    EXPECT_EQ(Record().memory, 2000);
    release.set_value();
    WaitForWorkers();
    EXPECT_EQ(Reloaded().memory, 2000);
    EXPECT_EQ(s->Text(kMemoryBox), "2000");
}

TEST_F(SettingsWindowTest, RecommendedMemorySetsSliderAndMarker) {
    state_.settings.Update([](SettingsRecord& r) { r.memory = 1500; });
    auto s = Open();
    EXPECT_EQ(Record().memory, 1500);
    s->Click("设置_通用");
    ASSERT_TRUE(s->Click("设置_通用_内存_推荐内存"));
    EXPECT_EQ(s->Value(kSlider), 409);
    EXPECT_EQ(s->SecondValue(kSlider), 409);
    EXPECT_EQ(Reloaded().memory, 4090);
}

TEST_F(SettingsWindowTest, JavaBoxListsEveryJavaInDiscoveryOrderAndStoresTheFirst) {
    auto s = Open();
    EXPECT_EQ(s->Items(kJavaBox), (std::vector<std::string>{
                                      "Java8 | /opt/java/jre1.8.0_301/bin/java",
                                      "Java17 | /opt/java/jdk-17.0.2/bin/java",
                                      "Java11 | /opt/java/jdk-11/bin/java",
                                  }));
    EXPECT_EQ(s->Text(kJavaBox), "Java8 | /opt/java/jre1.8.0_301/bin/java");
    EXPECT_EQ(Reloaded().java_path, "/opt/java/jre1.8.0_301/bin/java");
    EXPECT_EQ(Reloaded().java_label, "8");

    s->Click("设置_通用");
    ASSERT_TRUE(s->Choose(kJavaBox, 2));
    EXPECT_EQ(Reloaded().java_path, "/opt/java/jdk-11/bin/java");
    EXPECT_EQ(Reloaded().java_label, "11");
    ExpectNoProblems(*s);
}

TEST_F(SettingsWindowTest, OnWindowsTheChosenItemsPathEndsAtItsExe) {
    ctx_.host = platform::HostProfile::Windows64();
    javas_ = {{"8", "C:\\Program Files\\Java\\jre1.8.0_301\\bin\\javaw.exe", "64"},
              {"17", "C:\\Program Files\\Java\\jdk-17.0.2\\bin\\javaw.exe", "64"}};
    auto s = Open();
    s->Click("设置_通用");
    ASSERT_TRUE(s->Choose(kJavaBox, 1));
    EXPECT_EQ(Reloaded().java_path, "C:\\Program Files\\Java\\jdk-17.0.2\\bin\\javaw.exe");
    EXPECT_EQ(Reloaded().java_label, "17");
}

TEST_F(SettingsWindowTest, StoredJavaIsShownAndKept) {
    state_.settings.Update([](SettingsRecord& r) {
        r.java_path = "/usr/lib/jvm/custom/bin/java";
        r.java_label = "自定义Java";
    });
    auto s = Open();
    EXPECT_EQ(s->Text(kJavaBox), "自定义Java | /usr/lib/jvm/custom/bin/java");
    EXPECT_EQ(Record().java_path, "/usr/lib/jvm/custom/bin/java");
    state_.settings.Update([](SettingsRecord& r) { r.java_label = "21"; });
    s->Click("设置_返回");
    EXPECT_EQ(Open()->Text(kJavaBox), "Java21 | /usr/lib/jvm/custom/bin/java");
}

TEST_F(SettingsWindowTest, NoJavaFoundShowsTheErrorAndLeavesTheJavaAlone) {
    javas_.clear();
    state_.settings.Update([](SettingsRecord& r) { r.java_path = "/gone/bin/java"; });
    auto s = Open();
    ASSERT_EQ(app_.MessageBoxes().size(), 1u);
    EXPECT_EQ(app_.MessageBoxes()[0].text,
              "未检测到您安装了Java!\r\n请安装或是去设置里手动选择您已安装且未检测到的java,否则会启动失败!");
    EXPECT_EQ(app_.MessageBoxes()[0].caption, "Error");
    EXPECT_EQ(app_.MessageBoxes()[0].icon, toolkit::MessageIcon::Error);
    EXPECT_TRUE(s->Items(kJavaBox).empty());
    EXPECT_EQ(s->Text(kJavaBox), "");
    EXPECT_EQ(Record().java_path, "/gone/bin/java");

    s->Click("设置_通用");
    ASSERT_TRUE(s->Click("设置_通用_Java选项_Java地址_检测"));
    WaitForWorkers();
    ASSERT_EQ(app_.MessageBoxes().size(), 2u);
    EXPECT_EQ(app_.MessageBoxes()[1].text, "未自动检测到Java,请您手动选择!");
    EXPECT_EQ(app_.MessageBoxes()[1].caption, "Kestrel2");
    EXPECT_EQ(app_.MessageBoxes()[1].icon, toolkit::MessageIcon::Warning);
}

TEST_F(SettingsWindowTest, DetectRebuildsTheBoxAndShowsTheJavaInUse) {
    auto s = Open();
    s->Click("设置_通用");
    s->Choose(kJavaBox, 1);
    javas_.push_back({"21", "/opt/java/jdk-21/bin/java", "64"});
    ASSERT_TRUE(s->Click("设置_通用_Java选项_Java地址_检测"));
    WaitForWorkers();
    EXPECT_EQ(s->Items(kJavaBox).size(), 4u);
    EXPECT_EQ(s->Items(kJavaBox).back(), "Java21 | /opt/java/jdk-21/bin/java");
    // The box names the Java the launch will use, not merely the last one found.
    EXPECT_EQ(s->Text(kJavaBox), "Java17 | /opt/java/jdk-17.0.2/bin/java");
    EXPECT_EQ(Reloaded().java_path, "/opt/java/jdk-17.0.2/bin/java");

    // With no Java stored the last one found is shown and becomes the stored one.
    state_.settings.Update([](SettingsRecord& r) { r.java_path.clear(); });
    ASSERT_TRUE(s->Click("设置_通用_Java选项_Java地址_检测"));
    WaitForWorkers();
    EXPECT_EQ(s->Text(kJavaBox), "Java21 | /opt/java/jdk-21/bin/java");
    EXPECT_EQ(Reloaded().java_path, "/opt/java/jdk-21/bin/java");
    EXPECT_TRUE(app_.MessageBoxes().empty());
}

TEST_F(SettingsWindowTest, BrowseTakesTheChosenJavaWithItsVersion) {
    auto s = Open();
    s->Click("设置_通用");
    const std::string saved = SavedFile();
    // Cancelled: the Java in use stays.
    ASSERT_TRUE(s->Click("设置_通用_Java选项_Java地址_查找"));
    EXPECT_EQ(SavedFile(), saved);
    EXPECT_EQ(Record().java_path, "/opt/java/jre1.8.0_301/bin/java");

    app_.ScriptDialog("/home/me/jdk/bin/java");
    ASSERT_TRUE(s->Click("设置_通用_Java选项_Java地址_查找"));
    WaitForWorkers();
    EXPECT_EQ(app_.Dialogs().back().kind, "file");
    EXPECT_EQ(app_.Dialogs().back().start_folder, folder_.path());
    EXPECT_EQ(s->Text(kJavaBox), "17 | /home/me/jdk/bin/java");
    EXPECT_EQ(Reloaded().java_path, "/home/me/jdk/bin/java");
    EXPECT_EQ(Reloaded().java_label, "17");
}

// A Java picked by hand is run with -version first (the real check, on real
// files): a file that is none is refused with the reason, and the Java set
// before stays.
TEST_F(SettingsWindowTest, BrowseRefusesAFileThatIsNoJava) {
    const auto file = [this](const std::string& name, const std::string& text, unsigned mode) {
        const std::string path = folder_.Write(name, text);
        ::chmod(path.c_str(), mode);
        return path;
    };
    const struct Case {
        std::string path;
        std::string reason;  // "" for a Java
    } cases[] = {
        {file("notes.txt", "not a program\n", 0644), "该文件没有可执行权限"},
        {file("silent", "#!/bin/sh\nexit 0\n", 0755), "该程序运行 -version 后没有给出Java的版本"},
        {KESTREL_JAVA, ""},
    };
    SettingsSources sources = Sources();
    sources.check_java = SettingsSources::ForHost(host_).check_java;
    auto s = std::dynamic_pointer_cast<toolkit::MemorySurface>(OpenSettingsWindow(ctx_, sources));
    WaitForWorkers();
    s->Click("设置_通用");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        const std::string before = Record().java_path;
        const std::size_t boxes = app_.MessageBoxes().size();
        app_.ScriptDialog(c.path);
        ASSERT_TRUE(s->Click("设置_通用_Java选项_Java地址_查找"));
        WaitForWorkers();
        const auto shown = app_.MessageBoxes();
        if (c.reason.empty()) {
            EXPECT_EQ(shown.size(), boxes);
            EXPECT_EQ(Reloaded().java_path, c.path);
            EXPECT_EQ(s->Text(kJavaBox), "17 | " + c.path);
            continue;
        }
        ASSERT_EQ(shown.size(), boxes + 1);
        EXPECT_EQ(shown.back().text, kNotAJavaText + c.path + "\r\n" + c.reason);
        EXPECT_EQ(shown.back().icon, toolkit::MessageIcon::Warning);
        EXPECT_EQ(Record().java_path, before);
        EXPECT_EQ(Reloaded().java_path, before);
    }
}

// What the options file cannot hold is refused where it is typed or picked:
// the box goes back to the value that stays, and a message says why.
TEST_F(SettingsWindowTest, TypedValuesTheFileCannotHoldAreRefused) {
    const std::string size_refused = "游戏窗口宽度必须是1到16384之间的整数,已保留原来的设置。";
    const std::string text_refused = "游戏标题不能包含英文双引号(\")、换行符或其他控制字符,已保留原来的设置。";
    const struct Case {
        const char* box;
        std::string typed;
        std::string message;  // "" when taken
        std::string shown;    // the box afterwards
    } cases[] = {
        {"设置_通用_游戏窗口大小_宽度", "1280", "", "1280"},
        {"设置_通用_游戏窗口大小_宽度", "", "", ""},  // being retyped: nothing saved, nothing said
        {"设置_通用_游戏窗口大小_宽度", "abc", size_refused, "1280"},
        {"设置_通用_游戏窗口大小_宽度", "-100000", size_refused, "1280"},
        {"设置_通用_游戏窗口大小_宽度", "0", size_refused, "1280"},
        {"设置_通用_游戏窗口大小_宽度", "16385", size_refused, "1280"},
        {"设置_通用_游戏窗口大小_宽度", "2147483648", size_refused, "1280"},
        {"设置_通用_游戏窗口大小_宽度", "16384", "", "16384"},
        {"设置_个性化_游戏标题_框", "My title", "", "My title"},
        {"设置_个性化_游戏标题_框", "My \"title\"", text_refused, "My title"},
        {"设置_个性化_游戏标题_框", "My\r\nMemory=\"0", text_refused, "My title"},
        {"设置_个性化_游戏标题_框", "tab\t", text_refused, "My title"},
        {"设置_个性化_游戏水印_框", "由我启动", "", "由我启动"},
        {"设置_个性化_游戏水印_框", "由\"我", "游戏水印不能包含英文双引号(\")、换行符或其他控制字符,已保留原来的设置。",
         "由我启动"},
    };
    auto s = Open();
    s->Click("设置_通用");
    ASSERT_TRUE(s->Choose(kSizeBox, 1));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        const std::size_t boxes = app_.MessageBoxes().size();
        s->Click(std::string(c.box).starts_with("设置_个性化") ? "设置_个性化" : "设置_通用");
        ASSERT_TRUE(s->Type(c.box, c.typed));
        EXPECT_EQ(s->Text(c.box), c.shown);
        const auto shown = app_.MessageBoxes();
        ASSERT_EQ(shown.size(), boxes + (c.message.empty() ? 0 : 1));
        if (!c.message.empty()) {
            EXPECT_EQ(shown.back().text, c.message);
        }
    }
    // What the next start reads is what was taken.
    const SettingsRecord saved = Reloaded();
    EXPECT_EQ(saved.game_window_width, 16384);
    EXPECT_EQ(saved.game_window_title, "My title");
    EXPECT_EQ(saved.game_window_watermark, "由我启动");

    // A game folder picked in the dialog with a line end is refused too.
    s->Click("设置_通用");
    const std::string folder_before = Record().game_folder;
    app_.ScriptDialog("/games/new\nline");
    ASSERT_TRUE(s->Click("设置_通用_游戏目录_选择"));
    EXPECT_EQ(Record().game_folder, folder_before);
    EXPECT_EQ(app_.MessageBoxes().back().text,
              "游戏目录的路径不能包含英文双引号(\")、换行符或其他控制字符,已保留原来的设置。");
    ExpectNoProblems(*s);
}

TEST_F(SettingsWindowTest, ForcedIsolationIsSavedAndShownAgainAfterReopening) {
    auto s = Open();
    EXPECT_EQ(s->Text("设置_通用_版本隔离_选择框"), "关闭隔离");
    s->Click("设置_通用");
    ASSERT_TRUE(s->Choose("设置_通用_版本隔离_选择框", 1));
    EXPECT_NE(SavedFile().find("Isolation=\"True\""), std::string::npos);
    EXPECT_TRUE(Reloaded().isolation);
    s->Click("设置_返回");

    // The next start reads the file; the window shows what it holds.
    state_.settings.Set(Reloaded());
    auto again = Open();
    EXPECT_EQ(again->Text("设置_通用_版本隔离_选择框"), "强制隔离");
    EXPECT_EQ(again->CurrentIndex("设置_通用_版本隔离_选择框"), 1);
}

TEST_F(SettingsWindowTest, DownloadOptionsAreSavedAtOnceAndShownAgainAfterReopening) {
    auto s = Open();
    EXPECT_EQ(s->Text("设置_通用_下载源_选择框"), "官方");
    EXPECT_EQ(s->Text("设置_通用_同时下载_选择框"), "16");
    EXPECT_TRUE(s->Checked("设置_通用_启动前检查_启用"));
    s->Click("设置_通用");
    ASSERT_TRUE(s->Choose("设置_通用_下载源_选择框", 1));
    EXPECT_NE(SavedFile().find("DownloadSource=\"bmclapi\""), std::string::npos);
    ASSERT_TRUE(s->Choose("设置_通用_同时下载_选择框", 6));
    EXPECT_NE(SavedFile().find("DownloadThreads=\"64\""), std::string::npos);
    ASSERT_TRUE(s->Click("设置_通用_启动前检查_启用"));
    EXPECT_FALSE(s->Checked("设置_通用_启动前检查_启用"));
    EXPECT_NE(SavedFile().find("CheckFilesBeforeLaunch=\"False\""), std::string::npos);
    s->Click("设置_返回");

    // The next start reads the file; the window shows what it holds, a
    // number of downloads that is none of the items included.
    SettingsRecord reloaded = Reloaded();
    EXPECT_EQ(reloaded.download_source, settings::DownloadSource::kBmclapi);
    EXPECT_EQ(reloaded.download_jobs, 64);
    EXPECT_FALSE(reloaded.check_files_before_launch);
    reloaded.download_jobs = 12;
    state_.settings.Set(reloaded);
    auto again = Open();
    EXPECT_EQ(again->Text("设置_通用_下载源_选择框"), "BMCLAPI");
    EXPECT_EQ(again->Text("设置_通用_同时下载_选择框"), "12");
    EXPECT_FALSE(again->Checked("设置_通用_启动前检查_启用"));
    ExpectNoProblems(*again);
}

TEST_F(SettingsWindowTest, AfterLaunchActionFollowsTheItemText) {
    auto s = Open();
    EXPECT_EQ(s->Text("设置_通用_启动器行为_选择框"), "启动游戏后结束运行");
    s->Click("设置_通用");
    for (int index = 0; index < 5; ++index) {
        ASSERT_TRUE(s->Choose("设置_通用_启动器行为_选择框", index));
        EXPECT_EQ(Reloaded().launcher_waiting, index + 1);
    }
}

TEST_F(SettingsWindowTest, WindowSizeRules) {
    app_.SetPrimaryScreenSize({1920, 1080});
    struct Case {
        int index;
        std::int32_t mode;
        int width;
        int height;
    };
    const std::vector<Case> cases = {
        {3, kWindowFullScreen, 1920, 1080},
        {0, kWindowDefault, 854, 480},
        {4, kWindowAsLauncher, 790, 486},
        {2, kWindowMaximised, 1920, 1080},
    };
    auto s = Open();
    s->Click("设置_通用");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.index);
        ASSERT_TRUE(s->Choose(kSizeBox, c.index));
        const SettingsRecord saved = Reloaded();
        EXPECT_EQ(saved.game_window, c.mode);
        EXPECT_EQ(saved.game_window_width, c.width);
        EXPECT_EQ(saved.game_window_height, c.height);
        EXPECT_EQ(s->Text("设置_通用_游戏窗口大小_宽度"), std::to_string(c.width));
        EXPECT_EQ(s->Text("设置_通用_游戏窗口大小_高度"), std::to_string(c.height));
        EXPECT_FALSE(s->Visible("设置_通用_游戏窗口大小_宽度"));
        EXPECT_EQ(s->Geometry(kSizeBox).width, 196);
    }

    // "自定义" keeps the size and lets it be typed.
    ASSERT_TRUE(s->Choose(kSizeBox, 1));
    EXPECT_EQ(Reloaded().game_window, kWindowCustom);
    EXPECT_EQ(Reloaded().game_window_width, 1920);
    EXPECT_EQ(s->Geometry(kSizeBox).width, 72);
    for (const char* box : {"设置_通用_游戏窗口大小_宽度", "设置_通用_游戏窗口大小_分隔", "设置_通用_游戏窗口大小_高度"}) {
        EXPECT_TRUE(s->Visible(box)) << box;
    }
    ASSERT_TRUE(s->Type("设置_通用_游戏窗口大小_宽度", "1280"));
    ASSERT_TRUE(s->Type("设置_通用_游戏窗口大小_高度", "72"));
    EXPECT_EQ(Reloaded().game_window_width, 1280);
    EXPECT_EQ(Reloaded().game_window_height, 72);
    s->Click("设置_返回");

    auto again = Open();
    EXPECT_EQ(again->Text(kSizeBox), "自定义");
    EXPECT_EQ(again->Geometry(kSizeBox).width, 72);
    EXPECT_TRUE(again->Visible("设置_通用_游戏窗口大小_高度"));
    EXPECT_EQ(again->Text("设置_通用_游戏窗口大小_宽度"), "1280");
    ExpectNoProblems(*again);
}

TEST_F(SettingsWindowTest, GameFolderChooseAndDefault) {
    auto s = Open();
    EXPECT_EQ(s->Text("设置_通用_游戏目录_框"), folder_.path() + "/.minecraft");
    s->Click("设置_通用");

    // Cancelled: the game folder in use stays.
    const std::string saved = SavedFile();
    ASSERT_TRUE(s->Click("设置_通用_游戏目录_选择"));
    EXPECT_EQ(app_.Dialogs().back().kind, "folder");
    EXPECT_EQ(app_.Dialogs().back().title, "选择游戏目录(通常是.Minecraft)");
    EXPECT_EQ(SavedFile(), saved);
    EXPECT_TRUE(Record().game_folder_auto);

    app_.ScriptDialog("/games/mc");
    ASSERT_TRUE(s->Click("设置_通用_游戏目录_选择"));
    EXPECT_EQ(s->Text("设置_通用_游戏目录_框"), "/games/mc");
    EXPECT_EQ(Record().current_game_dir, "/games/mc");
    EXPECT_FALSE(Reloaded().game_folder_auto);
    EXPECT_EQ(Reloaded().game_folder, "/games/mc");

    ASSERT_TRUE(s->Click("设置_通用_游戏目录_默认"));
    EXPECT_EQ(s->Text("设置_通用_游戏目录_框"), "默认(取运行目录+Minecraft)");
    EXPECT_EQ(Record().current_game_dir, folder_.path() + "/.minecraft");
    EXPECT_NE(SavedFile().find("GameFolder=\"\"\r\nGameFolder_Auto=\"True\""), std::string::npos);
    // The next start keeps the automatic folder.
    EXPECT_TRUE(Reloaded().game_folder_auto);
    EXPECT_EQ(Reloaded().current_game_dir, folder_.path() + "/.minecraft");
}

TEST_F(SettingsWindowTest, PersonalisationPage) {
    state_.settings.Update([](SettingsRecord& r) { r.game_window_title = "我的世界"; });
    auto s = Open();
    EXPECT_TRUE(s->Checked("设置_个性化_音乐_启用"));
    EXPECT_EQ(s->Text("设置_个性化_游戏标题_框"), "我的世界");
    s->Click("设置_个性化");

    ASSERT_TRUE(s->Click("设置_个性化_音乐_启用"));
    EXPECT_FALSE(s->Checked("设置_个性化_音乐_启用"));
    EXPECT_FALSE(Reloaded().music_player);
    ASSERT_TRUE(s->Click("设置_个性化_音乐_启用"));
    EXPECT_TRUE(Reloaded().music_player);

    ASSERT_TRUE(s->Type("设置_个性化_游戏标题_框", "Minecraft 1.18"));
    ASSERT_TRUE(s->Type("设置_个性化_游戏水印_框", "水印"));
    EXPECT_EQ(Reloaded().game_window_title, "Minecraft 1.18");
    EXPECT_EQ(Reloaded().game_window_watermark, "水印");

    ASSERT_TRUE(s->Click("设置_个性化_音乐_打开目录"));
    ASSERT_TRUE(s->Click("设置_个性化_背景_打开目录"));
    EXPECT_EQ(app_.OpenedInShell(), (std::vector<std::string>{folder_.path() + "/KSTfiles/Music",
                                                              folder_.path() + "/KSTfiles/Backgrounds"}));
    ExpectNoProblems(*s);
}

// The automatic Java choice is on for a file without the key, and a click
// turns it off (and on again), saved at once.
TEST_F(SettingsWindowTest, AutomaticJavaSwitchShowsAndSavesTheSetting) {
    auto s = Open();
    s->Click("设置_通用");
    EXPECT_TRUE(s->Checked("设置_通用_Java选项_自动选择"));
    ASSERT_TRUE(s->Click("设置_通用_Java选项_自动选择"));
    EXPECT_FALSE(s->Checked("设置_通用_Java选项_自动选择"));
    EXPECT_FALSE(Reloaded().automatic_java);
    EXPECT_NE(SavedFile().find("\r\nAutoJava=\"False\""), std::string::npos) << SavedFile();
    ASSERT_TRUE(s->Click("设置_通用_Java选项_自动选择"));
    EXPECT_TRUE(Reloaded().automatic_java);
    ExpectNoProblems(*s);
}

TEST_F(SettingsWindowTest, AdvancedSwitchSpringsBackAndSavesNothing) {
    auto s = Open();
    s->Click("设置_通用");
    const std::string saved = SavedFile();
    s->SetChecked("设置_通用_高级启动选项_启用", true);  // as the player's click leaves it
    ASSERT_TRUE(s->Click("设置_通用_高级启动选项_启用"));
    WaitForWorkers();
    EXPECT_FALSE(s->Checked("设置_通用_高级启动选项_启用"));
    EXPECT_EQ(s->History("临时标题", "visible"), (std::vector<std::string>{"1", "0"}));
    EXPECT_EQ(clock_.Sleeps(), (std::vector<std::int64_t>{500, 3000}));
    EXPECT_EQ(SavedFile(), saved);
    EXPECT_EQ(Record().advanced, 0);
}

TEST_F(SettingsWindowTest, AboutPageShowsTheVersionAndTheThanks) {
    auto s = Open();
    EXPECT_EQ(s->Text("设置_关于_版本"), "版本:22w02a");
    EXPECT_EQ(s->Text("设置_关于_鸣谢_内容"), kThanks);
}

TEST_F(SettingsWindowTest, FailedThanksDownloadLeavesTheBoxEmpty) {
    ctx_.endpoints.Override("thanks=" + server_.Url("/missing.txt"));
    auto s = Open();
    EXPECT_EQ(s->Text("设置_关于_鸣谢_内容"), "");
    EXPECT_EQ(s->Text("设置_关于_版本"), "版本:22w02a");
}

struct AccountCase {
    accounts::SignInState state;
    std::string label;
    bool cover;
    int cover_x;
    bool rename;
    std::string badge;
};

TEST_F(SettingsWindowTest, AccountPageBySignInState) {
    const std::vector<AccountCase> cases = {
        {accounts::SignInState::kOffline, "离线登录", true, 282, false, "badge-offline.png"},
        {accounts::SignInState::kMicrosoft, "正版(Microsoft登录)", false, 290, true, "badge-microsoft.png"},
        {accounts::SignInState::kMojang, "正版(Mojang登录)", true, 290, false, "badge-mojang.png"},
        {accounts::SignInState::kAuthlib, "Authlib外置登录", true, 290, false, "badge-authlib.png"},
    };
    const std::string skin(toolkit::Asset("skin.png"));
    for (const AccountCase& c : cases) {
        SCOPED_TRACE(c.label);
        state_.accounts.SignIn({"Steve", "uuid", "token", "", ""}, c.state);
        auto s = Open();
        EXPECT_EQ(s->Text("设置_账户_类型"), c.label);
        EXPECT_EQ(s->Text("设置_账户_玩家名"), "Steve");
        EXPECT_EQ(s->Visible("设置_账户_遮罩"), c.cover);
        EXPECT_EQ(s->Geometry("设置_账户_遮罩").x, c.cover_x);
        EXPECT_EQ(s->Visible("设置_账户_更名"), c.rename);
        EXPECT_FALSE(s->Visible("设置_账户_未登录面板"));
        EXPECT_EQ(s->Picture("设置_账户_类型图标"), std::string(toolkit::Asset(c.badge)));
        EXPECT_EQ(s->Picture("设置_账户_头像"), skins::HeadPicture(skin, 80));
        EXPECT_EQ(s->Picture("设置_账户_正面"), skins::FrontPicture(skin));
        EXPECT_EQ(s->Picture("设置_账户_反面"), skins::BackPicture(skin));
        ExpectNoProblems(*s);
        s->Click("设置_返回");
    }
    // Without UserSkin.png the built-in skin is drawn and written.
    EXPECT_EQ(platform::ReadFile(DataFile("UserSkin_Front.png")), skins::FrontPicture(skin));
    EXPECT_EQ(platform::ReadFile(DataFile("UserSkin_Back.png")), skins::BackPicture(skin));
}

TEST_F(SettingsWindowTest, AccountPageDrawsThePlayersOwnSkin) {
    // A plain red 64 x 64 skin, whose pictures differ from the built-in skin's.
    skins::Image own(64, 64);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) own.Set(x, y, skins::MakeArgb(255, 200, 30, 30));
    const std::string own_png = skins::EncodePng(own);
    folder_.Write("KSTfiles/UserSkin.png", own_png);
    state_.accounts.SignIn({"Alex", "uuid", "token", "", ""}, accounts::SignInState::kMicrosoft);
    auto s = Open();
    EXPECT_EQ(s->Picture("设置_账户_正面"), skins::FrontPicture(own_png));
    EXPECT_NE(s->Picture("设置_账户_正面"), skins::FrontPicture(std::string(toolkit::Asset("skin.png"))));
    EXPECT_EQ(platform::ReadFile(DataFile("UserSkin_Back.png")), skins::BackPicture(own_png));
}

TEST_F(SettingsWindowTest, AUserSkinThatIsNoPictureGivesTheBuiltInSkin) {
    folder_.Write("KSTfiles/UserSkin.png", "<html>not found</html>");
    state_.accounts.SignIn({"Steve", "uuid", "token", "", ""}, accounts::SignInState::kMojang);
    auto s = Open();
    const std::string skin(toolkit::Asset("skin.png"));
    EXPECT_EQ(s->Picture("设置_账户_正面"), skins::FrontPicture(skin));
    EXPECT_EQ(s->Picture("设置_账户_头像"), skins::HeadPicture(skin, 80));
    EXPECT_EQ(platform::ReadFile(DataFile("UserSkin_Back.png")), skins::BackPicture(skin));
}

TEST_F(SettingsWindowTest, NobodySignedInShowsOnlyTheNotSignedInPanel) {
    auto s = Open();
    EXPECT_TRUE(s->Visible("设置_账户_未登录面板"));
    EXPECT_EQ(s->Geometry("设置_账户_未登录面板").x, 11);
    EXPECT_EQ(s->Text("设置_账户_类型"), "");
    EXPECT_EQ(s->Text("设置_账户_玩家名"), "");
    EXPECT_EQ(s->Picture("设置_账户_正面"), "");
    EXPECT_FALSE(platform::IsRegularFile(DataFile("UserSkin_Front.png")));
}

TEST_F(SettingsWindowTest, SkinChangeStepsAndTheMessage) {
    state_.accounts.SignIn({"Steve", "uuid", "token", "", ""}, accounts::SignInState::kMicrosoft);
    auto s = Open();
    EXPECT_FALSE(s->Click("设置_账户_Steve"));
    EXPECT_FALSE(s->Click("设置_账户_更换皮肤"));

    ASSERT_TRUE(s->Click("设置_账户_皮肤文件_选择"));  // cancelled
    EXPECT_FALSE(s->Enabled("设置_账户_Steve"));
    app_.ScriptDialog("/home/me/skin.png");
    ASSERT_TRUE(s->Click("设置_账户_皮肤文件_选择"));
    EXPECT_EQ(app_.Dialogs().back().start_folder, folder_.path());
    EXPECT_EQ(s->Text("设置_账户_皮肤文件框"), "/home/me/skin.png");
    EXPECT_FALSE(s->Enabled("设置_账户_更换皮肤"));

    ASSERT_TRUE(s->Click("设置_账户_Alex"));
    ASSERT_TRUE(s->Click("设置_账户_Steve"));
    EXPECT_TRUE(s->Checked("设置_账户_Steve"));
    EXPECT_FALSE(s->Checked("设置_账户_Alex"));
    ASSERT_TRUE(s->Click("设置_账户_更换皮肤"));
    ASSERT_EQ(app_.MessageBoxes().size(), 1u);
    EXPECT_EQ(app_.MessageBoxes()[0].text, "Never gonna give you up~");
    EXPECT_EQ(app_.MessageBoxes()[0].caption, "还在开发中awa");
    EXPECT_EQ(app_.MessageBoxes()[0].icon, toolkit::MessageIcon::Information);
}

}  // namespace
}  // namespace kestrel::shell::testing
