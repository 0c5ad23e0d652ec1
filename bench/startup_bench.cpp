// startup_bench: the time from process start to the main window shown, for
// kestrel against a bare Qt window program (startup_bench_bare), on a
// virtual X server of its own (Xvfb). "Shown" is the X server's MapNotify of
// the program's first top-level window, seen through the root window; the
// clock starts right before posix_spawn. kestrel runs from a copy in a
// temporary program folder, with its service addresses on 127.0.0.1 (a
// closed port), so nothing leaves the machine.
//
// At the end it prints the mean of each and the ratio kestrel / bare, then
// the medians of 30 runs of each started in turn, and their ratio.

#include <X11/Xlib.h>
#include <benchmark/benchmark.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "support/XvfbServer.h"

namespace {

namespace fs = std::filesystem;

struct Target {
    std::string exe;
    std::vector<std::string> env;
};

// Spawns the program and waits for its first window to be mapped; returns
// the seconds that took, or a negative number when it never came.
double TimeToWindow(Display* display, const Target& target) {
    std::vector<std::string> args = {target.exe};
    std::vector<char*> argv, envp;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    std::vector<std::string> env = target.env;
    for (auto& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);

    XSync(display, True);  // drop the events of earlier runs
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = -1;
    if (::posix_spawn(&pid, target.exe.c_str(), &actions, nullptr, argv.data(), envp.data()) != 0) {
        posix_spawn_file_actions_destroy(&actions);
        return -1;
    }
    posix_spawn_file_actions_destroy(&actions);

    double seconds = -1;
    while (seconds < 0 && std::chrono::steady_clock::now() - start < std::chrono::seconds(30)) {
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == MapNotify) {
                seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
                break;
            }
        }
        if (seconds >= 0) break;
        pollfd entry{ConnectionNumber(display), POLLIN, 0};
        ::poll(&entry, 1, 5);
    }
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    return seconds;
}

void BM_TimeToWindow(benchmark::State& state, Display* display, const Target* target) {
    for (auto _ : state) {
        const double seconds = TimeToWindow(display, *target);
        if (seconds < 0) {
            state.SkipWithError("the window did not appear");
            return;
        }
        state.SetIterationTime(seconds);
    }
}

class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration) times_[run.benchmark_name()] = run.GetAdjustedRealTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
    void PrintRatio() const {
        double kestrel = 0, bare = 0;
        for (const auto& [name, ms] : times_) {
            if (name.rfind("BM_Kestrel", 0) == 0) kestrel = ms;
            if (name.rfind("BM_BareQtWindow", 0) == 0) bare = ms;
        }
        if (kestrel > 0 && bare > 0) {
            std::printf("\nprocess start to window shown: kestrel %.1f ms, bare Qt window %.1f ms, ratio %.2f\n",
                        kestrel, bare, kestrel / bare);
        }
    }

private:
    std::map<std::string, double> times_;  // milliseconds
};

// The two programs started in turn, 30 times each, so that a machine busy
// with other work slows both alike; the medians and their ratio.
void PrintPairedMedians(Display* display, const Target& kestrel, const Target& bare) {
    std::vector<double> ours, theirs;
    for (int i = 0; i < 30; ++i) {
        const double a = TimeToWindow(display, kestrel);
        const double b = TimeToWindow(display, bare);
        if (a < 0 || b < 0) return;
        ours.push_back(a * 1000);
        theirs.push_back(b * 1000);
    }
    std::sort(ours.begin(), ours.end());
    std::sort(theirs.begin(), theirs.end());
    const double a = (ours[14] + ours[15]) / 2, b = (theirs[14] + theirs[15]) / 2;
    std::printf("alternating runs, medians of 30: kestrel %.1f ms, bare Qt window %.1f ms, ratio %.2f\n", a, b, a / b);
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    kestrel::testing::XvfbServer xvfb;
    if (!xvfb.ok()) {
        std::fprintf(stderr, "startup_bench: %s\n", xvfb.why().c_str());
        return 1;
    }
    Display* display = XOpenDisplay(xvfb.name().c_str());
    if (!display) {
        std::fprintf(stderr, "startup_bench: cannot open %s\n", xvfb.name().c_str());
        return 1;
    }
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);

    // kestrel in a program folder of its own, away from the build tree.
    const fs::path folder = fs::temp_directory_path() / ("kestrel-startup-bench-" + std::to_string(::getpid()));
    fs::create_directories(folder / "program");
    fs::copy_file(KESTREL_EXE, folder / "program" / "kestrel", fs::copy_options::overwrite_existing);
    std::ofstream(folder / "endpoints.txt")
        << "update=http://127.0.0.1:9/launcher/\nupdate_probe=http://127.0.0.1:9/\n"
           "slogans=http://127.0.0.1:9/slogans/Titlelist.ini\n";
    const std::vector<std::string> common = {"DISPLAY=" + xvfb.name(), "HOME=" + folder.string(),
                                             "PATH=/usr/bin:/bin", "QT_QPA_PLATFORM=xcb",
                                             "XDG_RUNTIME_DIR=" + folder.string()};
    fs::permissions(folder, fs::perms::owner_all);
    Target kestrel{(folder / "program" / "kestrel").string(), common};
    kestrel.env.push_back("LOCALAPPDATA=" + (folder / "appdata").string());
    kestrel.env.push_back("KESTREL_ENDPOINTS=" + (folder / "endpoints.txt").string());
    if (const char* java = std::getenv("JAVA_HOME")) kestrel.env.push_back(std::string("JAVA_HOME=") + java);
    Target bare{KESTREL_BARE_EXE, common};

    benchmark::RegisterBenchmark("BM_BareQtWindow", BM_TimeToWindow, display, &bare)
        ->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
    benchmark::RegisterBenchmark("BM_Kestrel", BM_TimeToWindow, display, &kestrel)
        ->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatio();
    PrintPairedMedians(display, kestrel, bare);
    benchmark::Shutdown();
    XCloseDisplay(display);
    std::error_code error;
    fs::remove_all(folder, error);
    return 0;
}
