#pragma once

// A launcher without a GUI for the start-up and main-window tests: a program
// folder and a per-user folder in a temporary folder, the in-memory toolkit,
// a test clock, a scripted random source, the workers, and the main window
// built from its table and wired with the hooks a test gives.

#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "platform/Files.h"
#include "platform/HostProfile.h"
#include "platform/RandomSource.h"
#include "platform/Workers.h"
#include "shell/LauncherContext.h"
#include "shell/LauncherState.h"
#include "shell/MainWindow.h"
#include "support/FakeClock.h"
#include "support/TempFolder.h"
#include "toolkit/MemoryApplication.h"
#include "toolkit/Windows.h"

namespace kestrel::shell::testing {

// Draws the numbers of a script in turn (the last one again once the script
// is used up) and records every range asked for.
class ScriptedRandom : public platform::RandomSource {
public:
    explicit ScriptedRandom(std::vector<std::uint32_t> script = {1}) : script_(std::move(script)) {}
    std::uint32_t Between(std::uint32_t lo, std::uint32_t hi) override {
        std::lock_guard lock(mutex_);
        ranges_.emplace_back(lo, hi);
        const std::uint32_t value = script_.empty() ? lo : script_[std::min(next_, script_.size() - 1)];
        ++next_;
        if (on_draw) on_draw();
        return value;
    }
    std::vector<std::pair<std::uint32_t, std::uint32_t>> Ranges() const {
        std::lock_guard lock(mutex_);
        return ranges_;
    }

    // Called (under the source's lock) after every draw; set before use.
    std::function<void()> on_draw;

private:
    mutable std::mutex mutex_;
    std::vector<std::uint32_t> script_;
    std::size_t next_ = 0;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> ranges_;
};

// A thread-safe list of what the hooks saw, in the order they saw it.
class EventLog {
public:
    void Add(std::string entry) {
        std::lock_guard lock(mutex_);
        entries_.push_back(std::move(entry));
    }
    std::vector<std::string> Entries() const {
        std::lock_guard lock(mutex_);
        return entries_;
    }
    // The position of an entry, or -1.
    int IndexOf(const std::string& entry) const {
        std::lock_guard lock(mutex_);
        for (std::size_t i = 0; i < entries_.size(); ++i) {
            if (entries_[i] == entry) return static_cast<int>(i);
        }
        return -1;
    }

private:
    mutable std::mutex mutex_;
    std::vector<std::string> entries_;
};

struct StartUpFixture {
    kestrel::testing::TempFolder folder;
    LauncherState state;
    toolkit::MemoryApplication app;
    kestrel::testing::FakeClock clock;
    ScriptedRandom random;
    platform::Workers workers;
    platform::HostProfile host = platform::HostProfile::Linux64();
    LauncherContext ctx{state,
                        app,
                        clock,
                        random,
                        workers,
                        LauncherPaths::For(folder.path() + "/program", folder.path() + "/appdata",
                                           "kestrel", platform::HostProfile::Linux64()),
                        platform::HostProfile::Linux64(),
                        net::Endpoints::Defaults(),
                        nullptr};
    std::shared_ptr<toolkit::MemorySurface> window;

    explicit StartUpFixture(std::vector<std::uint32_t> draws = {1}) : random(std::move(draws)) {
        window = std::static_pointer_cast<toolkit::MemorySurface>(
            app.CreateSurface(toolkit::MainWindowDef()));
        ctx.main_window = window;
    }
    ~StartUpFixture() {
        clock.Hold(false);
        workers.StopAll();
    }

    std::string Program(const std::string& relative = "") const {
        return folder.path() + "/program" + (relative.empty() ? "" : "/" + relative);
    }
    std::string Write(const std::string& relative, std::string_view bytes) const {
        return folder.Write("program/" + relative, bytes);
    }
    std::string Read(const std::string& relative) const {
        return platform::ReadFile(Program(relative)).value_or("<missing>");
    }

    // Hooks that keep the machine out of the test: no Java, 4096 MB.
    static StartUpHooks QuietHooks() {
        StartUpHooks hooks;
        hooks.first_java_path = [] { return std::string("/opt/java/bin/java"); };
        hooks.recommended_memory = [] { return 4096; };
        return hooks;
    }

    // Wires the window and opens it, which runs the start-up.
    void Start(const StartUpHooks& hooks) {
        WireMainWindow(ctx, hooks);
        window->ShowWindow();
    }

    // Waits until the overlay has gone out of sight again: the last step of
    // the fade, after everything else of the start-up.
    bool WaitForOverlayAway() const {
        return window->WaitUntil([&] { return window->Geometry("初始化").x == 5000 && !window->Visible("初始化"); },
                                 std::chrono::seconds(20));
    }
};

}  // namespace kestrel::shell::testing
