#pragma once

// SettingsSession is what one open settings window's handlers and fill
// workers share: the launcher context, the sources, the options file, the
// window, and the memory figures read when it opened. The window's handlers
// hold the session; the session refers to the window without owning it, so
// nothing keeps itself alive.
//
// Threading: Change and Settings may be called from any thread; the memory
// figures are set once before the fill workers start.

#include <cstdint>
#include <memory>
#include <stop_token>
#include <utility>

#include "shell/LauncherContext.h"
#include "shell/OptionsFile.h"
#include "shell/SettingsWindow.h"
#include "toolkit/Surface.h"

namespace kestrel::shell {

struct SettingsSession {
    SettingsSession(LauncherContext& context, SettingsSources settings_sources, toolkit::Surface& window)
        : ctx(context),
          sources(std::move(settings_sources)),
          options(OptionsPlace{context.paths.program_folder, context.paths.launcher_file,
                               context.paths.local_app_data}),
          surface(window) {}

    LauncherContext& ctx;
    const SettingsSources sources;
    const OptionsFile options;
    toolkit::Surface& surface;

    // Total and available physical memory in MB, read when the window opened.
    std::int64_t total_mb = 0;
    std::int64_t available_mb = 0;

    // Changes the record and saves the options file, both under the record's
    // lock, so every save writes one consistent record and two saves never
    // overlap.
    template <typename Fn>
    void Change(Fn&& fn) {
        ctx.state.settings.Update([&](SettingsRecord& record) {
            fn(record);
            (void)options.Save(record);  // a failed save is silent; the record keeps the values
        });
    }
    SettingsRecord Settings() const { return ctx.state.settings.Get(); }
};

// The page fills, each run on a worker of its own, and the handlers of each
// page, wired before the window opens.
void FillAccountPage(SettingsSession& session, std::stop_token stop);
void FillGeneralPage(SettingsSession& session, std::stop_token stop);
void WireAccountPage(const std::shared_ptr<SettingsSession>& session);
void WireGeneralPage(const std::shared_ptr<SettingsSession>& session);

}  // namespace kestrel::shell
