#include "content/UpdateCheck.h"

#include "net/KeyLookup.h"

namespace kestrel::content {

bool ClientUpdateNeeded(std::string_view client_update_xml, std::string_view client_version) {
    const std::string latest = net::KeyLookup(client_update_xml, "<latest>", "</latest>");
    return !latest.empty() && latest != client_version;
}

LauncherUpdate CheckLauncherUpdate(std::string_view update_xml, std::string_view launcher_version) {
    LauncherUpdate update;
    update.published = net::KeyLookup(update_xml, "<main>", "</main>");
    if (update.published == launcher_version) {
        update.state = UpdateState::kUpToDate;
        return update;
    }
    const std::string level = net::KeyLookup(update_xml, "<updatelevel>", "</updatelevel>");
    if (level == "0") {
        update.state = UpdateState::kMandatoryUpdate;
    } else if (level == "1") {
        update.state = UpdateState::kOptionalUpdate;
    } else {
        update.state = UpdateState::kUnrecognised;
    }
    return update;
}

std::string StepText(UpdateState state) {
    switch (state) {
        case UpdateState::kUpToDate: return "检查更新完成!";
        case UpdateState::kOptionalUpdate: return "检查更新完成,有新版本可以下载!";
        case UpdateState::kUnrecognised: return "未知错误";
        case UpdateState::kMandatoryUpdate: return "";
    }
    return "";
}

VersionLabel VersionLabelFor(const LauncherUpdate& update, std::string_view launcher_version) {
    VersionLabel label;
    label.text = std::string(launcher_version);
    if (update.state == UpdateState::kOptionalUpdate) {
        label.x = 260;
        label.icon_shown = true;
        label.argb = kOptionalColour;
        label.text += ",点击这里更新到" + update.published;
        label.hide_update_progress = true;
    } else if (update.state == UpdateState::kUnrecognised) {
        label.x = 260;
        label.icon_shown = true;
        label.argb = kFailureColour;
    }
    return label;
}

VersionLabel ProbeFailedLabel(std::string_view launcher_version) {
    VersionLabel label;
    label.x = 260;
    label.icon_shown = true;
    label.argb = kFailureColour;
    label.text = std::string(launcher_version);
    label.hide_update_progress = true;
    return label;
}

bool ClickEndsLauncher(UpdateState state) { return state == UpdateState::kOptionalUpdate; }

}  // namespace kestrel::content
