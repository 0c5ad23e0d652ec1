// The lock that keeps a second launcher off a program folder, with its lock
// file and socket in a temporary runtime folder.

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <thread>

#include "platform/InstanceLock.h"
#include "support/TempFolder.h"

extern char** environ;

namespace kestrel::platform {
namespace {

TEST(InstanceLock, OneHolderPerProgramFolderWhateverItsName) {
    testing::TempFolder temp;
    const std::string runtime = temp.MakeFolder("runtime");
    const std::string program = temp.MakeFolder("program");
    temp.MakeFolder("other");
    std::filesystem::create_directory_symlink(program, temp.path() + "/link");

    auto first = InstanceLock::TryAcquire(program, runtime);
    ASSERT_TRUE(first.ok()) << first.error();
    EXPECT_TRUE(first->held());
    EXPECT_GE(first->request_fd(), 0);
    const std::pair<std::string, bool> names[] = {
        {program, false},
        {program + "/", false},
        {temp.path() + "/link", false},
        {temp.path() + "/program/../program", false},
        {temp.path() + "/other", true},
    };
    for (const auto& [name, free] : names) {
        auto later = InstanceLock::TryAcquire(name, runtime);
        ASSERT_TRUE(later.ok()) << later.error();
        EXPECT_EQ(later->held(), free) << name;
        if (!free) {
            EXPECT_EQ(later->request_fd(), -1);
        }
    }
    // Once the holder has gone, the folder is free again.
    first = InstanceLock::TryAcquire(temp.path() + "/other", runtime);
    auto after = InstanceLock::TryAcquire(program, runtime);
    ASSERT_TRUE(after.ok());
    EXPECT_TRUE(after->held());
}

TEST(InstanceLock, TheHolderAnswersALaterLauncher) {
    testing::TempFolder temp;
    const std::string runtime = temp.MakeFolder("runtime");
    const std::string program = temp.MakeFolder("program");
    // Nobody holds the folder: nobody answers.
    EXPECT_FALSE(InstanceLock::AskHolder(program, runtime, 100).ok());

    auto holder = InstanceLock::TryAcquire(program, runtime);
    ASSERT_TRUE(holder.ok() && holder->held());
    // One call answers every request waiting at the time.
    std::jthread answering([&holder](std::stop_token stop) {
        while (!stop.stop_requested()) {
            pollfd entry{holder->request_fd(), POLLIN, 0};
            if (::poll(&entry, 1, 50) == 1) holder->AnswerRequest("shown");
        }
    });
    for (int ask = 0; ask < 2; ++ask) {
        const auto answer = InstanceLock::AskHolder(program, runtime, 60000);
        ASSERT_TRUE(answer.ok()) << answer.error();
        EXPECT_EQ(*answer, "shown");
    }
}

// A holder that ends without letting go (a crash) leaves its socket file;
// the kernel has dropped its lock, and the next holder takes over the name.
TEST(InstanceLock, AHolderThatCrashedLeavesNothingInTheWay) {
    testing::TempFolder temp;
    const std::string runtime = temp.MakeFolder("runtime");
    const std::string program = temp.MakeFolder("program");
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        auto lock = InstanceLock::TryAcquire(program, runtime);
        ::_exit(lock.ok() && lock->held() ? 0 : 1);  // no destructor runs
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_EQ(WEXITSTATUS(status), 0);
    int sockets = 0;
    for (const auto& entry : std::filesystem::directory_iterator(runtime)) {
        sockets += entry.path().extension() == ".socket";
    }
    ASSERT_EQ(sockets, 1) << "the crashed holder's socket file";

    auto next = InstanceLock::TryAcquire(program, runtime);
    ASSERT_TRUE(next.ok()) << next.error();
    EXPECT_TRUE(next->held());
    std::jthread answering([&next](std::stop_token stop) {
        while (!stop.stop_requested()) {
            pollfd entry{next->request_fd(), POLLIN, 0};
            if (::poll(&entry, 1, 50) == 1) next->AnswerRequest("hidden");
        }
    });
    const auto answer = InstanceLock::AskHolder(program, runtime, 60000);
    ASSERT_TRUE(answer.ok()) << answer.error();
    EXPECT_EQ(*answer, "hidden");
}

// The game the launcher starts outlives it; it must not keep the folder
// locked after the launcher has gone.
TEST(InstanceLock, AProgramTheHolderStartsDoesNotInheritTheLock) {
    testing::TempFolder temp;
    const std::string runtime = temp.MakeFolder("runtime");
    const std::string program = temp.MakeFolder("program");
    auto holder = InstanceLock::TryAcquire(program, runtime);
    ASSERT_TRUE(holder.ok() && holder->held());
    pid_t game = -1;
    char sleep_path[] = "/bin/sleep", forever[] = "1000";
    char* argv[] = {sleep_path, forever, nullptr};
    ASSERT_EQ(::posix_spawn(&game, argv[0], nullptr, nullptr, argv, environ), 0);
    holder = InstanceLock::TryAcquire(temp.MakeFolder("elsewhere"), runtime);  // lets the first lock go

    auto next = InstanceLock::TryAcquire(program, runtime);
    ::kill(game, SIGKILL);
    ::waitpid(game, nullptr, 0);
    ASSERT_TRUE(next.ok()) << next.error();
    EXPECT_TRUE(next->held()) << "the started program still holds the lock";
}

TEST(InstanceLock, TheRuntimeFolderIsTheSessionsOrOneOfTheUsersOwn) {
    testing::TempFolder temp;
    const char* old = std::getenv("XDG_RUNTIME_DIR");
    const std::string saved = old ? old : "";
    ::setenv("XDG_RUNTIME_DIR", temp.path().c_str(), 1);
    auto folder = InstanceLock::UserRuntimeFolder();
    ASSERT_TRUE(folder.ok());
    EXPECT_EQ(*folder, temp.path());
    ::setenv("XDG_RUNTIME_DIR", (temp.path() + "/missing").c_str(), 1);
    folder = InstanceLock::UserRuntimeFolder();
    ASSERT_TRUE(folder.ok()) << folder.error();
    EXPECT_EQ(*folder, "/tmp/kestrel-" + std::to_string(::getuid()));
    EXPECT_EQ(std::filesystem::status(*folder).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_all);
    if (old) {
        ::setenv("XDG_RUNTIME_DIR", saved.c_str(), 1);
    } else {
        ::unsetenv("XDG_RUNTIME_DIR");
    }
}

}  // namespace
}  // namespace kestrel::platform
