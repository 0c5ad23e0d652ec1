#pragma once

// SettingsSession is what one open settings window's handlers and fill
// workers share: the launcher context, the sources, the options file, the
// window, and the memory figures read when it opened. The window's handlers
// hold the session; the session refers to the window without owning it, so
// nothing keeps itself alive.
//
// Threading: Change and Settings may be called from any thread; the memory
// figures are set once before the fill workers start.

#include <atomic>
#include <cstdint>
#include <memory>
#include <stop_token>
#include <utility>

#include "shell/LauncherContext.h"
#include "shell/OptionsFile.h"
#include "shell/OptionsSaver.h"
#include "shell/SettingsWindow.h"
#include "toolkit/Surface.h"

namespace kestrel::shell {

struct SettingsSession {
    SettingsSession(LauncherContext& context, SettingsSources settings_sources, toolkit::Surface& window)
        : ctx(context),
          sources(std::move(settings_sources)),
          options(context.paths),
          surface(window) {}

    LauncherContext& ctx;
    const SettingsSources sources;
    const OptionsFile options;
    toolkit::Surface& surface;

    // Set while the "检测" button's Java discovery runs.
    std::atomic<bool> detecting_java{false};
    // Counts the Javas picked by hand: only the newest pick's check may set
    // the Java when several run.
    std::atomic<int> java_picks{0};

    // Total and available physical memory in MB, read when the window opened.
    std::int64_t total_mb = 0;
    std::int64_t available_mb = 0;

    // Changes the record and queues its save, both under the record's lock,
    // so every save writes one consistent record and the newest change is
    // the one written last. The write itself happens on the saver's writer.
    template <typename Fn>
    void Change(Fn&& fn) {
        ctx.state.settings.Update([&](SettingsRecord& record) {
            fn(record);
            SaveOptionsLater(ctx, record);
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

// The switch of the automatic Java choice on the general page
// (SettingsJavaChoice.cpp).
void FillJavaChoiceSwitch(SettingsSession& session);
void WireJavaChoiceSwitch(const std::shared_ptr<SettingsSession>& session);

}  // namespace kestrel::shell
