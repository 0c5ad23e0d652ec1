#pragma once

// The launcher's options file as kestrel-cli reads it: the file beside this
// program, or in the folder --program-dir names, so that a script's commands
// download from the same source and launch with the same Java as the window.
//
// Threading: runs on the main thread like the commands.

#include <optional>

#include "CliArguments.h"
#include "Command.h"
#include "net/UrlRewriter.h"
#include "settings/OptionsFile.h"
#include "settings/SettingsRecord.h"

namespace kestrel::cli {

// The options file beside this program, or in --program-dir.
settings::OptionsFile ProgramOptionsFile(const CliArguments& arguments);

// Its record; the memory is left as the file has it (no recommendation is
// worked out).
settings::SettingsRecord ProgramOptions(const CliArguments& arguments);

// The mirror of --mirror, else that of the options file's DownloadSource;
// nothing, after the usage line on stderr, when --mirror names none.
std::optional<net::Mirror> MirrorOption(const CliArguments& arguments, const CliContext& context);

// The files fetched at once: --jobs N (1 to 256), default 16; nothing, after
// the usage line on stderr, for another text.
std::optional<int> JobsOption(const CliArguments& arguments, const CliContext& context);

}  // namespace kestrel::cli
