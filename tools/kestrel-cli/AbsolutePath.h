#pragma once

// AbsolutePath makes a folder or file named on the command line independent
// of the folder kestrel-cli was started in. The game runs in its game
// directory, not in the caller's folder, so a relative game folder or Java
// path would name other files once the game has started.
//
// Threading: reads the process's working folder; call it from the main
// thread before any command runs.

#include <string>

namespace kestrel::cli {

// The path with the working folder in front when it is relative, without
// "." components, repeated separators or a trailing separator. ".." stays
// as it is, so a symbolic link on the way keeps its meaning. An empty path
// stays empty.
std::string AbsolutePath(const std::string& path);

}  // namespace kestrel::cli
