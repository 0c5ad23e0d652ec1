#include "platform/ChildProcess.h"

#include <signal.h>

#include <thread>

#include <gtest/gtest.h>

#include "platform/Files.h"
#include "platform/Process.h"
#include "support/TempFolder.h"

namespace kestrel::platform {
namespace {

ChildOptions Shell(const std::string& script, ChildOutput output = ChildOutput::kInherit, std::string file = "") {
    ChildOptions options;
    options.exe = "/bin/sh";
    options.command_line = "/bin/sh -c \"" + script + "\"";
    options.output = output;
    options.output_file = std::move(file);
    return options;
}

// Both streams land, in the order they were written, in the file (after
// what it held) or the pipe; the exit status is there once the program ends.
TEST(ChildProcess, CapturesBothStreamsAndKeepsTheExitStatus) {
    testing::TempFolder folder;
    const std::string log = folder.path() + "/game.log";
    ASSERT_TRUE(WriteFileAtomically(log, "earlier\n").ok());
    const std::string script = "echo out; echo err >&2; echo 中文; exit 3";

    Result<ChildProcess> to_file = ChildProcess::Start(Shell(script, ChildOutput::kFile, log));
    ASSERT_TRUE(to_file.ok()) << to_file.error();
    EXPECT_EQ(to_file->Wait({}), WaitEnd::kEnded);
    EXPECT_EQ(to_file->ExitStatus(), 3);
    EXPECT_FALSE(to_file->Alive());
    EXPECT_EQ(ReadFile(log), "earlier\nout\nerr\n中文\n");

    Result<ChildProcess> to_pipe = ChildProcess::Start(Shell(script, ChildOutput::kPipe));
    ASSERT_TRUE(to_pipe.ok()) << to_pipe.error();
    EXPECT_EQ(to_pipe.value().ReadOutput(), "out\nerr\n中文\n");
    EXPECT_EQ(to_pipe->Wait({}), WaitEnd::kEnded);
    EXPECT_EQ(to_pipe->ExitStatus(), 3);
}

// The program does not depend on the object: it keeps running and writing
// when the object is gone, and its status is still there for the pid.
TEST(ChildProcess, OutlivesItsObject) {
    testing::TempFolder folder;
    const std::string log = folder.path() + "/game.log";
    int pid = 0;
    {
        Result<ChildProcess> child = ChildProcess::Start(Shell("sleep 0.2; echo still here", ChildOutput::kFile, log));
        ASSERT_TRUE(child.ok()) << child.error();
        pid = child->pid();
    }
    EXPECT_EQ(WaitForProcess(pid).value(), 0);
    EXPECT_EQ(ReadFile(log), "still here\n");
}

TEST(ChildProcess, AWaitEndsAtItsLimitOrAtAStopAndLeavesTheProgramRunning) {
    Result<ChildProcess> child = ChildProcess::Start(Shell("exec sleep 30"));
    ASSERT_TRUE(child.ok()) << child.error();
    EXPECT_EQ(child->Wait({}, std::chrono::milliseconds(30)), WaitEnd::kTimedOut);
    EXPECT_EQ(child->Wait({}, std::chrono::milliseconds(0)), WaitEnd::kTimedOut);
    EXPECT_TRUE(child->Alive());
    EXPECT_EQ(child->ExitStatus(), std::nullopt);

    std::stop_source stop;
    std::jthread stopper([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        stop.request_stop();
    });
    EXPECT_EQ(child->Wait(stop.get_token()), WaitEnd::kStopped);
    EXPECT_TRUE(child->Alive());

    ::kill(child->pid(), SIGTERM);
    EXPECT_EQ(child->Wait({}, std::chrono::seconds(60)), WaitEnd::kEnded);
    EXPECT_EQ(child->ExitStatus(), 128 + SIGTERM);
}

TEST(ChildProcess, StartErrorsNameWhatFailed) {
    testing::TempFolder folder;
    const std::string unwritable = folder.path() + "/missing/game.log";
    const Result<ChildProcess> no_folder = ChildProcess::Start(Shell("true", ChildOutput::kFile, unwritable));
    ASSERT_FALSE(no_folder.ok());
    EXPECT_NE(no_folder.error().find(unwritable), std::string::npos) << no_folder.error();

    ChildOptions missing = Shell("true", ChildOutput::kPipe);
    missing.exe = folder.path() + "/no-such-program";
    const Result<ChildProcess> no_program = ChildProcess::Start(missing);
    ASSERT_FALSE(no_program.ok());
    EXPECT_NE(no_program.error().find("no-such-program"), std::string::npos) << no_program.error();
}

// Reaping takes the status from the system once; whoever reaps first, the
// others still get it.
TEST(ExitStatusOf, IsKeptWhenProcessAliveReapedTheChild) {
    const Result<int> pid = StartProcess("/bin/sh", "/bin/sh -c \"exit 5\"", "");
    ASSERT_TRUE(pid.ok()) << pid.error();
    while (ProcessAlive(*pid)) std::this_thread::sleep_for(std::chrono::milliseconds(2));
    EXPECT_EQ(ExitStatusOf(*pid), 5);
    EXPECT_EQ(WaitForProcess(*pid).value(), 5);
    EXPECT_FALSE(ProcessAlive(*pid));

    EXPECT_EQ(ExitStatusOf(1), std::nullopt) << "not our child";
    EXPECT_FALSE(WaitForProcess(1).ok());
}

}  // namespace
}  // namespace kestrel::platform
