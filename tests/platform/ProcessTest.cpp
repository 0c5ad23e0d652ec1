#include "platform/Process.h"

#include <sys/wait.h>

#include <cerrno>
#include <chrono>
#include <thread>

#include <gtest/gtest.h>

#include "platform/Files.h"
#include "support/TempFolder.h"

namespace kestrel::platform {
namespace {

TEST(SplitCommandLine, FollowsTheWindowsRules) {
    struct Case {
        std::string line;
        std::vector<std::string> argv;
    };
    const std::vector<Case> cases = {
        {R"(prog "a b c" d e)", {"prog", "a b c", "d", "e"}},
        {R"(prog "ab\"c" "\\" d)", {"prog", "ab\"c", "\\", "d"}},
        {R"(prog a\\\b d"e f"g h)", {"prog", "a\\\\\\b", "de fg", "h"}},
        {R"(prog a\\\"b c d)", {"prog", "a\\\"b", "c", "d"}},
        {R"(prog a\\\\"b c" d e)", {"prog", "a\\\\b c", "d", "e"}},
        {R"(prog "a""b" "" x)", {"prog", "a\"b", "", "x"}},
        {"prog\t a\t\tb  ", {"prog", "a", "b"}},
        {R"(prog "unterminated arg)", {"prog", "unterminated arg"}},
        // The program name knows no escapes: it ends at the next quote.
        {R"("C:\Program Files\Java\bin\javaw.exe" -Xmx1m)", {"C:\\Program Files\\Java\\bin\\javaw.exe", "-Xmx1m"}},
        {R"("C:\dir\"x y)", {"C:\\dir\\", "x", "y"}},
        {R"(C:\plain\java.exe "x")", {"C:\\plain\\java.exe", "x"}},
        {"   ", {}},
        {"", {}},
    };
    for (const Case& c : cases) EXPECT_EQ(SplitCommandLine(c.line), c.argv) << c.line;
}

// Started programs decode the launcher's UTF-8 arguments in their locale, so
// the character type they get is always UTF-8; the rest stays untouched.
TEST(ChildEnvironment, TheCharacterTypeIsAlwaysUtf8) {
    struct Case {
        std::vector<const char*> parent;
        std::vector<std::string> child;
    };
    const std::vector<Case> cases = {
        {{"HOME=/h"}, {"HOME=/h", "LC_CTYPE=C.UTF-8"}},
        {{"LANG=C", "HOME=/h"}, {"LANG=C", "HOME=/h", "LC_CTYPE=C.UTF-8"}},
        {{"LANG=zh_CN.GBK"}, {"LANG=zh_CN.GBK", "LC_CTYPE=C.UTF-8"}},
        {{"LANG=zh_CN.UTF-8"}, {"LANG=zh_CN.UTF-8"}},
        {{"LANG=C", "LC_CTYPE=en_US.utf8"}, {"LANG=C", "LC_CTYPE=en_US.utf8"}},
        {{"LC_CTYPE=POSIX", "LANG=en_US.UTF-8"}, {"LANG=en_US.UTF-8", "LC_CTYPE=C.UTF-8"}},
        {{"LC_ALL=C", "LC_CTYPE=C.UTF-8"}, {"LC_CTYPE=C.UTF-8", "LC_ALL=C.UTF-8"}},
        {{"LC_ALL=", "LANG=C.UTF-8"}, {"LC_ALL=", "LANG=C.UTF-8"}},
        {{"LC_ALLX=1", "LANG=C.UTF-8"}, {"LC_ALLX=1", "LANG=C.UTF-8"}},
    };
    for (const Case& c : cases) {
        std::vector<const char*> parent = c.parent;
        parent.push_back(nullptr);
        EXPECT_EQ(ChildEnvironment(parent.data()), c.child) << c.parent.front();
    }
}

// The launcher sets QT_MEDIA_BACKEND for its own players at start; a game
// started afterwards must not get it (a Qt program of the player's, or a
// mod's, would use the launcher's choice).
TEST(ChildEnvironment, TheLaunchersMediaBackendStaysWithTheLauncher) {
    const char* parent[] = {"QT_MEDIA_BACKEND=ffmpeg", "LANG=C.UTF-8", "QT_MEDIA_BACKEND_X=1", nullptr};
    EXPECT_EQ(ChildEnvironment(parent), (std::vector<std::string>{"LANG=C.UTF-8", "QT_MEDIA_BACKEND_X=1"}));

    testing::TempFolder folder;
    ASSERT_EQ(::setenv("QT_MEDIA_BACKEND", "ffmpeg", 1), 0);
    const Result<int> pid = StartProcess("/bin/sh", R"(sh -c "env > env.txt")", folder.path());
    ::unsetenv("QT_MEDIA_BACKEND");
    ASSERT_TRUE(pid.ok()) << pid.error();
    ASSERT_EQ(WaitForProcess(*pid).value(), 0);
    const auto seen = ReadFile(folder.path() + "/env.txt");
    ASSERT_TRUE(seen.has_value());
    EXPECT_EQ(seen->find("QT_MEDIA_BACKEND="), std::string::npos) << *seen;
}

TEST(StartProcess, RunsTheSplitVectorInTheFolderAndReportsItsExit) {
    testing::TempFolder folder;
    const Result<int> pid = StartProcess(
        "/bin/sh", R"("/bin/sh" -c "pwd > out; printf '%s|' \"$0\" \"$1\" > args; exit 7" "a b" "c\"d")",
        folder.path());
    ASSERT_TRUE(pid.ok()) << pid.error();
    const Result<int> status = WaitForProcess(*pid);
    ASSERT_TRUE(status.ok()) << status.error();
    EXPECT_EQ(*status, 7);
    EXPECT_EQ(ReadFile(folder.path() + "/out"), folder.path() + "\n");
    EXPECT_EQ(ReadFile(folder.path() + "/args"), "a b|c\"d|");
}

TEST(StartProcess, AMissingProgramOrFolderIsAnError) {
    testing::TempFolder folder;
    EXPECT_FALSE(StartProcess(folder.path() + "/no-java", "\"no-java\" -version", folder.path()).ok());
    EXPECT_FALSE(StartProcess("/bin/true", "\"/bin/true\"", folder.path() + "/missing").ok());
}

TEST(ProcessAlive, IsTrueExactlyWhileTheChildRunsAndReapsIt) {
    const Result<int> sleeper = StartProcess("/bin/sleep", "\"/bin/sleep\" 30", "");
    ASSERT_TRUE(sleeper.ok()) << sleeper.error();
    EXPECT_TRUE(ProcessAlive(*sleeper));
    ::kill(*sleeper, SIGTERM);
    bool alive = true;
    for (int i = 0; i < 500 && alive; ++i) {
        alive = ProcessAlive(*sleeper);
        if (alive) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_FALSE(alive);
    // Reaped: no zombie is left to wait for.
    errno = 0;
    EXPECT_EQ(::waitpid(*sleeper, nullptr, WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD);
    EXPECT_FALSE(ProcessAlive(*sleeper));
    EXPECT_FALSE(ProcessAlive(0));
    EXPECT_TRUE(ProcessAlive(1));  // not our child, but it exists

    const Result<int> killed = StartProcess("/bin/sleep", "\"/bin/sleep\" 30", "");
    ASSERT_TRUE(killed.ok()) << killed.error();
    ::kill(*killed, SIGKILL);
    EXPECT_EQ(WaitForProcess(*killed).value(), 128 + SIGKILL);
}

}  // namespace
}  // namespace kestrel::platform
