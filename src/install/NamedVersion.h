#pragma once

// A game version installed under a name the player chose: the game version
// stays under its own id, exactly as served (so other launchers sharing the
// folder find it as they expect), and the named version is a small version
// JSON of its own, {"id": NAME, "inheritsFrom": GAME, "type": TYPE}, in
// versions/NAME/NAME.json. It inherits everything (client jar, libraries,
// arguments, assets) and keeps its own folder, which is what a separate name
// is for with version isolation on.
//
// Threading: blocks the calling thread for one small file write.

#include <string>

#include "platform/Result.h"

namespace kestrel::install {

// The version JSON of the named version.
std::string NamedVersionJson(const std::string& name, const std::string& game_version, const std::string& type);

// Writes it whole (or not at all) below game_folder. Both ids must be safe
// version ids; an existing versions/NAME folder is refused, so no other
// version is ever overwritten.
Status StoreNamedVersion(const std::string& game_folder, const std::string& name, const std::string& game_version,
                         const std::string& type);

}  // namespace kestrel::install
