#pragma once

// The two update checks of the start-up, as functions of the downloaded
// files. The launcher compares versions as plain texts: any published version
// other than its own counts as an update (an older one too), so the update
// server can roll a release back.
//
//   Client_update.xml  <latest>version</latest>
//   update.xml         <main>version</main> <updatelevel>0|1</updatelevel>
//
// Level "0" is a mandatory update (the updater is started and the launcher
// ends), "1" an optional one shown on the version label; anything else, an
// empty level and a failed download included, is unrecognised.
//
// Threading: pure functions.

#include <cstdint>
#include <string>
#include <string_view>

namespace kestrel::content {

inline constexpr std::string_view kLauncherVersion = "22w02a";

enum class UpdateState { kUpToDate, kOptionalUpdate, kUnrecognised, kMandatoryUpdate };

struct LauncherUpdate {
    UpdateState state = UpdateState::kUnrecognised;
    std::string published;  // the <main> text of update.xml
};

// True when Client_update.xml names a client package other than the
// installed one (an empty <latest> never does).
bool ClientUpdateNeeded(std::string_view client_update_xml, std::string_view client_version);

LauncherUpdate CheckLauncherUpdate(std::string_view update_xml, std::string_view launcher_version);

// The start-up step text shown at 100 % for a state ("" for a mandatory
// update, which ends the launcher before that step).
std::string StepText(UpdateState state);

// How the version label 版本号显示 looks for a state. It is always made
// visible; x 0 and colour 0 mean "leave as designed".
struct VersionLabel {
    int x = 0;
    bool icon_shown = false;       // 更新失败提示
    std::uint32_t argb = 0;        // text colour
    std::string text;
    bool hide_update_progress = false;  // 更新进度 and 更新进度_文字
};

inline constexpr std::uint32_t kOptionalColour = 0xFFFFEE00;
inline constexpr std::uint32_t kFailureColour = 0xFFFF0000;

VersionLabel VersionLabelFor(const LauncherUpdate& update, std::string_view launcher_version);

// The label's failure form after the update server did not answer the probe.
VersionLabel ProbeFailedLabel(std::string_view launcher_version);

// A click on the version label ends the launcher only when it offers an
// optional update.
bool ClickEndsLauncher(UpdateState state);

}  // namespace kestrel::content
