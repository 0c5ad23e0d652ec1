#pragma once

// Builds the sign-in flows' context from the launcher's: the account values
// of the process-wide state, the GUI services, the clock, the workers, the
// random source, the main window, the service addresses, the account cache
// and data folder paths, the host profile and the OAuth client id.
//
// Threading: call it on the user-interface thread once the main window
// exists. The result refers to the LauncherContext's objects; keep it alive
// as long as the handlers that WireSignIn installs can run.

#include "shell/LauncherContext.h"
#include "shell/SignInContext.h"

namespace kestrel::shell {

SignInContext MakeSignInContext(LauncherContext& context);

}  // namespace kestrel::shell
