#include "shell/SettingsWindow.h"

#include <array>
#include <utility>

#include "java/PickedJava.h"
#include "java/MemoryAdvisor.h"
#include "net/HttpSession.h"
#include "shell/OptionRefusal.h"
#include "shell/SettingsSession.h"
#include "toolkit/Assets.h"
#include "toolkit/Windows.h"

namespace kestrel::shell {

namespace {

using toolkit::Event;
using toolkit::EventArgs;

struct Page {
    const char* button;
    const char* panel;
};

// The four page buttons that have a page; "服务器", "游戏内" and "实验室"
// have none and do nothing.
constexpr std::array<Page, 4> kPages = {{
    {"设置_账户", toolkit::kSettingsAccountPage},
    {"设置_通用", toolkit::kSettingsGeneralPage},
    {"设置_个性化", toolkit::kSettingsPersonalPage},
    {"设置_关于", toolkit::kSettingsAboutPage},
}};

void ShowPage(toolkit::Surface& s, const Page& chosen) {
    for (const Page& page : kPages) {
        const bool current = page.button == chosen.button;
        s.SetEnabled(page.button, !current);
        if (current) {
            s.Show(page.panel);
        } else {
            s.Hide(page.panel);
        }
    }
    if (chosen.panel == std::string(toolkit::kSettingsGeneralPage)) s.Move(chosen.panel, 110, 16);
}

void FillPersonalPage(SettingsSession& session) {
    const SettingsRecord record = session.Settings();
    toolkit::Surface& s = session.surface;
    s.SetChecked("设置_个性化_音乐_启用", record.music_player);
    s.SetText("设置_个性化_游戏标题_框", record.game_window_title);
    s.SetText("设置_个性化_游戏水印_框", record.game_window_watermark);
}

void FillAboutPage(SettingsSession& session, std::stop_token stop) {
    toolkit::Surface& s = session.surface;
    s.SetText("设置_关于_版本", "版本:" + session.ctx.state.constants.Get().launcher_version);
    net::HttpOptions options;
    options.cancel = stop;
    const net::HttpSession http(options);
    const std::string bytes = http.Download(session.ctx.endpoints.Url("thanks"));
    if (stop.stop_requested() || bytes.empty()) return;  // a failed download leaves the box empty
    s.SetText(toolkit::kSettingsThanksBox, net::ResponseText(bytes));
}

void WirePersonalPage(const std::shared_ptr<SettingsSession>& session) {
    toolkit::Surface& s = session->surface;
    SettingsSession* self = session.get();
    s.On("设置_个性化_音乐_启用", Event::Click, [session](const EventArgs&) {
        // The flag decides, not the switch: a backend may or may not have
        // toggled the switch before the click arrives.
        bool on = false;
        session->Change([&](SettingsRecord& r) {
            r.music_player = !r.music_player;
            on = r.music_player;
        });
        session->surface.SetChecked("设置_个性化_音乐_启用", on);
    });
    // A quote or a line end cannot be kept in the options file (nor passed
    // to the game as typed): the box does not take it and says why.
    const auto take_text = [](SettingsSession& session, const char* box, const char* what,
                              std::string SettingsRecord::*member, const std::string& text) {
        const settings::OptionProblem problem = settings::CheckText(text);
        if (problem != settings::OptionProblem::kNone) {
            session.surface.SetText(box, session.Settings().*member);
            RefuseOption(session.ctx.app, OptionRefusalText(what, problem));
            return;
        }
        session.Change([&](SettingsRecord& r) { r.*member = text; });
    };
    s.On("设置_个性化_游戏标题_框", Event::ContentChanged, [session, take_text](const EventArgs& a) {
        take_text(*session, "设置_个性化_游戏标题_框", "游戏标题", &SettingsRecord::game_window_title, a.text);
    });
    s.On("设置_个性化_游戏水印_框", Event::ContentChanged, [session, take_text](const EventArgs& a) {
        take_text(*session, "设置_个性化_游戏水印_框", "游戏水印", &SettingsRecord::game_window_watermark, a.text);
    });
    const auto open_folder = [self](const char* folder) {
        const platform::HostProfile& host = self->ctx.host;
        self->ctx.app.OpenInShell(host.Join(self->ctx.paths.data_folder, folder));
    };
    s.On("设置_个性化_音乐_打开目录", Event::Click, [session, open_folder](const EventArgs&) { open_folder("Music"); });
    s.On("设置_个性化_背景_打开目录", Event::Click, [session, open_folder](const EventArgs&) { open_folder("Backgrounds"); });
}

// The advanced switch cannot be turned on: it springs back after half a
// second and a teasing line shows for three seconds.
void WireAdvancedSwitch(const std::shared_ptr<SettingsSession>& session,
                        const std::weak_ptr<toolkit::Surface>& window) {
    session->surface.On("设置_通用_高级启动选项_启用", Event::Click, [session, window](const EventArgs&) {
        session->ctx.state.settings.Update([](SettingsRecord& r) { r.advanced = 0; });
        std::shared_ptr<toolkit::Surface> surface = window.lock();
        if (!surface) return;
        platform::Clock& clock = session->ctx.clock;
        session->ctx.workers.Start([surface, &clock](std::stop_token stop) {
            if (!clock.Sleep(500, stop)) return;
            surface->SetChecked("设置_通用_高级启动选项_启用", false);
            surface->Show("临时标题");
            clock.Sleep(3000, stop);
            surface->Hide("临时标题");
        });
    });
}

void WireWindow(const std::shared_ptr<SettingsSession>& session, const std::weak_ptr<toolkit::Surface>& window) {
    toolkit::Surface& s = session->surface;
    for (const Page& page : kPages) {
        s.On(page.button, Event::Click, [session, page](const EventArgs&) { ShowPage(session->surface, page); });
    }
    s.On("设置_返回", Event::Click, [session](const EventArgs&) { session->surface.CloseWindow(); });
    s.On(toolkit::kSettingsWindow, Event::WindowClosed,
         [session](const EventArgs&) { session->ctx.state.settings_window_open = false; });

    // The opening sequence.
    s.On(toolkit::kSettingsWindow, Event::WindowCreated, [session, window](const EventArgs&) {
        toolkit::Surface& surface = session->surface;
        surface.SetText("设置_版本_标题", "启动器版本:" + session->ctx.state.constants.Get().launcher_version);
        ShowPage(surface, kPages[0]);
        // The figures are read here, before any fill runs, so that a handler
        // fired while the general page is still filling never sees zero
        // memory (which would clamp and save the memory setting as 0).
        const platform::MemoryInfo memory = session->sources.memory_figures ? session->sources.memory_figures()
                                                                            : platform::MemoryInfo{};
        session->total_mb = java::MemoryStatusFigureMb(0, memory);
        session->available_mb = java::MemoryStatusFigureMb(1, memory);

        std::shared_ptr<toolkit::Surface> keep = window.lock();
        platform::Workers& workers = session->ctx.workers;
        workers.Start([session, keep](std::stop_token stop) { FillAccountPage(*session, stop); });
        workers.Start([session, keep](std::stop_token stop) { FillGeneralPage(*session, stop); });
        workers.Start([session, keep](std::stop_token) { FillPersonalPage(*session); });
        workers.Start([session, keep](std::stop_token stop) { FillAboutPage(*session, stop); });
    });
}

}  // namespace

SettingsSources SettingsSources::ForHost(const platform::HostProfile& host) {
    SettingsSources sources;
    sources.discover_java = [host] { return java::DiscoverJava(host); };
    sources.describe_java = [host](const std::string& executable) { return java::DescribeJava(executable, host); };
    sources.check_java = [host](const std::string& executable, std::stop_token stop) {
        return java::JavaProbeProblem(executable, host, std::move(stop));
    };
    sources.memory_figures = [] { return platform::MemoryFigures(); };
    return sources;
}

void OpenSettingsWindow(LauncherContext& ctx) {
    SettingsSources sources = SettingsSources::ForHost(ctx.host);
    // The launcher's own runtimes are in the game folder chosen at the time.
    sources.discover_java = [&ctx] { return java::DiscoverJava(ctx.host, ctx.state.settings.Get().current_game_dir); };
    OpenSettingsWindow(ctx, sources);
}

std::shared_ptr<toolkit::Surface> OpenSettingsWindow(LauncherContext& ctx, const SettingsSources& sources) {
    if (ctx.state.settings_window_open) {
        if (std::shared_ptr<toolkit::Surface> open = ctx.state.settings_window.Get()) {
            open->ShowWindow();
            return open;
        }
    }
    std::shared_ptr<toolkit::Surface> surface =
        ctx.app.CreateSurface(toolkit::SettingsWindowDef(), ctx.main_window.get());
    auto session = std::make_shared<SettingsSession>(ctx, sources, *surface);
    const std::weak_ptr<toolkit::Surface> window = surface;

    surface->SetPicture("设置_背景", std::string(toolkit::Asset("background.jpg")));
    surface->SetPicture("设置_关于_图标", std::string(toolkit::Asset("icon.png")));
    WireWindow(session, window);
    WireAccountPage(session);
    WireGeneralPage(session);
    WirePersonalPage(session);
    WireAdvancedSwitch(session, window);

    // The previous window (closed by now) goes when this one takes its place.
    ctx.state.settings_window.Set(surface);
    ctx.state.settings_window_open = true;
    surface->ShowWindow();
    return surface;
}

}  // namespace kestrel::shell
