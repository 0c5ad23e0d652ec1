#pragma once

// LaunchJavaStep is the launch's choice of Java on the game-start window.
// When the Java of the settings is not the major version the selected
// version needs and the AutoJava setting is on, the launch takes an
// installed Java of exactly that version (runtimes/LaunchJava.h) and says
// which one in the window's step label; when none is installed, it
// downloads the version's runtime component from the download source of the
// settings, with its progress on the window's bar (0 to 40, as the fetch of
// game files shows its own) and in the step label, and then takes that. The
// settings keep the player's Java: the choice is made anew at each launch.
//
// With the setting off, or when the chosen Java fits (or the version names
// no Java), the Java of the settings is used and the launch's own check
// stands as it is.
//
// Threading: Run blocks the launch worker that calls it; the window writes
// go through the Surface, which queues them for the user-interface thread.

#include <stop_token>
#include <string>

#include "platform/Result.h"
#include "shell/LaunchServices.h"
#include "shell/LauncherContext.h"
#include "shell/SettingsRecord.h"
#include "toolkit/Surface.h"

namespace kestrel::shell {

// The step label once a Java was chosen: the prefix, the major version, ": ",
// the executable.
inline constexpr const char* kStepJavaChosen = "已自动选用Java ";
// The step label while a runtime is downloaded: the prefix, the major
// version, " ", then "done/total" files.
inline constexpr const char* kStepJavaDownload = "正在下载Java ";
// Before the error text of a failed runtime download, in the launch's
// message box.
inline constexpr const char* kErrorJavaDownloadPrefix = "下载Java运行时失败:";

// What the launch goes on with.
struct LaunchJavaOutcome {
    std::string java;     // the Java to launch with
    std::string note;     // "" when the settings' Java is used; else " (Java 17)" for the later step labels
};

class LaunchJavaStep {
public:
    LaunchJavaStep(LauncherContext& ctx, const LaunchServices& services) : ctx_(ctx), services_(services) {}

    // The Java for the launch of settings.selected_version; an error text for
    // the launch's message box when the download failed, kLaunchCancelled
    // after a stop request.
    Result<LaunchJavaOutcome> Run(const SettingsRecord& settings, toolkit::Surface& window, std::stop_token stop) const;

private:
    LauncherContext& ctx_;
    const LaunchServices& services_;
};

}  // namespace kestrel::shell
