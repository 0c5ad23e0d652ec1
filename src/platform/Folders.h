#pragma once

// The folders the launcher lives in: its own program folder (the options file,
// the data folder and the default game folder sit beside the executable) and
// the per-user application data folder (the account cache).
//
// Threading: free functions reading the process's environment; safe from any
// thread as long as nobody changes the environment meanwhile.

#include <string>

namespace kestrel::platform {

// The folder that holds the running executable, without a trailing separator.
std::string ProgramFolder();

// The file name (without folder) of the running executable.
std::string ExecutableName();

// $LOCALAPPDATA, else $XDG_DATA_HOME, else ~/.local/share.
std::string LocalAppData();

}  // namespace kestrel::platform
