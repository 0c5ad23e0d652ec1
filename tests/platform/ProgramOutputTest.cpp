#include "platform/ProgramOutput.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include "support/TempFolder.h"

namespace kestrel::platform {
namespace {

std::string Script(const testing::TempFolder& folder, const std::string& name, const std::string& body) {
    const std::string path = folder.Write(name, "#!/bin/sh\n" + body);
    ::chmod(path.c_str(), 0755);
    return path;
}

TEST(ProgramOutput, CollectsBothStreamsWhateverTheExitStatus) {
    testing::TempFolder folder;
    const std::string talker = Script(folder, "talker", "echo \"out $1 $2\"\necho err >&2\nread line && echo read\nexit 7\n");
    const auto output = ProgramOutput(talker, {"a b", "-c"});
    ASSERT_TRUE(output.ok()) << output.error();
    // Standard input is empty, so `read` finds nothing.
    EXPECT_EQ(*output, "out a b -c\nerr\n");
}

TEST(ProgramOutput, AHangingChattyOrMissingProgramFails) {
    testing::TempFolder folder;
    // The shell's child holds the pipe open too; the whole group goes.
    const std::string hanging = Script(folder, "hanging", "echo started\nsleep 600\n");
    const std::string chatty = Script(folder, "chatty", "while :; do echo aaaaaaaaaaaaaaaa; done\n");
    const std::string closes = Script(folder, "closes", "exec >&- 2>&-\nsleep 600\n");
    struct Case {
        std::string exe;
        ProgramLimits limits;
        std::string error_part;
    };
    const std::vector<Case> cases = {
        {hanging, {std::chrono::milliseconds(200), 1 << 20}, "did not end in time"},
        {closes, {std::chrono::milliseconds(200), 1 << 20}, "did not end in time"},
        {chatty, {std::chrono::seconds(60), 4096}, "printed too much"},
        {folder.path() + "/missing", {}, "cannot start"},
    };
    for (const Case& c : cases) {
        const auto output = ProgramOutput(c.exe, {}, c.limits);
        ASSERT_FALSE(output.ok()) << c.exe;
        EXPECT_NE(output.error().find(c.error_part), std::string::npos) << output.error();
    }
}

// RunProgram tells how the run ended: the exit status of a program that
// ended, and a stop request that ends a hanging one (and its group) at once.
TEST(ProgramOutput, ARunGivesTheExitStatusOrHowItWasEnded) {
    testing::TempFolder folder;
    const std::string talker = Script(folder, "talker", "echo said\nexit 7\n");
    const std::string killed = Script(folder, "killed", "echo said\nkill -9 $$\n");
    const std::string hanging = Script(folder, "hanging", "sleep 600 &\nexec sleep 600\n");
    std::stop_source stopped;
    stopped.request_stop();
    const struct Case {
        std::string exe;
        std::stop_token stop;
        ProgramEnd end;
        int exit_status;
        std::string output;
    } cases[] = {
        {talker, {}, ProgramEnd::kEnded, 7, "said\n"},
        {killed, {}, ProgramEnd::kEnded, 128 + 9, "said\n"},
        {hanging, stopped.get_token(), ProgramEnd::kStopped, -1, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.exe);
        const auto started = std::chrono::steady_clock::now();
        const Result<ProgramRun> run = RunProgram(c.exe, {}, {std::chrono::seconds(60), 1 << 20}, c.stop);
        ASSERT_TRUE(run.ok()) << run.error();
        EXPECT_EQ(run->end, c.end);
        EXPECT_EQ(run->exit_status, c.exit_status);
        EXPECT_EQ(run->output, c.output);
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(30));
    }
}

}  // namespace
}  // namespace kestrel::platform
