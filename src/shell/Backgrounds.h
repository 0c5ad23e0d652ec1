#pragma once

// The main window's background picture, drawn at every start from the
// pictures the player put into KSTfiles/Backgrounds, and the file search it
// shares with the music loop.
//
// Threading: free functions; FindFiles and ChooseBackground read the disk and
// run on a worker (ChooseBackground only writes the surface).

#include <string>
#include <string_view>
#include <vector>

#include "shell/LauncherContext.h"

namespace kestrel::shell {

// Pictures larger than this are not read (a background is a few MB at most).
inline constexpr std::size_t kMaxBackgroundBytes = std::size_t{64} << 20;

// Every file under folder whose name ends in extension (".jpg"), compared
// without regard to case as the Windows pattern *.jpg does, then the same in
// each subfolder. Names beginning with "." (hidden files and folders) are
// skipped, and so are symbolic links to folders, so a link loop cannot send
// the search round for ever. Within one folder, files come in name order
// before the subfolders, which also come in name order. A missing folder
// gives an empty list. The paths are joined with the host's separator.
std::vector<std::string> FindFiles(const std::string& folder, std::string_view extension,
                                   const platform::HostProfile& host);

// Shows the background 背景: a picture drawn through ctx.random from the
// *.jpg files under KSTfiles/Backgrounds (number n from 1 to the count), or
// the built-in picture when there is none. A picture that cannot be read
// shows an empty background.
void ChooseBackground(LauncherContext& ctx);

}  // namespace kestrel::shell
