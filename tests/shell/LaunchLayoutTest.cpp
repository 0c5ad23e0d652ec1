// The game-start window's layout for a few game window sizes, and its
// progress animation.

#include <thread>

#include <gtest/gtest.h>

#include "shell/GameStartWindow.h"
#include "shell/ProgressAnimation.h"
#include "support/FakeClock.h"
#include "toolkit/MemorySurface.h"
#include "toolkit/Windows.h"

namespace kestrel::shell {
namespace {

using toolkit::Rect;

struct LayoutCase {
    int game_width;
    int game_height;
    Rect bar;
    Rect percent;
    Rect step;
};

TEST(GameStartWindowLayout, CentresTheProgressForTheGameWindowsShape) {
    // Window W x H = game width x (game height + 30). Labels keep their 550 x 20.
    const std::vector<LayoutCase> cases = {
        // Wider than high: the bar is H wide.
        {854, 480, {172, 382, 510, 20}, {152, 409, 550, 20}, {152, 438, 550, 20}},
        {1001, 333, {319, 272, 363, 20}, {225, 299, 550, 20}, {225, 328, 550, 20}},
        // Wider than high by the setting, though the window is higher than
        // wide: still the setting decides, and the bar overhangs.
        {845, 830, {-7, 645, 860, 20}, {147, 672, 550, 20}, {147, 701, 550, 20}},
        // Not wider than high: W - 240; x truncates towards zero (-124.5 -> -124).
        {480, 854, {120, 663, 240, 20}, {-35, 690, 550, 20}, {-35, 719, 550, 20}},
        {301, 301, {120, 248, 61, 20}, {-124, 275, 550, 20}, {-124, 304, 550, 20}},
        // Narrower than 240: no bar instead of a negative width.
        {200, 300, {100, 247, 0, 20}, {-175, 274, 550, 20}, {-175, 303, 550, 20}},
    };
    for (const LayoutCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.game_width) + "x" + std::to_string(c.game_height));
        const int w = c.game_width;
        const int h = c.game_height + kStartWindowExtraHeight;
        toolkit::MemorySurface window(toolkit::GameStartWindowDef(w, h));
        LayOutGameStartWindow(window, w, h, c.game_width, c.game_height);
        EXPECT_EQ(window.Geometry("背景"), (Rect{0, 0, w + 1, h + 1}));
        EXPECT_EQ(window.Geometry("游戏初始化"), (Rect{0, 0, w + 1, h + 1}));
        EXPECT_EQ(window.Geometry("初始化进度"), c.bar);
        EXPECT_EQ(window.Geometry("初始化进度_文字"), c.percent);
        EXPECT_EQ(window.Geometry("初始化进度_文字1"), c.step);
        EXPECT_TRUE(window.Problems().empty());
    }
}

TEST(ProgressAnimation, CountsFromFortyToEightyEveryTwentyMs) {
    auto window = std::make_shared<toolkit::MemorySurface>(toolkit::GameStartWindowDef(854, 510));
    testing::FakeClock clock;
    ProgressAnimation(window, clock, 40).Run({});
    std::vector<std::string> values;
    std::vector<std::string> texts;
    for (int v = 41; v <= 80; ++v) {
        values.push_back(std::to_string(v));
        texts.push_back(std::to_string(v) + "%");
    }
    EXPECT_EQ(window->History("初始化进度", "value"), values);
    EXPECT_EQ(window->History("初始化进度_文字", "text"), texts);
    EXPECT_EQ(clock.Sleeps(), std::vector<std::int64_t>(40, 20));
}

TEST(ProgressAnimation, NothingOfItReachesTheWindowAfterFinish) {
    auto window = std::make_shared<toolkit::MemorySurface>(toolkit::GameStartWindowDef(854, 510));
    testing::FakeClock clock;
    clock.Hold(true);
    auto animation = std::make_shared<ProgressAnimation>(window, clock, 40);
    std::jthread runner([animation](std::stop_token stop) { animation->Run(stop); });
    clock.WaitForSleepers(1);  // 41 is shown, the animation waits
    animation->Finish(100);
    clock.Hold(false);
    runner.join();
    EXPECT_EQ(window->History("初始化进度", "value"), (std::vector<std::string>{"41", "100"}));
    EXPECT_EQ(window->Text("初始化进度_文字"), "100%");
}

}  // namespace
}  // namespace kestrel::shell
