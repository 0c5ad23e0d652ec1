#pragma once

// The launcher's own artwork and sounds (the files of assets/), built into
// the program so that it needs nothing beside itself to draw its windows:
// the logo, the account-type badges, the start-up overlay, the default
// background, the default skin, the default server icon, the update-failed
// icon, the window icon and the launch sound.
//
// Threading: the bytes are constant for the program's life; any thread may
// read them.

#include <string_view>

namespace kestrel::toolkit {

// The bytes of the asset of that file name ("skin.png", "launch.wav", ...);
// empty for a name that is not built in.
std::string_view Asset(std::string_view file_name);

}  // namespace kestrel::toolkit
