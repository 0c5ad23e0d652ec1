#pragma once

// The settings at start-up and after: the options loader of the start-up
// sequence and the save every settings change is followed by.
//
// Threading: RunOptionsLoader runs on the options loader worker; SaveOptions
// on any thread (it hands the write to the options saver). Both change
// ctx.state.settings under its lock.

#include <functional>

#include "shell/LauncherContext.h"
#include "shell/OptionsFile.h"
#include "shell/StartUpHooks.h"

namespace kestrel::shell {

// The options file of the launcher in ctx.paths.
OptionsFile OptionsFileOf(const LauncherContext& ctx);

// Saves the settings record through the options saver (OptionsSaver.h): the
// write happens on its worker, and a failed one is said in a message box.
void SaveOptions(LauncherContext& ctx);

// The options loader: loads the options file into the record (with the
// recommended memory), starts the version-list refresh, reads the account
// cache (hooks.read_account_cache) and then calls account_cache_read, and
// last fills in a missing Java path with the first Java found, or, when none
// is, shows the warning "未自动检测到Java,请您前往设置手动选择!" (caption
// "Kestrel2", warning icon).
void RunOptionsLoader(LauncherContext& ctx, const StartUpHooks& hooks,
                      const std::function<void()>& account_cache_read);

}  // namespace kestrel::shell
