#pragma once

// A launcher for the launch tests: the in-memory toolkit with the main
// window open and its launch button shown (the signed-in look), a test
// clock, a signed-in offline player, a game folder, and system services
// whose answers the test decides (LaunchServices), recorded as they are
// used.

#include <atomic>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "launch/GameFolder.h"
#include "platform/Process.h"
#include "platform/Workers.h"
#include "shell/LaunchServices.h"
#include "shell/LauncherContext.h"
#include "support/FakeClock.h"
#include "toolkit/MemoryApplication.h"
#include "toolkit/Windows.h"

namespace kestrel::testing {

// System services with scripted answers.
struct ScriptedSystem {
    std::mutex mutex;
    int finds = 0;
    int window_at_find = 0;  // the find (1, 2, ...) that sees the window; 0: never
    platform::WindowId window = 0x3e00007;
    int alive_answers = -1;  // how many alive tests say "alive"; -1: always
    int alive_tests = 0;
    std::vector<std::pair<platform::WindowId, std::string>> titles;
    std::vector<std::string> started;  // exe | command line | folder
    bool start_fails = false;
    std::function<void()> on_alive_test;  // runs at every alive test
    std::optional<int> exit_status;       // the game's, once it is no longer alive

    shell::LaunchServices Services() {
        shell::LaunchServices services;
        services.find_window = [this](int) {
            std::lock_guard lock(mutex);
            ++finds;
            return window_at_find > 0 && finds >= window_at_find ? window : platform::kNoWindow;
        };
        services.set_title = [this](platform::WindowId w, const std::string& title) {
            std::lock_guard lock(mutex);
            titles.emplace_back(w, title);
            return true;
        };
        services.alive = [this](int) {
            if (on_alive_test) on_alive_test();
            std::lock_guard lock(mutex);
            ++alive_tests;
            return alive_answers < 0 || alive_tests <= alive_answers;
        };
        services.exit_status = [this](int) -> std::optional<int> {
            std::lock_guard lock(mutex);
            const bool ended = alive_answers >= 0 && alive_tests > alive_answers;
            return ended ? exit_status : std::nullopt;
        };
        services.start_process = [this](const std::string& exe, std::string_view line,
                                        const std::string& cwd) -> Result<int> {
            std::lock_guard lock(mutex);
            started.push_back(exe + " | " + std::string(line) + " | " + cwd);
            if (start_fails) return Error{"cannot start"};
            return 4242;
        };
        return services;
    }
};

class LaunchRig {
public:
    LaunchRig() {
        main = std::dynamic_pointer_cast<toolkit::MemorySurface>(app.CreateSurface(toolkit::MainWindowDef()));
        main->ShowWindow();
        main->Show("启动游戏按钮");
        ctx.main_window = main;
        ctx.paths = shell::LauncherPaths::For(game.root(), game.root() + "/appdata", "kestrel", ctx.host);
        state.accounts.SignIn({"Steve", "", "", "", ""}, accounts::SignInState::kOffline);
        state.settings.Update([&](shell::SettingsRecord& s) {
            s.selected_version = "1.12.2";
            s.java_path = game.root() + "/no-java/bin/java";
            s.memory = 600;
            s.game_window_width = 854;
            s.game_window_height = 480;
            s.current_game_dir = game.path();
            s.launcher_waiting = shell::kDoNothing;
            // The manifests of these tests name the official servers; the
            // tests of the launch's fetch turn the check on with a local
            // server in their place.
            s.check_files_before_launch = false;
        });
    }

    void Settings(const std::function<void(shell::SettingsRecord&)>& change) { state.settings.Update(change); }

    // The game-start window of the latest click.
    std::shared_ptr<toolkit::MemorySurface> StartWindow() const { return app.Window(toolkit::kGameStartWindow); }

    // Waits until the game-start window of the latest click has closed.
    bool WaitForClosedStartWindow() const {
        const auto window = StartWindow();
        return window && window->WaitUntil([&] { return window->CloseCount() > 0; }, std::chrono::seconds(60));
    }

    GameFolder game;
    toolkit::MemoryApplication app;
    FakeClock clock;
    platform::TickRandom random;
    shell::LauncherState state;
    ScriptedSystem system;
    shell::LauncherContext ctx{state, app, clock, random, workers, {}, platform::HostProfile::Current(), {}, {}};
    std::shared_ptr<toolkit::MemorySurface> main;
    // Last, so that every worker is joined before what it uses goes away.
    platform::Workers workers;
};

}  // namespace kestrel::testing
