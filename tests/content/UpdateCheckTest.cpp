#include "content/UpdateCheck.h"

#include <gtest/gtest.h>

#include <map>

#include "content/Notice.h"
#include "content/Slogans.h"
#include "net/KeyLookup.h"

namespace kestrel::content {
namespace {

TEST(KeyLookup, TextBetweenTheFirstOpeningAndTheNextClosingMarker) {
    const struct {
        const char* text;
        const char* open;
        const char* close;
        const char* value;
    } cases[] = {
        {"<main>22w03a</main><main>x</main>", "<main>", "</main>", "22w03a"},
        {"Memory=\"2048\" Width=\"854\"", "Memory=\"", "\"", "2048"},
        {"<Main>a</Main>", "<main>", "</main>", ""},
        {"<main>no end", "<main>", "</main>", ""},
        {"</main>before<main>", "<main>", "</main>", ""},
        {"<main></main>", "<main>", "</main>", ""},
    };
    for (const auto& test : cases) EXPECT_EQ(net::KeyLookup(test.text, test.open, test.close), test.value) << test.text;
}

TEST(UpdateCheck, ClientPackageVersionIsComparedAsText) {
    EXPECT_FALSE(ClientUpdateNeeded("<latest>1.2</latest>", "1.2"));
    EXPECT_TRUE(ClientUpdateNeeded("<latest>1.3</latest>", "1.2"));
    EXPECT_TRUE(ClientUpdateNeeded("<latest>1.1</latest>", "1.2"));
    EXPECT_TRUE(ClientUpdateNeeded("<latest>1.2</latest>", ""));
    EXPECT_FALSE(ClientUpdateNeeded("<latest></latest>", "1.2"));
    EXPECT_FALSE(ClientUpdateNeeded("", "1.2"));
}

TEST(UpdateCheck, LauncherStatesAndTheirLabels) {
    struct Case {
        const char* xml;
        UpdateState state;
        const char* step;
        int x;
        std::uint32_t argb;
        const char* label;
    };
    const Case cases[] = {
        // An equal version is up to date; the level is not looked at.
        {"<main>22w02a</main><updatelevel>0</updatelevel>", UpdateState::kUpToDate, "检查更新完成!", 0, 0, "22w02a"},
        {"<main>22w05a</main><updatelevel>1</updatelevel>", UpdateState::kOptionalUpdate,
         "检查更新完成,有新版本可以下载!", 260, 0xFFFFEE00, "22w02a,点击这里更新到22w05a"},
        {"<main>22w05a</main><updatelevel>0</updatelevel>", UpdateState::kMandatoryUpdate, "", 0, 0, "22w02a"},
        {"<main>22w05a</main><updatelevel>2</updatelevel>", UpdateState::kUnrecognised, "未知错误", 260, 0xFFFF0000,
         "22w02a"},
        {"<main>22w05a</main>", UpdateState::kUnrecognised, "未知错误", 260, 0xFFFF0000, "22w02a"},
        // A failed download.
        {"", UpdateState::kUnrecognised, "未知错误", 260, 0xFFFF0000, "22w02a"},
    };
    for (const Case& test : cases) {
        const LauncherUpdate update = CheckLauncherUpdate(test.xml, kLauncherVersion);
        EXPECT_EQ(update.state, test.state) << test.xml;
        EXPECT_EQ(StepText(update.state), test.step) << test.xml;
        const VersionLabel label = VersionLabelFor(update, kLauncherVersion);
        EXPECT_EQ(label.x, test.x) << test.xml;
        EXPECT_EQ(label.argb, test.argb) << test.xml;
        EXPECT_EQ(label.text, test.label) << test.xml;
        EXPECT_EQ(label.icon_shown, test.x == 260) << test.xml;
        EXPECT_EQ(ClickEndsLauncher(update.state), test.state == UpdateState::kOptionalUpdate) << test.xml;
    }
    const VersionLabel failed = ProbeFailedLabel(kLauncherVersion);
    EXPECT_EQ(failed.argb, kFailureColour);
    EXPECT_TRUE(failed.hide_update_progress);
}

TEST(Notice, BoardFromNoticeFile) {
    NoticeBoard board = ReadNotice("<title>T</title><content>a\\Nb\\Nc</content><time>2022-01-10</time>");
    EXPECT_TRUE(board.visible);
    EXPECT_EQ(board.title, "T");
    EXPECT_EQ(board.content, "a\r\nb\r\nc");
    EXPECT_TRUE(board.time_visible);
    EXPECT_EQ(board.time_text, "发布时间: 2022-01-10");

    board = ReadNotice("<content>text</content>");
    EXPECT_TRUE(board.visible);
    EXPECT_EQ(board.title, "公告");
    EXPECT_FALSE(board.time_visible);

    // Without content the whole board goes, even with a title.
    EXPECT_FALSE(ReadNotice("<title>T</title><time>now</time>").visible);
    EXPECT_FALSE(ReadNotice("").visible);
    // Only a capital N makes a line break; the time keeps its own text.
    board = ReadNotice("<content>a\\nb</content><time>x\\Ny</time>");
    EXPECT_EQ(board.content, "a\\nb");
    EXPECT_EQ(board.time_text, "发布时间: x\\Ny");
}

// Draws what the test says, and records the range it was asked for.
class ScriptedRandom : public platform::RandomSource {
public:
    explicit ScriptedRandom(std::uint32_t draw) : draw_(draw) {}
    std::uint32_t Between(std::uint32_t low, std::uint32_t high) override {
        low_ = low;
        high_ = high;
        return draw_;
    }
    std::uint32_t draw_, low_ = 0, high_ = 0;
};

TEST(Slogans, SplitAndPick) {
    EXPECT_EQ(SplitSlogans("one\r\ntwo\r\nthree"), (std::vector<std::string>{"one", "two", "three"}));
    EXPECT_EQ(SplitSlogans("one\r\ntwo\r\n"), (std::vector<std::string>{"one", "two"}));
    EXPECT_EQ(SplitSlogans("one\ntwo"), (std::vector<std::string>{"one", "two"}));
    EXPECT_TRUE(SplitSlogans("").empty());
    EXPECT_TRUE(SplitSlogans("\r\n\r\n").empty());

    const std::vector<std::string> three = {"one", "two", "three"};
    ScriptedRandom random(3);
    EXPECT_EQ(PickSlogan(three, random), "three");
    EXPECT_EQ(random.low_, 1u);
    EXPECT_EQ(random.high_, 3u);
    ScriptedRandom wild(99);
    EXPECT_EQ(PickSlogan(three, wild), "one");
    EXPECT_EQ(PickSlogan({}, random), kFallbackSlogan);

    // The real source draws every slogan, and only those.
    platform::ClockSeededRandom clock;
    std::map<std::string, int> seen;
    for (int i = 0; i < 3000; ++i) ++seen[PickSlogan(three, clock)];
    EXPECT_EQ(seen.size(), 3u);
    for (const auto& [slogan, count] : seen) EXPECT_GT(count, 800) << slogan;
    EXPECT_EQ(PickSlogan({"only"}, clock), "only");
}

}  // namespace
}  // namespace kestrel::content
