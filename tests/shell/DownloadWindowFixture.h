#pragma once

// A launcher around the download window for tests: a program folder in a
// temporary folder, the in-memory toolkit with its main window, a fake clock,
// and a local file server that stands in for the catalogue's and the game
// files' hosts (the synthetic version of the install tests). The window gets
// the launcher's own installing code unless a test puts in its own sources.

#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "download/FileServer.h"
#include "install/SyntheticLoader.h"
#include "install/SyntheticVersion.h"
#include "platform/Files.h"
#include "shell/DownloadWindow.h"
#include "shell/LauncherContext.h"
#include "shell/OptionsFile.h"
#include "support/FakeClock.h"
#include "support/TempFolder.h"
#include "toolkit/MemoryApplication.h"
#include "toolkit/Windows.h"

namespace kestrel::shell::testing {

using namespace std::chrono_literals;

class DownloadWindowTest : public ::testing::Test {
protected:
    DownloadWindowTest() {
        ctx_.main_window = app_.CreateSurface(toolkit::MainWindowDef());
        main_ = std::dynamic_pointer_cast<toolkit::MemorySurface>(ctx_.main_window);
        main_->ShowWindow();
        SettingsRecord record;
        options_.Load(record, [] { return 1024; });
        state_.settings.Set(record);
        // The official hosts go to the local server, as an endpoints file
        // with origin lines sends them.
        std::string lines;
        for (const net::OriginRule& rule : install::OriginsTo(server_)) lines += rule.origin + "=" + rule.base + "\n";
        for (const net::OriginRule& rule : install::LoaderOriginsTo(server_)) {
            lines += rule.origin + "=" + rule.base + "\n";
        }
        ctx_.endpoints.Override(lines);
    }
    ~DownloadWindowTest() override { workers_.StopAll(); }

    std::shared_ptr<toolkit::MemorySurface> Open(const DownloadSources& sources) {
        return std::dynamic_pointer_cast<toolkit::MemorySurface>(OpenDownloadWindow(ctx_, sources));
    }
    std::shared_ptr<toolkit::MemorySurface> Open() { return Open(DownloadSources::ForLauncher(ctx_)); }

    // Waits until the list has rows (or, with rows 0, until it says why not).
    static bool WaitForRows(const toolkit::MemorySurface& w, std::size_t rows) {
        return w.WaitUntil([&] { return w.Items(toolkit::kDownloadList).size() == rows; }, 10s);
    }
    // Chooses the list's row of the version id.
    static bool ChooseVersion(toolkit::MemorySurface& w, const std::string& id) {
        const std::vector<std::string> rows = w.Items(toolkit::kDownloadList);
        for (std::size_t i = 0; i < rows.size(); ++i) {
            if (rows[i].rfind(id + "\t", 0) == 0) return w.Choose(toolkit::kDownloadList, static_cast<int>(i));
        }
        return false;
    }
    // Waits until no install runs ("安装" is back).
    static bool WaitForInstallEnd(const toolkit::MemorySurface& w) {
        return w.WaitUntil([&] { return w.Visible(toolkit::kDownloadInstall); }, 30s);
    }
    void WaitForWorkers() const {
        while (workers_.Running() > 0) std::this_thread::yield();
    }
    std::string SavedOptions() const {
        while (!state_.options_saver.Idle()) std::this_thread::yield();
        return platform::ReadFile(options_.path()).value_or("<missing>");
    }
    std::string GameDir() const { return state_.settings.Get().current_game_dir; }

    kestrel::testing::TempFolder folder_;
    kestrel::testing::FileServer server_;
    install::SyntheticVersion version_;
    platform::HostProfile host_ = platform::HostProfile::Linux64();
    LauncherState state_;
    toolkit::MemoryApplication app_;
    kestrel::testing::FakeClock clock_;
    platform::TickRandom random_{[] { return std::uint64_t{1}; }};
    OptionsFile options_{LauncherPaths::For(folder_.path(), folder_.path() + "/local", "kestrel", host_)};
    platform::Workers workers_;
    LauncherContext ctx_{state_,  app_, clock_, random_, workers_,
                         LauncherPaths::For(folder_.path(), folder_.path() + "/local", "kestrel", host_),
                         host_,   net::Endpoints::Defaults(), nullptr};
    std::shared_ptr<toolkit::MemorySurface> main_;
};

}  // namespace kestrel::shell::testing
