#pragma once

// RunLoaderInstall is the common end of the commands that install a mod
// loader (install --loader, install-loader): it runs the install with its
// progress on stderr, prints the new version's id on stdout, or the error on
// stderr, and gives the exit status.
//
// Threading: main thread.

#include "Command.h"
#include "install/InstallSettings.h"
#include "install/Loaders.h"

namespace kestrel::cli {

int RunLoaderInstall(const install::InstallSettings& settings, const install::LoaderRequest& request,
                     const CliContext& context);

}  // namespace kestrel::cli
