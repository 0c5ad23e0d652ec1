#pragma once

// A launcher around the in-memory main window for the tests of the online
// content: its update server is a local HTTP server (files added with
// Serve), its program folder a temporary folder (the updater a small shell
// script that leaves a marker file), its clock a FakeClock and its random
// source a scripted one. Every step the start-up would show is recorded.

#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/Workers.h"
#include "shell/LauncherContext.h"
#include "shell/LauncherState.h"
#include "support/FakeClock.h"
#include "support/HttpTestServer.h"
#include "support/LoopbackServer.h"
#include "support/TempFolder.h"
#include "toolkit/MemoryApplication.h"
#include "toolkit/MemorySurface.h"
#include "toolkit/Windows.h"

namespace kestrel::testing {

// Draws the numbers it was given, in order, then the low end of the range.
// It records every range asked for and how many callers were inside Between
// at once; with Hold(true) a caller waits inside until Hold(false).
class ScriptedRandom final : public platform::RandomSource {
public:
    void Script(std::vector<std::uint32_t> draws) {
        std::lock_guard lock(mutex_);
        draws_.assign(draws.begin(), draws.end());
    }
    std::uint32_t Between(std::uint32_t lo, std::uint32_t hi) override {
        std::unique_lock lock(mutex_);
        ranges_.emplace_back(lo, hi);
        ++inside_;
        most_inside_ = std::max(most_inside_, inside_);
        changed_.notify_all();
        changed_.wait(lock, [this] { return !hold_; });
        --inside_;
        if (draws_.empty()) return lo;
        const std::uint32_t draw = draws_.front();
        draws_.pop_front();
        return draw;
    }
    void Hold(bool hold) {
        std::lock_guard lock(mutex_);
        hold_ = hold;
        changed_.notify_all();
    }
    void WaitForCallers(int n) {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return inside_ >= n; });
    }
    std::vector<std::pair<std::uint32_t, std::uint32_t>> Ranges() const {
        std::lock_guard lock(mutex_);
        return ranges_;
    }
    int MostInside() const {
        std::lock_guard lock(mutex_);
        return most_inside_;
    }

private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::uint32_t> draws_;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> ranges_;
    int inside_ = 0;
    int most_inside_ = 0;
    bool hold_ = false;
};

struct Step {
    std::string text;
    int percent = 0;
    friend bool operator==(const Step&, const Step&) = default;
};

// Polls for something another process or thread does, without a fixed
// sleep in the test's logic: true as soon as it holds, false after ten
// seconds (a hung run, not a timing).
template <typename Pred>
bool Eventually(Pred pred) {
    for (int i = 0; i < 10000; ++i) {
        if (pred()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return pred();
}

class ContentLauncher {
public:
    ContentLauncher()
        : window_(std::make_shared<toolkit::MemorySurface>(toolkit::MainWindowDef())),
          ctx_{state_, app_, clock_, random_, workers_, {}, platform::HostProfile::Current(), Endpoints(), window_} {
        ctx_.paths = platform::LauncherPaths::For(folder_.path(), folder_.path() + "/appdata", "kestrel",
                                                  platform::HostProfile::Current());
        window_->ShowWindow();
        // A server stopped before its thread listens would never stop, so
        // the test starts only once it does.
        Eventually([this] { return server_.server().is_running(); });
    }

    // The update server's file at path ("/launcher/notice.xml", ...).
    void Serve(const std::string& path, std::string body) {
        server_.server().Get(path, [body](const httplib::Request&, httplib::Response& response) {
            response.set_content(body, "application/octet-stream");
        });
    }

    // Points one endpoint somewhere else.
    void Point(const std::string& name, const std::string& url) { ctx_.endpoints.Override(name + "=" + url); }

    // Writes the updater: a script that leaves a marker file when it runs.
    void InstallUpdater() {
        const std::string path = folder_.Write("Update", "#!/bin/sh\necho started > '" + Marker() + "'\n");
        ::chmod(path.c_str(), 0755);
    }
    std::string Marker() const { return folder_.path() + "/updater-ran"; }
    bool UpdaterRan() const { return Eventually([this] { return std::filesystem::exists(Marker()); }); }

    shell::StepReporter Reporter() {
        return [this](const std::string& text, int percent) {
            std::lock_guard lock(steps_mutex_);
            steps_.push_back({text, percent});
        };
    }
    std::vector<Step> Steps() const {
        std::lock_guard lock(steps_mutex_);
        return steps_;
    }

    shell::LauncherContext& ctx() { return ctx_; }
    shell::LauncherState& state() { return state_; }
    toolkit::MemorySurface& window() { return *window_; }
    toolkit::MemoryApplication& app() { return app_; }
    FakeClock& clock() { return clock_; }
    ScriptedRandom& random() { return random_; }
    platform::Workers& workers() { return workers_; }
    const TempFolder& folder() const { return folder_; }
    HttpTestServer& server() { return server_; }

private:
    net::Endpoints Endpoints() const {
        net::Endpoints endpoints = net::Endpoints::Defaults();
        endpoints.Override("update=" + server_.Url("/launcher/") + "\nupdate_probe=" + server_.Url("/") +
                           "\nslogans=" + server_.Url("/slogans/Titlelist.ini"));
        return endpoints;
    }

    TempFolder folder_;
    HttpTestServer server_;
    shell::LauncherState state_;
    toolkit::MemoryApplication app_;
    FakeClock clock_;
    ScriptedRandom random_;
    std::shared_ptr<toolkit::MemorySurface> window_;
    mutable std::mutex steps_mutex_;
    std::vector<Step> steps_;
    // Joined first, before anything the workers use goes away.
    platform::Workers workers_;
    shell::LauncherContext ctx_;
};

// An HTTP peer that accepts connections and never answers.
class SilentServer {
public:
    SilentServer() : server_([](int fd, const std::atomic<bool>& stopping) { StaySilent(fd, stopping); }) {}
    std::string Url(const std::string& path = "") const { return "http://" + server_.address() + path; }
    int connections() const { return server_.connections(); }

private:
    LoopbackServer server_;
};

// A peer that closes every connection at once, as a dead server does.
class ClosingServer {
public:
    ClosingServer() : server_([](int, const std::atomic<bool>&) {}) {}
    std::string Url(const std::string& path = "") const { return "http://" + server_.address() + path; }

private:
    LoopbackServer server_;
};

}  // namespace kestrel::testing
