#pragma once

// A launcher around the settings window for tests: a program folder in a
// temporary folder, the in-memory toolkit with its main window, a fake clock,
// fixed Java candidates and memory figures, and a local server for the
// thanks file.

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "platform/Files.h"
#include "shell/LauncherContext.h"
#include "shell/OptionsFile.h"
#include "shell/SettingsWindow.h"
#include "support/FakeClock.h"
#include "support/HttpTestServer.h"
#include "support/TempFolder.h"
#include "toolkit/MemoryApplication.h"
#include "toolkit/Windows.h"

namespace kestrel::shell::testing {

inline constexpr const char* kThanks = "感谢每一位玩家\r\nThanks to everyone";

class SettingsWindowTest : public ::testing::Test {
protected:
    SettingsWindowTest() {
        server_.server().Get("/Special_thanks.txt", [](const httplib::Request&, httplib::Response& res) {
            res.set_content(kThanks, "text/plain; charset=utf-8");
        });
        ctx_.endpoints.Override("thanks=" + server_.Url("/Special_thanks.txt"));
        ctx_.main_window = app_.CreateSurface(toolkit::MainWindowDef());
        // What the start-up leaves: the options file's defaults with the
        // memory not set yet (as when Memory holds no number).
        SettingsRecord record;
        options_.Load(record, [] { return 0; });
        state_.settings.Set(record);
        // 16000 MB in all, 6001 MB available.
        memory_.total_kb = 16000 * 1024;
        memory_.available_kb = 6001 * 1024;
    }
    ~SettingsWindowTest() override { workers_.StopAll(); }

    SettingsSources Sources() {
        SettingsSources sources;
        sources.discover_java = [this] { return javas_; };
        sources.describe_java = [](const std::string& path) { return java::JavaCandidate{"17", path, "64"}; };
        sources.memory_figures = [this] { return memory_; };
        return sources;
    }

    // Opens the window and waits for its four fills.
    std::shared_ptr<toolkit::MemorySurface> Open() {
        auto surface = std::dynamic_pointer_cast<toolkit::MemorySurface>(OpenSettingsWindow(ctx_, Sources()));
        WaitForWorkers();
        return surface;
    }
    void WaitForWorkers() const {
        while (workers_.Running() > 0) std::this_thread::yield();
    }

    // Waits until the options saver has written every change.
    void WaitForSaves() const {
        while (!state_.options_saver.Idle()) std::this_thread::yield();
    }
    // The options file as saved, and as the next start reads it.
    std::string SavedFile() const {
        WaitForSaves();
        return platform::ReadFile(options_.path()).value_or("<missing>");
    }
    SettingsRecord Reloaded() const {
        WaitForSaves();
        SettingsRecord record;
        options_.Load(record, [] { return 0; });
        return record;
    }
    SettingsRecord Record() const { return state_.settings.Get(); }
    std::string DataFile(const std::string& name) const { return folder_.path() + "/KSTfiles/" + name; }

    static void ExpectNoProblems(const toolkit::MemorySurface& s) {
        EXPECT_EQ(s.Problems(), std::vector<std::string>{});
    }

    kestrel::testing::TempFolder folder_;
    kestrel::testing::HttpTestServer server_;
    platform::HostProfile host_ = platform::HostProfile::Linux64();
    LauncherState state_;
    toolkit::MemoryApplication app_;
    kestrel::testing::FakeClock clock_;
    platform::TickRandom random_{[] { return std::uint64_t{1}; }};
    OptionsFile options_{LauncherPaths::For(folder_.path(), folder_.path() + "/local", "kestrel", host_)};
    std::vector<java::JavaCandidate> javas_ = {
        {"8", "/opt/java/jre1.8.0_301/bin/java", "64"},
        {"17", "/opt/java/jdk-17.0.2/bin/java", "64"},
        {"11", "/opt/java/jdk-11/bin/java", "64"},
    };
    platform::MemoryInfo memory_;
    platform::Workers workers_;
    LauncherContext ctx_{state_,  app_, clock_, random_, workers_,
                         LauncherPaths::For(folder_.path(), folder_.path() + "/local", "kestrel", host_),
                         host_,   net::Endpoints::Defaults(), nullptr};
};

}  // namespace kestrel::shell::testing
