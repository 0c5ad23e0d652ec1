#include "shell/VersionList.h"

#include "launch/VersionManifests.h"
#include "shell/StartUpOptions.h"

namespace kestrel::shell {

namespace {
constexpr const char* kVersionBox = "版本框";
}

void RefreshVersionList(LauncherContext& ctx) {
    toolkit::Surface* box = ctx.main_window.get();
    if (!box) return;
    const std::string game_dir = ctx.state.settings.Get().current_game_dir;
    // Before the options are loaded there is no game directory to list (and
    // an empty one would list the working folder's versions).
    if (game_dir.empty()) return;
    const std::vector<std::string> versions =
        launch::VersionManifests(game_dir, ctx.host).Installed();
    if (versions.empty()) {
        box->ClearItems(kVersionBox);
        return;
    }
    std::string selected;
    ctx.state.settings.Update([&](SettingsRecord& record) {
        if (record.selected_version.empty()) record.selected_version = versions.front();
        selected = record.selected_version;
    });
    // The items first, then the text: the text then also selects its item.
    box->SetItems(kVersionBox, versions);
    box->SetText(kVersionBox, selected);
}

void StartVersionListRefresh(LauncherContext& ctx) {
    ctx.workers.Start([&ctx](std::stop_token) { RefreshVersionList(ctx); });
}

void SelectVersion(LauncherContext& ctx, const std::string& version) {
    ctx.state.settings.Update([&](SettingsRecord& record) { record.selected_version = version; });
    SaveOptions(ctx);
}

}  // namespace kestrel::shell
