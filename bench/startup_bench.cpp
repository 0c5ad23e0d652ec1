// startup_bench: kestrel against a bare Qt window program
// (startup_bench_bare), both started on a virtual X server of the
// benchmark's own (Xvfb), measured the same way:
//
// - the time from process start to the first paint of the program's main
//   window: the clock starts right before posix_spawn and stops at the first
//   DAMAGE event (the X Damage extension) on the first top-level window the
//   program maps, that is when the program's first frame has reached the
//   window (the map itself comes earlier, before anything is drawn), and
//   the CPU time the program's threads had used by then, which a busy
//   machine changes far less than the time itself;
// - the memory after start-up, read a fixed 2.5 s after that first paint:
//   the private memory (Private_Clean + Private_Dirty of
//   /proc/<pid>/smaps_rollup: the pages no other process maps, the memory
//   that is the program's own; its clean part, pages of library and font
//   files, counts as private only while no other process maps the same
//   pages, so the dirty part is printed too) and the proportional set size (Pss: shared
//   pages divided among the processes that map them), beside VmRSS (and the
//   peak, VmHWM) of /proc/<pid>/status, whose file-backed pages of the
//   shared libraries every Qt program maps say little about one. kestrel's
//   start-up overlay has faded by then (its fade ends about 2 s after the
//   start when the network answers at once, as here).
//
// kestrel runs from a copy in a temporary program folder, with its service
// addresses on 127.0.0.1 (a closed port), so nothing leaves the machine.
//
// Google Benchmark first times 20 starts of each (the time to the first
// paint); then both programs are started in turn (a busy machine slows both
// alike), 30 times each by default, and the medians and ranges of the time
// and the memory are printed with the ratios kestrel / bare.
//
// Flags besides Google Benchmark's: --pairs=N (the alternating runs, default
// 30), --settle_ms=N (the wait after the first paint before the memory is
// read, default 2500), --kestrel=PATH (another kestrel executable to measure
// in place of the one built beside the benchmark, an older build say).

#include <X11/Xlib.h>
#include <X11/extensions/Xdamage.h>
#include <benchmark/benchmark.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "support/XvfbServer.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

struct Target {
    std::string exe;
    std::vector<std::string> env;
};

// One start of a program.
struct Sample {
    double map_ms = -1;    // process start to the map of its first window
    double paint_ms = -1;  // process start to the first paint of that window
    double cpu_ms = -1;    // CPU time of all its threads until that paint
    long rss_kb = -1;      // VmRSS after start-up
    long hwm_kb = -1;      // VmHWM after start-up
    long private_kb = -1;  // Private_Clean + Private_Dirty after start-up
    long dirty_kb = -1;    // Private_Dirty alone
    long pss_kb = -1;      // Pss after start-up
};

int damage_event_base = 0;

// Windows of a killed program vanish with their damage objects; requests
// that race with that, and damage asked for on input-only windows, fail
// harmlessly.
int IgnoreXErrors(Display*, XErrorEvent*) { return 0; }

// VmRSS and VmHWM, the private memory and the PSS of a running process,
// in kB.
void ReadMemory(pid_t pid, Sample& sample) {
    const std::string proc = "/proc/" + std::to_string(pid);
    std::ifstream status(proc + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) sample.rss_kb = std::atol(line.c_str() + 6);
        if (line.rfind("VmHWM:", 0) == 0) sample.hwm_kb = std::atol(line.c_str() + 6);
    }
    std::ifstream rollup(proc + "/smaps_rollup");
    long private_clean = -1, private_dirty = -1;
    while (std::getline(rollup, line)) {
        if (line.rfind("Pss:", 0) == 0) sample.pss_kb = std::atol(line.c_str() + 4);
        if (line.rfind("Private_Clean:", 0) == 0) private_clean = std::atol(line.c_str() + 14);
        if (line.rfind("Private_Dirty:", 0) == 0) private_dirty = std::atol(line.c_str() + 14);
    }
    if (private_clean >= 0 && private_dirty >= 0) sample.private_kb = private_clean + private_dirty;
    sample.dirty_kb = private_dirty;
}

