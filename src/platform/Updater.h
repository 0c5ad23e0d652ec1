#pragma once

// Starting the external updater. The launcher does not install updates
// itself: it starts the updater program that sits in its own folder and ends.
// On Windows that is Update.exe, started with elevation; on Linux the program
// lives in a folder the user owns, so it is started as it is.
//
// Threading: free functions; any thread.

#include <string>

#include "platform/Result.h"

namespace kestrel::platform {

// Starts the program (LauncherPaths::updater) without arguments, with the
// environment a started program gets (ChildEnvironment in Process.h), and
// does not wait for it. Fails when it is missing or cannot be started.
Status StartUpdater(const std::string& path);

}  // namespace kestrel::platform
