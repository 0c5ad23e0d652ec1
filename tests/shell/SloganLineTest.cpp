#include "shell/SloganLine.h"

#include <gtest/gtest.h>

#include <thread>

#include "content/Slogans.h"
#include "shell/ContentWiring.h"
#include "shell/ContentWiringFixture.h"

namespace kestrel::shell {
namespace {

using testing::ContentLauncher;

const std::string kFallback(content::kFallbackSlogan);

TEST(SloganLine, TheLoadedListDecidesTheLine) {
    const struct Case {
        const char* name;
        const char* titlelist;  // nullptr: the file is missing (404)
        std::vector<std::uint32_t> draws;
        std::string shown;
        std::vector<std::pair<std::uint32_t, std::uint32_t>> ranges;
    } cases[] = {
        {"three lines, the third drawn", "一\r\n二\r\n三", {3}, "三", {{1, 3}}},
        {"three lines, the first drawn", "一\r\n二\r\n三\r\n", {1}, "一", {{1, 3}}},
        {"a single line is always shown", "唯一的标语", {1}, "唯一的标语", {{1, 1}}},
        {"an empty file keeps the fallback", "", {}, kFallback, {}},
        {"a missing file keeps the fallback", nullptr, {}, kFallback, {}},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        ContentLauncher launcher;
        if (test.titlelist) launcher.Serve("/slogans/Titlelist.ini", test.titlelist);
        launcher.random().Script(test.draws);
        LoadSlogans(launcher.ctx(), {});
        EXPECT_EQ(launcher.window().Text("副标题"), test.shown);
        EXPECT_EQ(launcher.random().Ranges(), test.ranges);
        EXPECT_TRUE(launcher.window().Problems().empty());
    }
}

TEST(SloganLine, ASilentServerLeavesTheFallbackAndAStopEndsTheWait) {
    ContentLauncher launcher;
    testing::SilentServer silent;
    launcher.Point("slogans", silent.Url("/Titlelist.ini"));
    std::stop_source stop;
    std::jthread worker([&] { LoadSlogans(launcher.ctx(), stop.get_token()); });
    ASSERT_TRUE(testing::Eventually([&] { return silent.connections() > 0; }));
    // While the server says nothing the line already reads the fallback.
    EXPECT_EQ(launcher.window().Text("副标题"), kFallback);
    stop.request_stop();
    worker.join();
    EXPECT_EQ(launcher.window().Text("副标题"), kFallback);
    EXPECT_TRUE(launcher.state().slogans.Get().empty());
    EXPECT_TRUE(launcher.random().Ranges().empty());
}

TEST(SloganLine, AClickBeforeTheSlogansArriveShowsTheFallback) {
    ContentLauncher launcher;
    launcher.Serve("/slogans/Titlelist.ini", "a\r\nb\r\nc");
    WireContent(launcher.ctx());
    toolkit::MemorySurface& window = launcher.window();

    // Before the slogans arrive a click still shows the fallback.
    ASSERT_TRUE(window.Click("副标题"));
    launcher.workers().StopAll();
    EXPECT_EQ(window.Text("副标题"), kFallback);
}

TEST(SloganLine, ClicksAfterTheSlogansArrivedShowTheDrawnOnes) {
    ContentLauncher launcher;
    launcher.Serve("/slogans/Titlelist.ini", "a\r\nb\r\nc");
    WireContent(launcher.ctx());
    toolkit::MemorySurface& window = launcher.window();
    launcher.random().Script({1, 2, 3});
    LoadSlogans(launcher.ctx(), {});
    EXPECT_EQ(window.Text("副标题"), "a");
    for (const char* expected : {"b", "c"}) {
        ASSERT_TRUE(window.Click("副标题"));
        ASSERT_TRUE(window.WaitUntil([&] { return window.Text("副标题") == expected; }, std::chrono::seconds(10)));
    }
    EXPECT_EQ(launcher.random().Ranges().size(), 3u);
}

TEST(SloganLine, PicksOfQuickClicksNeverDrawAtOnce) {
    // The random source is used by one thread at a time; two clicks in
    // quick succession run two workers that must take turns.
    ContentLauncher launcher;
    launcher.Serve("/slogans/Titlelist.ini", "a\r\nb");
    LoadSlogans(launcher.ctx(), {});
    WireContent(launcher.ctx());
    launcher.random().Script({1, 2});
    launcher.random().Hold(true);
    ASSERT_TRUE(launcher.window().Click("副标题"));
    launcher.random().WaitForCallers(1);
    ASSERT_TRUE(launcher.window().Click("副标题"));
    ASSERT_TRUE(testing::Eventually([&] { return launcher.workers().Running() == 2; }));
    launcher.random().Hold(false);
    launcher.workers().StopAll();
    EXPECT_EQ(launcher.random().MostInside(), 1);
    EXPECT_EQ(launcher.random().Ranges().size(), 3u);
    EXPECT_EQ(launcher.window().Text("副标题"), "b");
}

}  // namespace
}  // namespace kestrel::shell
