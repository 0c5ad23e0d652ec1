#pragma once

// The settings record lives in the settings module (settings/SettingsRecord.h);
// the window flows use its names as their own.

#include "settings/SettingsRecord.h"

namespace kestrel::shell {

using settings::AfterLaunch;
using settings::GameWindowMode;
using settings::SettingsRecord;
using settings::kLauncherVersion;
using settings::kExitLauncher;
using settings::kMinimise;
using settings::kHideUntilExit;
using settings::kRestartAfterExit;
using settings::kDoNothing;
using settings::kWindowDefault;
using settings::kWindowCustom;
using settings::kWindowMaximised;
using settings::kWindowFullScreen;
using settings::kWindowAsLauncher;
using settings::kDefaultWindowWidth;
using settings::kDefaultWindowHeight;

}  // namespace kestrel::shell
