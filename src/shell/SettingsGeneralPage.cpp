// The general page of the settings window: Java, memory, and the launch
// options.

#include <algorithm>
#include <array>
#include <string_view>

#include "java/MemoryAdvisor.h"
#include "settings/OptionChecks.h"
#include "shell/OptionRefusal.h"
#include "shell/SettingsJavaItems.h"
#include "shell/SettingsSession.h"
#include "toolkit/Windows.h"

namespace kestrel::shell {

namespace {

using toolkit::Event;
using toolkit::EventArgs;

constexpr const char* kSlider = "设置_通用_内存_滑块";
constexpr const char* kMemoryBox = "设置_通用_内存_输入框";
constexpr const char* kUsageBar = "设置_通用_内存_占用条";
constexpr const char* kIsolationBox = "设置_通用_版本隔离_选择框";
constexpr const char* kAfterLaunchBox = "设置_通用_启动器行为_选择框";
constexpr const char* kWindowSizeBox = "设置_通用_游戏窗口大小_选择框";
constexpr const char* kWidthBox = "设置_通用_游戏窗口大小_宽度";
constexpr const char* kSizeSeparator = "设置_通用_游戏窗口大小_分隔";
constexpr const char* kHeightBox = "设置_通用_游戏窗口大小_高度";
constexpr const char* kGameFolderBox = "设置_通用_游戏目录_框";
constexpr const char* kSourceBox = "设置_通用_下载源_选择框";
constexpr const char* kJobsBox = "设置_通用_同时下载_选择框";
constexpr const char* kCheckSwitch = "设置_通用_启动前检查_启用";

constexpr std::array<std::string_view, 2> kSourceItems = {"官方", "BMCLAPI"};

constexpr int kNarrowSizeBox = 72;
constexpr int kWideSizeBox = 196;

constexpr std::array<std::string_view, 5> kAfterLaunchItems = {
    "启动游戏后结束运行", "启动游戏后最小化", "游戏结束后可见(暂时隐藏)", "游戏结束后重新启动", "不进行任何操作",
};

int ToInt(std::int64_t value) {
    return static_cast<int>(std::clamp<std::int64_t>(value, INT32_MIN, INT32_MAX));
}

std::int32_t RecommendedHeap(const SettingsSession& session) {
    const platform::MemoryInfo memory =
        session.sources.memory_figures ? session.sources.memory_figures() : platform::MemoryInfo{};
    return static_cast<std::int32_t>(java::AdviseHeap("64", memory).heap_mb);
}

// The slider position the memory box or the recommendation asks for: the
// memory in tens of MB, within the slider's range (0 .. available / 10).
int SliderPosition(const SettingsSession& session, std::int64_t memory) {
    return ToInt(std::clamp<std::int64_t>(memory / 10, 0, std::max<std::int64_t>(session.available_mb / 10, 0)));
}

// Memory display update from the slider position p: memory := 10 p, the
// three labels, the usage bar and the box; save.
void UpdateMemoryDisplay(SettingsSession& session, int position) {
    toolkit::Surface& s = session.surface;
    const std::int64_t memory = std::int64_t{position} * 10;
    const std::int64_t used = session.total_mb - session.available_mb;
    s.SetText("设置_通用_内存_已使用", "已使用:" + std::to_string(used) + "MB");
    s.SetText("设置_通用_内存_内存占用", "内存占用:" + std::to_string(memory) + "MB");
    s.SetText("设置_通用_内存_总使用", "总使用:" + std::to_string(memory + used) + "MB");
    s.SetSecondValue(kUsageBar, ToInt((used + memory) / 10));
    s.SetValue(kUsageBar, ToInt(used / 10));
    s.SetText(kMemoryBox, std::to_string(memory));
    session.Change([&](SettingsRecord& r) { r.memory = ToInt(memory); });
}

// Rebuilds the Java box from discovery, in discovery order; returns what was
// found. From the "检测" button a failed discovery is reported, and an empty
// box shows the stored Java (or, with none stored, the last Java found,
// which then becomes the stored one, so the box never names a Java that the
// launch would not use).
std::vector<java::JavaCandidate> RebuildJavaBox(SettingsSession& session, bool from_button) {
    toolkit::Surface& s = session.surface;
    s.ClearItems(toolkit::kSettingsJavaBox);
    std::vector<java::JavaCandidate> found =
        session.sources.discover_java ? session.sources.discover_java() : std::vector<java::JavaCandidate>{};
    for (const java::JavaCandidate& java : found) {
        s.AddItem(toolkit::kSettingsJavaBox, JavaItemText(java.version_label, java.path));
    }
    if (!from_button) return found;
    if (found.empty()) {
        session.ctx.app.ShowMessageBox(java::kJavaNotFoundInSettings, java::kJavaNotFoundCaption,
                                       toolkit::MessageIcon::Warning);
        return found;
    }
    if (!s.Text(toolkit::kSettingsJavaBox).empty()) return found;
    const SettingsRecord record = session.Settings();
    if (!record.java_path.empty()) {
        s.SetText(toolkit::kSettingsJavaBox, StoredJavaText(record.java_label, record.java_path));
        return found;
    }
    const java::JavaCandidate& last = found.back();
    s.SetText(toolkit::kSettingsJavaBox, JavaItemText(last.version_label, last.path));
    session.Change([&](SettingsRecord& r) {
        r.java_path = last.path;
        r.java_label = last.version_label;
    });
    return found;
}

// Also runs on the general page's fill worker, so it takes the box's height
// from the table instead of reading the window (a worker's read waits for the
// user-interface thread).
void ShowSizeBoxes(toolkit::Surface& s, bool custom) {
    const toolkit::ControlDef* box = s.Definition().Find(kWindowSizeBox);
    s.Resize(kWindowSizeBox, custom ? kNarrowSizeBox : kWideSizeBox, box ? box->height : 24);
    for (const char* name : {kWidthBox, kSizeSeparator, kHeightBox}) {
        if (custom) {
            s.Show(name);
        } else {
            s.Hide(name);
        }
    }
}

// The window-size rules: the mode by the item's text, the stored size, the
// box's width and the width and height boxes.
void ChooseWindowSize(SettingsSession& session, const std::string& item) {
    toolkit::Surface& s = session.surface;
    std::int32_t mode = 0;
    toolkit::Size size;
    if (item == "默认") {
        mode = kWindowDefault;
        size = {kDefaultWindowWidth, kDefaultWindowHeight};
    } else if (item == "自定义") {
        mode = kWindowCustom;
    } else if (item == "最大化" || item == "全屏") {
        mode = item == "全屏" ? kWindowFullScreen : kWindowMaximised;
        size = session.ctx.app.PrimaryScreenSize();
    } else if (item == "与启动器相同") {
        mode = kWindowAsLauncher;
        size = {790, 486};
    } else {
        return;
    }
    ShowSizeBoxes(s, mode == kWindowCustom);
    if (mode != kWindowCustom) {
        s.SetText(kWidthBox, std::to_string(size.width));
        s.SetText(kHeightBox, std::to_string(size.height));
    }
    session.Change([&](SettingsRecord& r) {
        r.game_window = mode;
        if (mode == kWindowCustom) return;
        r.game_window_width = size.width;
        r.game_window_height = size.height;
    });
}

// A width or height typed into its box: a whole number from 1 to 16384 is
// taken at once; anything else is refused with a message, and the box shows
// the size that stays. An emptied box (the player is typing a new number)
// is left alone and saves nothing.
void TakeWindowSize(SettingsSession& session, const char* box, const char* what, std::int32_t SettingsRecord::*member,
                    const std::string& text) {
    if (text.empty()) return;
    if (const settings::OptionProblem problem = settings::CheckNumber(text, settings::kWindowSizeRange);
        problem != settings::OptionProblem::kNone) {
        session.surface.SetText(box, std::to_string(session.Settings().*member));
        RefuseOption(session.ctx.app, OptionRefusalText(what, problem, settings::kWindowSizeRange));
        return;
    }
    const auto size = static_cast<std::int32_t>(settings::TypedNumber(text).value_or(0));
    session.Change([&](SettingsRecord& r) { r.*member = size; });
}

void WireJava(const std::shared_ptr<SettingsSession>& session) {
    toolkit::Surface& s = session->surface;
    s.On(toolkit::kSettingsJavaBox, Event::ItemSelected, [session](const EventArgs& a) {
        const std::optional<JavaItem> item = ParseJavaItem(a.text, session->ctx.host);
        if (!item) return;
        session->Change([&](SettingsRecord& r) {
            r.java_path = item->path;
            r.java_label = item->label;
        });
    });
    s.On("设置_通用_Java选项_Java地址_查找", Event::Click, [session](const EventArgs&) {
        const std::string filter = "Java (" + session->ctx.host.java_exe + ")";
        const std::string chosen =
            session->ctx.app.OpenFileDialog("选择Java", session->ctx.paths.program_folder, filter);
        // A cancelled dialog keeps the Java that is set.
        if (chosen.empty()) return;
        if (const settings::OptionProblem problem = settings::CheckText(chosen);
            problem != settings::OptionProblem::kNone) {
            RefuseOption(session->ctx.app, OptionRefusalText("Java的路径", problem));
            return;
        }
        // The file is run with -version before it is taken, which may take
        // seconds: on a worker, which keeps the window alive while it runs.
        std::shared_ptr<toolkit::Surface> keep = session->ctx.state.settings_window.Get();
        if (keep.get() != &session->surface) return;
        const int pick = ++session->java_picks;
        session->ctx.workers.Start([session, keep, chosen, pick](std::stop_token stop) {
            if (session->sources.check_java) {
                const std::string problem = session->sources.check_java(chosen, stop);
                if (stop.stop_requested() || pick != session->java_picks) return;
                if (!problem.empty()) {
                    RefuseOption(session->ctx.app, kNotAJavaText + chosen + "\r\n" + problem);
                    return;
                }
            }
            const std::string label =
                session->sources.describe_java ? session->sources.describe_java(chosen).version_label : std::string();
            if (pick != session->java_picks) return;
            session->surface.SetText(toolkit::kSettingsJavaBox, label + std::string(kJavaItemSeparator) + chosen);
            session->Change([&](SettingsRecord& r) {
                r.java_path = chosen;
                r.java_label = label;
            });
        });
    });
    // Discovery runs Java programs and reads the disk, so it runs on a worker;
    // a click while one runs does nothing.
    s.On("设置_通用_Java选项_Java地址_检测", Event::Click, [session](const EventArgs&) {
        if (session->detecting_java.exchange(true)) return;
        // The window stays alive while its worker uses it; the click came
        // from it, so it is the one the state keeps.
        std::shared_ptr<toolkit::Surface> keep = session->ctx.state.settings_window.Get();
        if (keep.get() != &session->surface) {
            session->detecting_java = false;
            return;
        }
        session->ctx.workers.Start([session, keep](std::stop_token stop) {
            if (!stop.stop_requested()) RebuildJavaBox(*session, true);
            session->detecting_java = false;
        });
    });
}

void WireMemory(const std::shared_ptr<SettingsSession>& session) {
    toolkit::Surface& s = session->surface;
    s.On(kSlider, Event::PositionChanged,
         [session](const EventArgs& a) { UpdateMemoryDisplay(*session, a.value); });
    s.On(kMemoryBox, Event::KeyPressed, [session](const EventArgs& a) {
        if (a.key_code != toolkit::kKeyEnter && a.key_code != toolkit::kKeySeparator) return;
        // What the launch would refuse (512 MB and less), more than the
        // machine has, or no whole number, is refused here.
        const std::string typed = session->surface.Text(kMemoryBox);
        const settings::OptionRange range = settings::MemoryRange(session->total_mb);
        if (const settings::OptionProblem problem = settings::CheckNumber(typed, range);
            problem != settings::OptionProblem::kNone) {
            session->surface.SetText(kMemoryBox, std::to_string(session->Settings().memory));
            RefuseOption(session->ctx.app, OptionRefusalText("内存", problem, range, "MB"));
            return;
        }
        const std::int64_t memory = settings::TypedNumber(typed).value_or(0);
        // The slider keeps tens of MB; 513 to 519 MB would round down to
        // 510 MB, which a launch refuses, so they round up instead.
        constexpr int kLowestPosition = static_cast<int>((settings::kMinMemoryMb + 9) / 10);
        const int position = std::min(std::max(SliderPosition(*session, memory), kLowestPosition),
                                      std::max(SliderPosition(*session, INT32_MAX), kLowestPosition));
        session->surface.SetValue(kSlider, position);
        UpdateMemoryDisplay(*session, position);
    });
    s.On("设置_通用_内存_推荐内存", Event::Click, [session](const EventArgs&) {
        const int position = SliderPosition(*session, RecommendedHeap(*session));
        session->surface.SetValue(kSlider, position);
        session->surface.SetSecondValue(kSlider, position);
        UpdateMemoryDisplay(*session, position);
    });
}

void WireLaunchOptions(const std::shared_ptr<SettingsSession>& session) {
    toolkit::Surface& s = session->surface;
    s.On(kIsolationBox, Event::ItemSelected, [session](const EventArgs& a) {
        if (a.text != "关闭隔离" && a.text != "强制隔离") return;
        session->Change([&](SettingsRecord& r) { r.isolation = a.text == "强制隔离"; });
    });
    s.On(kAfterLaunchBox, Event::ItemSelected, [session](const EventArgs& a) {
        const auto it = std::find(kAfterLaunchItems.begin(), kAfterLaunchItems.end(), a.text);
        if (it == kAfterLaunchItems.end()) return;
        const auto action = static_cast<std::int32_t>(it - kAfterLaunchItems.begin()) + 1;
        session->Change([&](SettingsRecord& r) { r.launcher_waiting = action; });
    });
    s.On(kWindowSizeBox, Event::ItemSelected,
         [session](const EventArgs& a) { ChooseWindowSize(*session, a.text); });
    s.On(kWidthBox, Event::ContentChanged, [session](const EventArgs& a) {
        TakeWindowSize(*session, kWidthBox, "游戏窗口宽度", &SettingsRecord::game_window_width, a.text);
    });
    s.On(kHeightBox, Event::ContentChanged, [session](const EventArgs& a) {
        TakeWindowSize(*session, kHeightBox, "游戏窗口高度", &SettingsRecord::game_window_height, a.text);
    });

    s.On("设置_通用_游戏目录_选择", Event::Click, [session](const EventArgs&) {
        const std::string chosen =
            session->ctx.app.FolderDialog(kGameFolderDialogTitle, session->ctx.paths.program_folder);
        // A cancelled dialog keeps the game folder that is set (an empty
        // folder would silently switch the launch to the default one).
        if (chosen.empty()) return;
        if (const settings::OptionProblem problem = settings::CheckText(chosen);
            problem != settings::OptionProblem::kNone) {
            RefuseOption(session->ctx.app, OptionRefusalText("游戏目录的路径", problem));
            return;
        }
        session->surface.SetText(kGameFolderBox, chosen);
        session->Change([&](SettingsRecord& r) {
            r.game_folder = chosen;
            r.game_folder_auto = false;
            session->options.SetCurrentGameDirectory(r);
        });
    });
    s.On("设置_通用_游戏目录_默认", Event::Click, [session](const EventArgs&) {
        session->Change([&](SettingsRecord& r) {
            r.game_folder_auto = true;
            r.game_folder = session->options.default_game_folder();
            session->options.SetCurrentGameDirectory(r);
        });
        session->surface.SetText(kGameFolderBox, kDefaultGameFolderText);
    });
}

// The download options: the source, the downloads at once (the box's items
// are the choices; the options file may hold any number of the range, which
// the box then shows as its text) and the check before each launch.
void WireDownloadOptions(const std::shared_ptr<SettingsSession>& session) {
    toolkit::Surface& s = session->surface;
    s.On(kSourceBox, Event::ItemSelected, [session](const EventArgs& a) {
        const auto it = std::find(kSourceItems.begin(), kSourceItems.end(), a.text);
        if (it == kSourceItems.end()) return;
        const settings::DownloadSource source =
            it == kSourceItems.begin() ? settings::DownloadSource::kOfficial : settings::DownloadSource::kBmclapi;
        session->Change([&](SettingsRecord& r) { r.download_source = source; });
    });
    s.On(kJobsBox, Event::ItemSelected, [session](const EventArgs& a) {
        if (settings::CheckNumber(a.text, settings::kDownloadJobsRange) != settings::OptionProblem::kNone) return;
        const auto jobs = static_cast<std::int32_t>(settings::TypedNumber(a.text).value_or(settings::kDefaultDownloadJobs));
        session->Change([&](SettingsRecord& r) { r.download_jobs = jobs; });
    });
    s.On(kCheckSwitch, Event::Click, [session](const EventArgs&) {
        // The flag decides, as with the music switch: a backend may or may
        // not have toggled the switch before the click arrives.
        bool on = false;
        session->Change([&](SettingsRecord& r) {
            r.check_files_before_launch = !r.check_files_before_launch;
            on = r.check_files_before_launch;
        });
        session->surface.SetChecked(kCheckSwitch, on);
    });
}

void FillDownloadOptions(toolkit::Surface& s, const SettingsRecord& record) {
    s.SetCurrentIndex(kSourceBox, record.download_source == settings::DownloadSource::kBmclapi ? 1 : 0);
    s.SetText(kJobsBox, std::to_string(record.download_jobs));
    s.SetChecked(kCheckSwitch, record.check_files_before_launch);
}

}  // namespace

void FillGeneralPage(SettingsSession& session, std::stop_token stop) {
    toolkit::Surface& s = session.surface;
    if (session.Settings().memory == 0) {
        const std::int32_t recommended = RecommendedHeap(session);
        session.Change([&](SettingsRecord& r) {
            if (r.memory == 0) r.memory = recommended;
        });
    }
    const SettingsRecord record = session.Settings();

    s.SetCurrentIndex(kAfterLaunchBox, record.launcher_waiting - 1);
    s.SetCurrentIndex(kWindowSizeBox, record.game_window - 1);
    s.SetCurrentIndex(kIsolationBox, record.isolation ? 1 : 0);
    ShowSizeBoxes(s, record.game_window == kWindowCustom);
    s.SetText(kWidthBox, std::to_string(record.game_window_width));
    s.SetText(kHeightBox, std::to_string(record.game_window_height));
    s.SetText(kGameFolderBox, record.game_folder);
    // The box is filled by "选择" and "默认" only; typing into it would store nothing.
    s.SetEnabled(kGameFolderBox, false);
    FillDownloadOptions(s, record);

    const std::int64_t total = session.total_mb;
    const std::int64_t available = session.available_mb;
    s.SetText("设置_通用_内存_总内存", std::to_string(total) + "MB");
    s.SetRange(kSlider, 0, ToInt(available / 10));
    const int position = SliderPosition(session, record.memory);
    s.SetValue(kSlider, position);
    s.SetRange(kUsageBar, 0, ToInt(total / 10));
    s.SetValue(kUsageBar, ToInt((total - available) / 10));
    s.SetSecondValue(kUsageBar, ToInt((total - available + record.memory) / 10));
    UpdateMemoryDisplay(session, position);
    FillJavaChoiceSwitch(session);
    if (stop.stop_requested()) return;

    const std::vector<java::JavaCandidate> found = RebuildJavaBox(session, false);
    if (found.empty()) {
        session.ctx.app.ShowMessageBox(kNoJavaAtOpenText, kNoJavaAtOpenCaption, toolkit::MessageIcon::Error);
        return;
    }
    const SettingsRecord now = session.Settings();
    if (!now.java_path.empty()) {
        s.SetText(toolkit::kSettingsJavaBox, StoredJavaText(now.java_label, now.java_path));
        return;
    }
    const java::JavaCandidate& first = found.front();
    s.SetText(toolkit::kSettingsJavaBox, JavaItemText(first.version_label, first.path));
    session.Change([&](SettingsRecord& r) {
        r.java_path = first.path;
        r.java_label = first.version_label;
    });
}

void WireGeneralPage(const std::shared_ptr<SettingsSession>& session) {
    WireJava(session);
    WireJavaChoiceSwitch(session);
    WireMemory(session);
    WireLaunchOptions(session);
    WireDownloadOptions(session);
}

}  // namespace kestrel::shell
