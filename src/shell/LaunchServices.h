#pragma once

// LaunchServices is what the launch asks of the system: the Javas installed
// on the machine (for a version whose Java the chosen one is not), starting
// the game, and once it runs:
// finding and renaming the game's window, telling whether the game still
// runs and, once it has ended, with which exit status, and starting a
// program (the fresh launcher of after-launch action
// 4). Platform() gives the real ones; behaviour tests put their own in to
// decide when a window appears and how long the game lives.
//
// Threading: a plain value; the platform functions may be called from any
// thread, and so must the functions a test puts in.

#include <functional>
#include <optional>
#include <stop_token>
#include <string>
#include <string_view>
#include <vector>

#include "java/JavaDiscovery.h"
#include "launch/LaunchPlan.h"
#include "launch/Launcher.h"
#include "platform/Result.h"
#include "platform/WindowFinder.h"

namespace kestrel::shell {

struct LaunchServices {
    // The machine's Javas for a game folder; empty: java::DiscoverJava.
    std::function<std::vector<java::JavaCandidate>(const std::string& game_folder)> discover_java;
    // Starts the game of a plan (launch::Launcher::Start); empty: the
    // launcher of the context's host profile and random source.
    std::function<Result<launch::StartedGame>(const launch::LaunchPlan& plan, std::stop_token stop)> start_game;
    std::function<platform::WindowId(int pid)> find_window;
    std::function<bool(platform::WindowId window, const std::string& title)> set_title;
    std::function<bool(int pid)> alive;
    std::function<std::optional<int>(int pid)> exit_status;  // nothing while it runs or when unknown
    std::function<Result<int>(const std::string& exe, std::string_view command_line, const std::string& cwd)>
        start_process;

    // Opens the download window; the "no version" message offers it when it
    // is set (empty: the message only says how to install a version).
    std::function<void()> open_download_window;

    // FindWindowOf, SetWindowTitle, ProcessAlive, ExitStatusOf and
    // StartProcess.
    static LaunchServices Platform();
};

}  // namespace kestrel::shell
