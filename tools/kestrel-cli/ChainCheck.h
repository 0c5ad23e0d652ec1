#pragma once

// ChainCheck makes the commands that read a version (chain, libraries,
// classpath, natives, command-line, launch) fail on a version that cannot be
// used, instead of printing what an empty manifest gives. A version is
// usable when its id names a folder under `versions` and it and every
// version it inherits from have a manifest that reads as a JSON object.
//
// The chain is the launcher's own (VersionManifests::Chain), so the check
// follows exactly the versions the command then reads; each manifest of it
// is read once more here to say what is wrong with it.
//
// Threading: runs on the main thread like the commands.

#include <string>

#include "Command.h"

namespace kestrel::cli {

// True when the version is usable. Otherwise prints the launcher's error
// text for a manifest it cannot read, then a line naming the version, the
// manifest's path and the fault (for a manifest that is not JSON, the parse
// failure's code, position and meaning), and returns false.
bool CheckChain(const std::string& id, const CliContext& context);

}  // namespace kestrel::cli
