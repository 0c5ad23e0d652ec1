// Saving the options off the user-interface thread: a burst of changes, a
// failed save, the end of the program, and the "检测" button's discovery.

#include <filesystem>
#include <future>

#include <gtest/gtest.h>

#include "shell/SettingsWindowFixture.h"

namespace kestrel::shell::testing {
namespace {

constexpr const char* kTitleBox = "设置_个性化_游戏标题_框";
constexpr const char* kDetect = "设置_通用_Java选项_Java地址_检测";

TEST_F(SettingsWindowTest, ABurstOfKeystrokesIsOneWriteOfTheLastText) {
    auto s = Open();
    s->Click("设置_个性化");
    WaitForSaves();
    const int before = state_.options_saver.Writes();

    state_.options_saver.HoldWrites(true);
    std::string typed;
    for (const char* character : {"我", "的", "世", "界", " ", "1", ".", "1", "2"}) {
        typed += character;
        ASSERT_TRUE(s->Type(kTitleBox, typed));
    }
    // The keystrokes returned without touching the file.
    EXPECT_EQ(Record().game_window_title, "我的世界 1.12");
    EXPECT_EQ(platform::ReadFile(options_.path()).value_or("").find("我的世界"), std::string::npos);

    state_.options_saver.HoldWrites(false);
    EXPECT_EQ(Reloaded().game_window_title, "我的世界 1.12");
    EXPECT_EQ(state_.options_saver.Writes(), before + 1);
    EXPECT_TRUE(app_.MessageBoxes().empty());
}

// The data folder turned into a plain file: no options file can be written
// until it is a folder again.
TEST_F(SettingsWindowTest, AFailedSaveIsSaidOnceUntilASaveSucceeds) {
    auto s = Open();
    s->Click("设置_个性化");
    WaitForSaves();
    const std::string data = folder_.path() + "/KSTfiles";
    const auto break_folder = [&] {
        std::filesystem::remove_all(data);
        folder_.Write("KSTfiles", "not a folder");
    };
    const auto mend_folder = [&] {
        std::filesystem::remove(data);
        std::filesystem::create_directory(data);
    };

    break_folder();
    for (const char* text : {"a", "ab", "abc"}) {
        ASSERT_TRUE(s->Type(kTitleBox, text));
        WaitForSaves();  // each keystroke its own failed write
    }
    WaitForWorkers();
    ASSERT_EQ(app_.MessageBoxes().size(), 1u);
    EXPECT_EQ(app_.MessageBoxes()[0].text.rfind("设置保存失败:", 0), 0u) << app_.MessageBoxes()[0].text;
    EXPECT_NE(app_.MessageBoxes()[0].text.find("KSTfiles"), std::string::npos) << app_.MessageBoxes()[0].text;
    EXPECT_EQ(app_.MessageBoxes()[0].caption, "Kestrel2");
    EXPECT_EQ(app_.MessageBoxes()[0].icon, toolkit::MessageIcon::Warning);
    // The record keeps what was typed.
    EXPECT_EQ(Record().game_window_title, "abc");

    mend_folder();
    ASSERT_TRUE(s->Type(kTitleBox, "abcd"));
    EXPECT_EQ(Reloaded().game_window_title, "abcd");

    break_folder();
    ASSERT_TRUE(s->Type(kTitleBox, "abcde"));
    WaitForSaves();
    WaitForWorkers();
    EXPECT_EQ(app_.MessageBoxes().size(), 2u);
    ExpectNoProblems(*s);
}

TEST_F(SettingsWindowTest, TheEndOfTheProgramWritesWhatIsPending) {
    auto s = Open();
    s->Click("设置_个性化");
    WaitForSaves();
    state_.options_saver.HoldWrites(true);
    ASSERT_TRUE(s->Type(kTitleBox, "held"));
    // Stopping the workers releases the held writer, which writes first.
    workers_.StopAll();
    EXPECT_EQ(Reloaded().game_window_title, "held");

    // A change once the workers have stopped finds no writer; the program
    // writes it at its very end.
    ASSERT_TRUE(s->Type(kTitleBox, "last"));
    EXPECT_NE(platform::ReadFile(options_.path()).value_or(""), "");
    EXPECT_EQ(platform::ReadFile(options_.path()).value_or("").find("last"), std::string::npos);
    ASSERT_TRUE(state_.options_saver.Flush(ctx_).ok());
    SettingsRecord record;
    options_.Load(record, [] { return 0; });
    EXPECT_EQ(record.game_window_title, "last");
    EXPECT_TRUE(state_.options_saver.Flush(ctx_).ok());  // nothing left: nothing written
}

TEST_F(SettingsWindowTest, DetectSearchesOnAWorkerAndIgnoresClicksMeanwhile) {
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    std::atomic<int> searches{0};
    std::atomic<bool> hold{false};
    SettingsSources sources = Sources();
    sources.discover_java = [&, released] {
        ++searches;
        if (hold) released.wait();
        return javas_;
    };
    auto s = std::dynamic_pointer_cast<toolkit::MemorySurface>(OpenSettingsWindow(ctx_, sources));
    WaitForWorkers();
    s->Click("设置_通用");
    const int at_open = searches;

    hold = true;
    // Both clicks return while the search is held; the second starts none.
    ASSERT_TRUE(s->Click(kDetect));
    ASSERT_TRUE(s->Click(kDetect));
    release.set_value();
    WaitForWorkers();
    EXPECT_EQ(searches, at_open + 1);
    EXPECT_EQ(s->Items("设置_通用_Java选项_Java地址_选择框").size(), javas_.size());

    ASSERT_TRUE(s->Click(kDetect));
    WaitForWorkers();
    EXPECT_EQ(searches, at_open + 2);
    ExpectNoProblems(*s);
}

}  // namespace
}  // namespace kestrel::shell::testing
