#include "launch/LaunchLog.h"

#include <algorithm>
#include <filesystem>

#include <gtest/gtest.h>

#include "platform/Files.h"
#include "support/TempFolder.h"

namespace kestrel::launch {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> Names(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(LaunchLog, NamesCarryTheLocalDateAndTime) {
    EXPECT_EQ(LaunchLogName({2026, 12, 1, 9, 5, 7}), "kestrel-launch-2026-12-01_09-05-07.log");
}

// The newest logs stay (a second's "-2" counts as newer than its first),
// the oldest go, and nothing else in the folder is touched.
TEST(LaunchLog, ANewLogLeavesTheNewestAndEveryOtherFileAlone) {
    testing::TempFolder game;
    const std::string logs = game.path() + "/logs";
    const std::vector<std::string> others = {"latest.log", "2026-12-01-1.log.gz", "kestrel-launch-notes.log",
                                             "kestrel-launch-2026-12-01_09-05-0x.log"};
    for (const std::string& name : others) game.Write("logs/" + name, "x");
    fs::create_directories(logs + "/kestrel-launch-2026-01-01_00-00-00.log");  // a folder, not a log
    const std::vector<std::string> old = {
        "kestrel-launch-2026-12-01_09-00-00.log",   "kestrel-launch-2026-12-01_09-00-00-2.log",
        "kestrel-launch-2026-12-01_09-00-00-10.log", "kestrel-launch-2026-12-01_09-00-01.log",
        "kestrel-launch-2026-12-02_08-00-00.log",   "kestrel-launch-2027-01-01_00-00-00.log",
    };
    for (const std::string& name : old) game.Write("logs/" + name, "old");

    const auto profile = platform::HostProfile::Current();
    const Result<std::string> path = NewLaunchLog(game.path(), profile, {2027, 1, 2, 3, 4, 5}, 4);
    ASSERT_TRUE(path.ok()) << path.error();
    EXPECT_EQ(*path, logs + "/kestrel-launch-2027-01-02_03-04-05.log");
    std::vector<std::string> expected = others;
    for (const char* kept : {"kestrel-launch-2026-12-01_09-00-01.log", "kestrel-launch-2026-12-02_08-00-00.log",
                             "kestrel-launch-2027-01-01_00-00-00.log", "kestrel-launch-2026-01-01_00-00-00.log"}) {
        expected.push_back(kept);
    }
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(Names(logs), expected);

    // The same second again: the next free number.
    game.Write("logs/kestrel-launch-2027-01-02_03-04-05.log", "");
    game.Write("logs/kestrel-launch-2027-01-02_03-04-05-2.log", "");
    EXPECT_EQ(NewLaunchLog(game.path(), profile, {2027, 1, 2, 3, 4, 5}).value(),
              logs + "/kestrel-launch-2027-01-02_03-04-05-3.log");
}

TEST(LaunchLog, AGameDirectoryThatCannotHoldLogsIsAnError) {
    testing::TempFolder game;
    game.Write("logs", "a file where the folder should be");
    EXPECT_FALSE(NewLaunchLog(game.path(), platform::HostProfile::Current(), {}).ok());
}

TEST(LogTail, GivesTheLastWholeLinesAsValidText) {
    struct Case {
        std::string what;
        std::string bytes;
        int lines;
        std::size_t max_bytes;
        std::string tail;
    };
    const std::vector<Case> cases = {
        {"fewer lines than asked", "a\nb\n", 5, 4096, "a\nb"},
        {"the last lines", "1\n2\n3\n4\n", 2, 4096, "3\n4"},
        {"CR LF and trailing blank lines", "x\r\ny\r\n\r\n\n", 5, 4096, "x\ny"},
        {"no line end at the end", "x\ny", 1, 4096, "y"},
        {"a cut drops the half line", "first line\nsecond\nthird", 10, 14, "second\nthird"},
        {"bad bytes", "ok\n\xff\xfe end\n", 5, 4096, "ok\n?? end"},
        {"empty", "", 5, 4096, ""},
    };
    testing::TempFolder folder;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = folder.Write("game.log", c.bytes);
        EXPECT_EQ(LogTail(path, c.lines, c.max_bytes), c.tail);
    }
    EXPECT_EQ(LogTail(folder.path() + "/missing.log", 5), "");
}

}  // namespace
}  // namespace kestrel::launch
