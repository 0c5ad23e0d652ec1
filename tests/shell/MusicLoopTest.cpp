// The music loop over KSTfiles/Music, with the in-memory toolkit's recording
// media player and a clock that ends the loop after a given number of waits.

#include "shell/MusicLoop.h"

#include <future>

#include <gtest/gtest.h>

#include "StartUpFixture.h"

namespace kestrel::shell {
namespace {

using testing::StartUpFixture;

// Returns from every sleep at once and records it; at the n-th sleep it
// clears the music flag, as the launch button would during that track.
class StoppingClock : public platform::Clock {
public:
    StoppingClock(LauncherState& state, int stop_at) : state_(state), stop_at_(stop_at) {}
    bool Sleep(std::int64_t ms, std::stop_token stop) override {
        sleeps.push_back(ms);
        if (static_cast<int>(sleeps.size()) == stop_at_) state_.music_playing = false;
        return !stop.stop_requested();
    }
    std::int64_t NowMs() const override { return 0; }
    std::vector<std::int64_t> sleeps;

private:
    LauncherState& state_;
    int stop_at_;
};

struct MusicFixture : StartUpFixture {
    StoppingClock stopping{state, 3};
    LauncherContext music_ctx{state, app, stopping, random, workers, ctx.paths, ctx.host, ctx.endpoints, window};
    explicit MusicFixture(std::vector<std::uint32_t> draws) : StartUpFixture(std::move(draws)) {}
};

TEST(MusicLoop, PlaysRandomTracksAtThirtyPercentWithFifteenSecondsBetween) {
    MusicFixture f({1, 1, 2});
    const std::string a = f.Write("KSTfiles/Music/a.mp3", "ID3a");
    const std::string b = f.Write("KSTfiles/Music/album/b.mp3", "ID3b");
    f.Write("KSTfiles/Music/cover.jpg", "not music");
    f.app.SetMediaLength(a, 180000);
    f.app.SetMediaLength(b, 180000);

    PlayMusic(f.music_ctx, {});

    const auto players = f.app.MediaPlayers();
    ASSERT_EQ(players.size(), 1u);
    // The same track may come twice in a row.
    EXPECT_EQ(players[0].opened, (std::vector<std::string>{a, a, b}));
    EXPECT_EQ(players[0].plays, 3);
    EXPECT_EQ(players[0].volume, 30);
    EXPECT_EQ(f.stopping.sleeps, (std::vector<std::int64_t>{195000, 195000, 195000}));
    EXPECT_EQ(f.random.Ranges(), (std::vector<std::pair<std::uint32_t, std::uint32_t>>(3, {1, 2})));
    EXPECT_FALSE(f.state.music_playing);
}

TEST(MusicLoop, ATrackWithoutALengthWaitsFifteenSeconds) {
    MusicFixture f({1});
    // The recording player opens an existing file it knows no length of
    // with length 0, as an undecodable track reports.
    f.Write("KSTfiles/Music/silent.mp3", "not really MP3");
    PlayMusic(f.music_ctx, {});
    EXPECT_EQ(f.stopping.sleeps, (std::vector<std::int64_t>{15000, 15000, 15000}));
}

TEST(MusicLoop, NoTracksOrALaunchAlreadyBegunPlaysNothing) {
    {
        MusicFixture f({1});
        f.folder.MakeFolder("program/KSTfiles/Music");
        PlayMusic(f.music_ctx, {});
        EXPECT_TRUE(f.app.MediaPlayers().empty());
        EXPECT_FALSE(f.state.music_playing);
    }
    {
        MusicFixture f({1});
        f.Write("KSTfiles/Music/a.mp3", "ID3");
        f.state.launch_in_progress = true;
        PlayMusic(f.music_ctx, {});
        EXPECT_TRUE(f.app.MediaPlayers().empty());
        EXPECT_FALSE(f.state.music_playing);
    }
}

TEST(MusicLoop, StopMusicPausesThePlayerAndEndsTheLoopAtItsNextTest) {
    StartUpFixture f;
    const std::string a = f.Write("KSTfiles/Music/a.mp3", "ID3");
    f.app.SetMediaLength(a, 120000);
    f.clock.Hold(true);
    std::promise<void> ended;
    f.workers.Start([&](std::stop_token stop) {
        PlayMusic(f.ctx, stop);
        ended.set_value();
    });
    f.clock.WaitForSleepers(1);
    EXPECT_TRUE(f.state.music_playing);
    EXPECT_EQ(f.app.MediaPlayers()[0].plays, 1);

    StopMusic(f.ctx);
    EXPECT_FALSE(f.state.music_playing);
    EXPECT_EQ(f.app.MediaPlayers()[0].pauses, 1);
    f.clock.Hold(false);
    ended.get_future().wait();  // the loop ends by itself, at its next test
    EXPECT_EQ(f.clock.Sleeps(), (std::vector<std::int64_t>{135000}));
    EXPECT_EQ(f.app.MediaPlayers()[0].plays, 1);
}

}  // namespace
}  // namespace kestrel::shell
