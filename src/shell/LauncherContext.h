#pragma once

// LauncherContext is what every window flow of the launcher is given: the
// process-wide state, the GUI services, the main window, the clock and the
// random source, the owner of the worker threads, the folders and the
// service addresses. The application builds one at start and keeps it alive
// until every worker has been joined; tests build one around the in-memory
// toolkit, a test clock and a fixed random source.
//
// Threading: the references are fixed for the context's life; each object
// documents its own contract (all of them may be used from any thread).

#include <functional>
#include <memory>
#include <string>

#include "net/Endpoints.h"
#include "platform/Clock.h"
#include "platform/HostProfile.h"
#include "platform/LauncherPaths.h"
#include "platform/RandomSource.h"
#include "platform/Workers.h"
#include "shell/LauncherState.h"
#include "toolkit/Application.h"
#include "toolkit/Surface.h"

namespace kestrel::shell {

// Reports one step of the start-up on the overlay: the step's text and the
// progress in percent. The start-up sequence hands one to the jobs it runs.
using StepReporter = std::function<void(const std::string& text, int percent)>;

// The files and folders the launcher keeps (platform/LauncherPaths.h).
using LauncherPaths = platform::LauncherPaths;

struct LauncherContext {
    LauncherState& state;
    toolkit::Application& app;
    platform::Clock& clock;
    platform::RandomSource& random;
    platform::Workers& workers;
    LauncherPaths paths;
    platform::HostProfile host;
    net::Endpoints endpoints;
    // The main window, once it exists.
    std::shared_ptr<toolkit::Surface> main_window;
};

}  // namespace kestrel::shell