// The CPU time that all threads of a running process have used so far, in
// milliseconds (the first field of each thread's schedstat, in ns). Unlike
// the time to the first paint it hardly grows when other work keeps the
// machine busy.
double CpuMs(pid_t pid) {
    const fs::path tasks = "/proc/" + std::to_string(pid) + "/task";
    std::error_code error;
    double ns = 0;
    for (const auto& task : fs::directory_iterator(tasks, error)) {
        std::ifstream stat(task.path() / "schedstat");
        double on_cpu = 0;
        if (stat >> on_cpu) ns += on_cpu;
    }
    return ns / 1e6;
}

// Spawns the program, waits for the first paint of its first mapped
// window, and, when settle_ms >= 0, reads its memory settle_ms later. A
// field stays negative when its moment never came (30 s at most).
Sample StartOnce(Display* display, const Target& target, int settle_ms) {
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
    const auto start = Clock::now();
    pid_t pid = -1;
    Sample sample;
    if (::posix_spawn(&pid, target.exe.c_str(), &actions, nullptr, argv.data(), envp.data()) != 0) {
        posix_spawn_file_actions_destroy(&actions);
        return sample;
    }
    posix_spawn_file_actions_destroy(&actions);
    const auto since_start = [&start] {
        return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    };

    // Damage is asked for on every new top-level window as soon as it is
    // created, before it can be mapped and drawn; the first paint counted
    // is the first damage on the first window mapped.
    std::set<Window> created;
    Window mapped = 0;
    std::map<Window, bool> damaged;
    while (sample.paint_ms < 0 && Clock::now() - start < std::chrono::seconds(30)) {
        while (XPending(display) > 0 && sample.paint_ms < 0) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == CreateNotify) {
                created.insert(event.xcreatewindow.window);
                XDamageCreate(display, event.xcreatewindow.window, XDamageReportNonEmpty);
                XFlush(display);
            } else if (event.type == MapNotify && !mapped && created.count(event.xmap.window)) {
                mapped = event.xmap.window;
                sample.map_ms = since_start();
                if (damaged[mapped]) {
                    sample.paint_ms = sample.map_ms;
                    sample.cpu_ms = CpuMs(pid);
                }
            } else if (event.type == damage_event_base + XDamageNotify) {
                const auto& notify = reinterpret_cast<const XDamageNotifyEvent&>(event);
                if (mapped && notify.drawable == mapped) {
                    sample.paint_ms = since_start();
                    sample.cpu_ms = CpuMs(pid);
                } else {
                    damaged[notify.drawable] = true;
                }
            }
        }
        if (sample.paint_ms >= 0) break;
        pollfd entry{ConnectionNumber(display), POLLIN, 0};
        ::poll(&entry, 1, 5);
    }
    if (sample.paint_ms >= 0 && settle_ms >= 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(settle_ms));
        ReadMemory(pid, sample);
    }
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    return sample;
}

void BM_TimeToFirstPaint(benchmark::State& state, Display* display, const Target* target) {
    for (auto _ : state) {
        const Sample sample = StartOnce(display, *target, -1);
        if (sample.paint_ms < 0) {
            state.SkipWithError("the window was not painted");
            return;
        }
        state.SetIterationTime(sample.paint_ms / 1000);
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
            std::printf("\nprocess start to first paint, means: kestrel %.1f ms, bare Qt window %.1f ms, ratio %.2f\n",
                        kestrel, bare, kestrel / bare);
        }
    }

private:
    std::map<std::string, double> times_;  // milliseconds
};

struct Spread {
    double median, low, high;
};

Spread SpreadOf(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    const double median = n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
    return {median, values.front(), values.back()};
}

void PrintLine(const char* what, const char* unit, const std::vector<double>& ours,
               const std::vector<double>& theirs) {
    const Spread a = SpreadOf(ours), b = SpreadOf(theirs);
    std::printf("  %-22s kestrel %6.1f %s (%.1f-%.1f), bare Qt window %6.1f %s (%.1f-%.1f), ratio %.2f\n", what,
                a.median, unit, a.low, a.high, b.median, unit, b.low, b.high, a.median / b.median);
}

