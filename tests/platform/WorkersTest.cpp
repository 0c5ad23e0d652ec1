#include "platform/Workers.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>

#include "platform/Clock.h"

namespace kestrel::platform {
namespace {

TEST(WorkersTest, StopAllEndsSleepingWorkersAtOnce) {
    SystemClock clock;
    std::atomic<int> cut_short{0};
    std::atomic<int> sleeping{0};
    auto begin = std::chrono::steady_clock::now();
    {
        Workers workers;
        for (int i = 0; i < 3; ++i) {
            workers.Start([&](std::stop_token stop) {
                ++sleeping;
                if (!clock.Sleep(60'000, stop)) ++cut_short;
            });
        }
        // A worker may start another one; it is owned and joined as well.
        workers.Start([&](std::stop_token) {
            workers.Start([&](std::stop_token stop) {
                ++sleeping;
                if (!clock.Sleep(60'000, stop)) ++cut_short;
            });
        });
        while (sleeping.load() < 4) std::this_thread::yield();
    }  // the destructor stops and joins them all
    EXPECT_EQ(cut_short.load(), 4);
    EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::seconds(30));
}

TEST(WorkersTest, NothingStartsAfterStopAll) {
    Workers workers;
    workers.StopAll();
    bool ran = false;
    workers.Start([&](std::stop_token) { ran = true; });
    workers.StopAll();
    EXPECT_FALSE(ran);
}

TEST(ClockTest, SleepRunsItsWholeTimeWithoutStop) {
    SystemClock clock;
    std::stop_source source;
    auto before = clock.NowMs();
    EXPECT_TRUE(clock.Sleep(20, source.get_token()));
    EXPECT_GE(clock.NowMs() - before, 20);
    source.request_stop();
    EXPECT_FALSE(clock.Sleep(60'000, source.get_token()));
}

}  // namespace
}  // namespace kestrel::platform
