#pragma once

// GameWatcher waits for the game's window after a launch. It plays the
// launch sound and keeps the loading picture of the game-start window moving
// for 9 s, then looks for the game's first visible top-level window every
// 500 ms. Once the window is there it gives it the configured title (when
// one is set) and runs the after-launch action (AfterLaunch.h).
//
// A game that ends before it showed a window ends the search: the
// game-start window closes and the main window is the player's again, where
// a search without end would keep the game-start window up for the rest of
// the run.
//
// A game that ends badly is reported (GameEndReport.h): one that ends with a
// non-zero status before its window appeared, or within kEarlyEndMs of its
// launch. For that, once the after-launch action has left the launcher
// running and the game's end is not already awaited by it (actions 2, 5 and
// the values that do nothing), the watcher goes on testing every 500 ms
// whether the game still runs until the first minute is over.
//
// The launch is over when the after-launch action is done: the
// launch-in-progress flag is then cleared. A stop request (the launcher's
// end, or the player's cancel of the game-start window) ends the watch and
// leaves the flag to whoever stopped it.
//
// Threading: Run on a worker of its own (the launch worker starts it once
// the game process runs); it waits through the clock with the given stop
// token and returns at a stop request.

#include <cstdint>
#include <memory>
#include <stop_token>
#include <string>

#include "shell/LaunchServices.h"
#include "shell/LauncherContext.h"
#include "toolkit/Surface.h"

namespace kestrel::shell {

// What the watcher watches for: the game process and the settings of the
// launch that started it.
struct GameWatch {
    int pid = 0;
    std::string window_title;     // empty: the game's own title stays
    int after_launch_action = 0;  // an AfterLaunch value
    std::string log_path;         // the launch log; empty when there is none
    std::int64_t started_ms = 0;  // the clock's time when the game was started
};

class GameWatcher {
public:
    static constexpr int kSoundPauseMs = 9000;
    static constexpr int kPollMs = 500;

    GameWatcher(LauncherContext& ctx, std::shared_ptr<toolkit::Surface> game_start_window,
                LaunchServices services, GameWatch watch);

    // WatchStart, then WatchFirstMinute when it asks for it.
    void Run(std::stop_token stop);

    // The search for the window and the after-launch action; true when the
    // rest of the first minute is to be watched.
    bool WatchStart(std::stop_token stop);
    // Tests every 500 ms whether the game still runs until the first minute
    // since the launch is over; reports a bad end.
    void WatchFirstMinute(std::stop_token stop);

private:
    // Reports the game's end when it ended badly: with a non-zero status,
    // before its window appeared or within the first minute.
    void ReportEnd(bool before_window);

    LauncherContext& ctx_;
    std::shared_ptr<toolkit::Surface> window_;
    LaunchServices services_;
    GameWatch watch_;
};

}  // namespace kestrel::shell
