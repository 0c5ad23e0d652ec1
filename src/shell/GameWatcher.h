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
// The launch is over when Run returns: the launch-in-progress flag is then
// cleared.
//
// Threading: Run on a worker of its own (the launch worker starts it once
// the game process runs); it waits through the clock with the worker's stop
// token and returns at a stop request.

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
};

class GameWatcher {
public:
    static constexpr int kSoundPauseMs = 9000;
    static constexpr int kPollMs = 500;

    GameWatcher(LauncherContext& ctx, std::shared_ptr<toolkit::Surface> game_start_window,
                LaunchServices services, GameWatch watch);

    void Run(std::stop_token stop);

private:
    LauncherContext& ctx_;
    std::shared_ptr<toolkit::Surface> window_;
    LaunchServices services_;
    GameWatch watch_;
};

}  // namespace kestrel::shell
