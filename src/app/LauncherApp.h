#pragma once

// LauncherApp is the launcher as one object: the process-wide state, the
// context every flow gets, the hooks of the start-up and the main window.
// The program (main.cpp) makes one with the real toolkit, clock, random
// source and workers; the Qt tests make one with a test clock.
//
// Threading: construct, fill in the hooks and call Open on the
// user-interface thread. The object must outlive every worker: stop and
// join them (StopWorkersServingEvents) before it goes.

#include <memory>

#include "net/Endpoints.h"
#include "platform/Clock.h"
#include "platform/RandomSource.h"
#include "platform/Workers.h"
#include "shell/LauncherContext.h"
#include "shell/LauncherState.h"
#include "shell/StartUpHooks.h"
#include "toolkit/Application.h"

namespace kestrel::app {

class LauncherApp {
public:
    LauncherApp(toolkit::Application& app, platform::Clock& clock, platform::RandomSource& random,
                platform::Workers& workers, shell::LauncherPaths paths, net::Endpoints endpoints);

    shell::LauncherState& state() { return state_; }
    shell::LauncherContext& context() { return ctx_; }
    // Fill these in before Open.
    shell::StartUpHooks& hooks() { return hooks_; }

    // Builds the main window from its table and wires it (once); then opens
    // it, which runs the start-up sequence.
    std::shared_ptr<toolkit::Surface> Open();

private:
    shell::LauncherState state_;
    shell::LauncherContext ctx_;
    shell::StartUpHooks hooks_;
};

// The paths of the launcher running now: the folder and file name of its
// executable and the per-user folder.
shell::LauncherPaths CurrentLauncherPaths();

}  // namespace kestrel::app
