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

}  // namespace
}  // namespace kestrel::platform
