#pragma once

// The options file lives in the settings module (settings/OptionsFile.h); the
// window flows use its names as their own.

#include "settings/OptionsFile.h"
#include "shell/SettingsRecord.h"

namespace kestrel::shell {

using settings::FirstJavaPath;
using settings::JavaFill;
using settings::OptionInteger;
using settings::OptionsFile;
using settings::OptionValue;
using settings::RecommendedMemory;
using settings::kMaxOptionsFileBytes;
using settings::kNoJavaCaption;
using settings::kNoJavaWarning;

}  // namespace kestrel::shell
