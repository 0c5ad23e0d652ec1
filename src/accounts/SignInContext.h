#pragma once

// SignInContext is what the sign-in flows are given: the account values, the
// GUI services and the main window, the clock, the workers, the random
// source, the service addresses, the two paths they write (the account cache
// and the data folder KSTfiles), the host profile and the OAuth client id.
// The shell builds one from its LauncherContext (shell::MakeSignInContext);
// tests build one around the in-memory toolkit and a test clock.
//
// The handlers that WireSignIn installs keep a reference to the context, so
// it must stay alive as long as the main window can fire events and until
// the workers have been joined.
//
// Threading: the references are fixed for the context's life; each object
// documents its own contract. The plain members are read, never written, by
// the flows.

#include <memory>
#include <string>

#include "accounts/AccountState.h"
#include "net/Endpoints.h"
#include "net/HttpSession.h"
#include "platform/Clock.h"
#include "platform/HostProfile.h"
#include "platform/RandomSource.h"
#include "platform/Workers.h"
#include "toolkit/Application.h"
#include "toolkit/Surface.h"

namespace kestrel::accounts {

struct SignInContext {
    AccountState& accounts;
    toolkit::Application& app;
    platform::Clock& clock;
    platform::Workers& workers;
    platform::RandomSource& random;
    std::shared_ptr<toolkit::Surface> main_window;
    net::Endpoints endpoints;
    std::string account_cache_path;
    std::string data_folder;  // KSTfiles, in the host profile's form
    platform::HostProfile host;
    std::string oauth_client_id;
    // Time-outs and trusted certificates of the sign-in requests; the
    // session's defaults unless a test shortens them.
    net::HttpOptions http;
};

}  // namespace kestrel::accounts