// The two programs started in turn, so that a machine busy with other work
// slows both alike; the medians, the ranges and the ratios.
void PrintAlternatingRuns(Display* display, const Target& kestrel, const Target& bare, int pairs,
                          int settle_ms) {
    std::vector<double> map[2], paint[2], cpu[2], rss[2], hwm[2], own[2], dirty[2], pss[2];
    for (int i = 0; i < pairs; ++i) {
        const Sample samples[2] = {StartOnce(display, kestrel, settle_ms), StartOnce(display, bare, settle_ms)};
        for (int k = 0; k < 2; ++k) {
            const Sample& s = samples[k];
            if (s.paint_ms < 0 || s.rss_kb < 0 || s.private_kb < 0 || s.pss_kb < 0) {
                std::printf("alternating runs: %s was not painted or had no memory figure\n",
                            k == 0 ? "kestrel" : "the bare Qt window");
                return;
            }
            map[k].push_back(s.map_ms);
            paint[k].push_back(s.paint_ms);
            cpu[k].push_back(s.cpu_ms);
            rss[k].push_back(s.rss_kb / 1024.0);
            hwm[k].push_back(s.hwm_kb / 1024.0);
            own[k].push_back(s.private_kb / 1024.0);
            dirty[k].push_back(s.dirty_kb / 1024.0);
            pss[k].push_back(s.pss_kb / 1024.0);
        }
    }
    std::printf("\nalternating runs, %d of each: median (min-max)\n", pairs);
    PrintLine("start to window mapped", "ms", map[0], map[1]);
    PrintLine("start to first paint", "ms", paint[0], paint[1]);
    PrintLine("CPU until first paint", "ms", cpu[0], cpu[1]);
    char what[64];
    std::snprintf(what, sizeof what, "private %.1f s after", settle_ms / 1000.0);
    PrintLine(what, "MB", own[0], own[1]);
    PrintLine("of it dirty", "MB", dirty[0], dirty[1]);
    PrintLine("PSS then", "MB", pss[0], pss[1]);
    PrintLine("VmRSS then", "MB", rss[0], rss[1]);
    PrintLine("VmHWM (peak) then", "MB", hwm[0], hwm[1]);
}

// Takes --NAME=VALUE out of argv; the last one counts.
std::string TakeFlag(int& argc, char** argv, const char* name, const std::string& fallback) {
    const std::string prefix = std::string("--") + name + "=";
    std::string value = fallback;
    int out = 1;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], prefix.c_str(), prefix.size()) == 0) {
            value = argv[i] + prefix.size();
        } else {
            argv[out++] = argv[i];
        }
    }
    argc = out;
    return value;
}

}  // namespace

int main(int argc, char** argv) {
    const int pairs = std::atoi(TakeFlag(argc, argv, "pairs", "30").c_str());
    const int settle_ms = std::atoi(TakeFlag(argc, argv, "settle_ms", "2500").c_str());
    const std::string kestrel_exe = TakeFlag(argc, argv, "kestrel", KESTREL_EXE);
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
    int damage_error_base = 0;
    if (!XDamageQueryExtension(display, &damage_event_base, &damage_error_base)) {
        std::fprintf(stderr, "startup_bench: the X server has no DAMAGE extension\n");
        return 1;
    }
    XSetErrorHandler(IgnoreXErrors);
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);

    // kestrel in a program folder of its own, away from the build tree.
    const fs::path folder = fs::temp_directory_path() / ("kestrel-startup-bench-" + std::to_string(::getpid()));
    fs::create_directories(folder / "program");
    fs::copy_file(kestrel_exe, folder / "program" / "kestrel", fs::copy_options::overwrite_existing);
    // With its transfer module, as in a program folder a player unpacks
    // (an older build may have none).
    std::error_code no_module;
    fs::copy_file(fs::path(kestrel_exe).parent_path() / "libkestrel_curl.so", folder / "program" / "libkestrel_curl.so",
                  fs::copy_options::overwrite_existing, no_module);
    // Pages of a file just written stay dirty until the system writes them
    // out, and would count as the program's dirty memory in the first runs.
    ::sync();
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

    benchmark::RegisterBenchmark("BM_BareQtWindow", BM_TimeToFirstPaint, display, &bare)
        ->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
    benchmark::RegisterBenchmark("BM_Kestrel", BM_TimeToFirstPaint, display, &kestrel)
        ->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatio();
    if (pairs > 0) PrintAlternatingRuns(display, kestrel, bare, pairs, settle_ms);
    benchmark::Shutdown();
    XCloseDisplay(display);
    std::error_code error;
    fs::remove_all(folder, error);
    return 0;
}
