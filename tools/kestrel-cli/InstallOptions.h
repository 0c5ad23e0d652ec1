#pragma once

// The install settings of kestrel-cli's installing commands (install,
// verify, remote-versions, loaders): the game folder and host of the
// command, --mirror official|bmclapi (default: the options file's
// DownloadSource, beside this program or in --program-dir), --jobs N (files
// fetched at once, default 16), and the endpoints of $KESTREL_ENDPOINTS.
//
// Threading: main thread.

#include <optional>

#include "Command.h"
#include "install/InstallSettings.h"
#include "settings/SettingsRecord.h"

namespace kestrel::cli {

// The options file beside this program or in --program-dir, with its
// defaults where it is missing (the memory setting is not worked out).
settings::SettingsRecord OptionsBesideProgram(const CliArguments& arguments);

// Nothing (after the usage line on stderr) when --mirror or --jobs is not
// one the command takes.
std::optional<install::InstallSettings> InstallSettingsFor(const CliArguments& arguments, const CliContext& context);

}  // namespace kestrel::cli
