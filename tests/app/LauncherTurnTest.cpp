// Whether a launcher runs or leaves its program folder to the one running
// there, with a holder played by the test on a temporary runtime folder.

#include <poll.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <thread>

#include "app/LauncherTurn.h"
#include "support/FakeClock.h"
#include "support/TempFolder.h"

namespace kestrel::app {
namespace {

using Kind = LauncherTurn::Kind;

// A running launcher: holds the folder and answers each request with the
// next line of `answers`; after the last one it lets the folder go (as a
// launcher that restarts itself ends).
class Holder {
public:
    Holder(const std::string& program, const std::string& runtime, std::vector<std::string> answers)
        : lock_(platform::InstanceLock::TryAcquire(program, runtime).value()),
          thread_([this, answers = std::move(answers)] {
              for (const std::string& answer : answers) {
                  pollfd entry{lock_->request_fd(), POLLIN, 0};
                  if (::poll(&entry, 1, -1) != 1) return;
                  lock_->AnswerRequest(answer);
              }
              lock_.reset();
          }) {}
    ~Holder() { thread_.join(); }

private:
    std::optional<platform::InstanceLock> lock_;
    std::thread thread_;
};

TEST(LauncherTurn, ALaterLauncherEndsOnceTheRunningOneShowedItselfOrWaitsForItsTurn) {
    struct Case {
        const char* what;
        std::vector<std::string> answers;
        Kind kind;
        bool lock;
    };
    const Case cases[] = {
        {"the running one comes to the front", {"shown"}, Kind::kOtherCameToFront, false},
        {"the running one restarts itself: hidden, then gone", {"hidden", "hidden"}, Kind::kRun, true},
    };
    for (const Case& c : cases) {
        testing::TempFolder temp;
        const std::string runtime = temp.MakeFolder("runtime");
        const std::string program = temp.MakeFolder("program");
        testing::FakeClock clock;
        LauncherTurn turn;
        {
            Holder holder(program, runtime, c.answers);
            turn = TakeTurn(program, runtime, clock, 60000);
        }
        EXPECT_EQ(turn.kind, c.kind) << c.what;
        EXPECT_EQ(turn.lock.has_value(), c.lock) << c.what;
        if (turn.lock) {
            EXPECT_TRUE(turn.lock->held()) << c.what;
        }
    }
}

TEST(LauncherTurn, TheFirstRunsAndAHiddenOneThatStaysIsLeftAlone) {
    testing::TempFolder temp;
    const std::string runtime = temp.MakeFolder("runtime");
    const std::string program = temp.MakeFolder("program");
    testing::FakeClock clock;
    LauncherTurn first = TakeTurn(program, runtime, clock, 0);
    EXPECT_EQ(first.kind, Kind::kRun);
    ASSERT_TRUE(first.lock && first.lock->held());

    // It keeps its window hidden (a game runs) for longer than a later
    // launcher waits; the later one ends and says why.
    std::jthread answering([&first](std::stop_token stop) {
        while (!stop.stop_requested()) {
            pollfd entry{first.lock->request_fd(), POLLIN, 0};
            if (::poll(&entry, 1, 50) == 1) first.lock->AnswerRequest("hidden");
        }
    });
    const LauncherTurn later = TakeTurn(program, runtime, clock, 1000);
    EXPECT_EQ(later.kind, Kind::kOtherIsBusy);
    EXPECT_FALSE(later.lock);
    EXPECT_FALSE(later.note.empty());
}

}  // namespace
}  // namespace kestrel::app
