#pragma once

// The version box 版本框 of the main window: the installed versions of the
// current game directory, and the selected version shown as its text.
//
// A refresh lists every folder under <current game directory>/versions
// (launch::VersionManifests::Installed: folders without a manifest count,
// names beginning with "." do not), makes the first one the selected version
// when none is selected, shows the selected version as the box's text and
// puts the list into the box. With no versions the box is emptied and
// nothing else changes. The items are replaced in one write, so two
// refreshes that overlap (the player opens the list twice quickly) never
// leave a version listed twice.
//
// Threading: RefreshVersionList does file-system work and must run on a
// worker; StartVersionListRefresh starts one through ctx.workers and may be
// called from any thread.

#include "shell/LauncherContext.h"

namespace kestrel::shell {

void RefreshVersionList(LauncherContext& ctx);
void StartVersionListRefresh(LauncherContext& ctx);

// The player chose an item of 版本框: it becomes the selected version, and
// the options are saved. User-interface thread.
void SelectVersion(LauncherContext& ctx, const std::string& version);

}  // namespace kestrel::shell
