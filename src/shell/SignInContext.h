#pragma once

// SignInContext is what the sign-in flows of the main window are given: the
// window-free sign-in services (the account values, the clock, the service
// addresses, the account cache and data folder paths, the host profile, the
// OAuth client id and the request options) and, beside them, the GUI
// services, the main window, the workers and the random source. The shell
// builds one from its LauncherContext (MakeSignInContext); tests build one
// around the in-memory toolkit and a test clock.
//
// The handlers that WireSignIn installs keep a reference to the context, so
// it must stay alive as long as the main window can fire events and until
// the workers have been joined.
//
// Threading: the references are fixed for the context's life; each object
// documents its own contract. The plain members are read, never written, by
// the flows.

#include <memory>

#include "accounts/SignInServices.h"
#include "platform/RandomSource.h"
#include "platform/Workers.h"
#include "toolkit/Application.h"
#include "toolkit/Surface.h"

namespace kestrel::shell {

struct SignInContext : accounts::SignInServices {
    toolkit::Application& app;
    platform::Workers& workers;
    platform::RandomSource& random;
    std::shared_ptr<toolkit::Surface> main_window;
};

}  // namespace kestrel::shell
