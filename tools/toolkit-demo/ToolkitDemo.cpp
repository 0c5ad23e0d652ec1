// kestrel-toolkit-demo opens the main window from its table with the
// launcher's own artwork and sample texts, in the offline sign-in layout, so
// the skin can be looked at without the rest of the launcher.
//
// Usage: kestrel-toolkit-demo [--overlay] [--settings PAGE] [--grab FILE.png]
//   --overlay   shows the start-up overlay at 40 %
//   --settings  opens the settings window instead, through the launcher's
//               own flow, on PAGE (account, general, personal or about),
//               with an offline player and sample Java runtimes
//   --grab      saves a picture of the window to FILE.png and ends

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/Clock.h"
#include "platform/RandomSource.h"
#include "platform/Workers.h"
#include "shell/LauncherContext.h"
#include "shell/SettingsWindow.h"
#include "toolkit/Windows.h"
#include "toolkit/qt/QtApplication.h"
#include "toolkit/qt/QtSurface.h"
#include "toolkit/qt/QtWindow.h"

namespace {

std::string Asset(const char* name) {
    QFile f(QStringLiteral(KESTREL_ASSETS_DIR "/") + QString::fromLatin1(name));
    if (!f.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "missing asset %s\n", name);
        return {};
    }
    return f.readAll().toStdString();
}

// The settings window as the launcher opens it, on one of its pages.
int RunSettings(QApplication& qapp, kestrel::toolkit::qt::QtApplication& app, const std::string& page,
                const QString& grab) {
    using namespace kestrel;
    QTemporaryDir program;
    platform::SystemClock clock;
    platform::ClockSeededRandom random;
    shell::LauncherState state;
    shell::SettingsRecord record;
    record.memory = 4096;
    record.game_window = shell::kWindowDefault;
    record.game_window_width = 854;
    record.game_window_height = 480;
    record.launcher_waiting = shell::kExitLauncher;
    record.music_player = true;
    record.game_folder = program.path().toStdString() + "/.minecraft";
    record.game_window_title = "Minecraft* 1.18.1";
    state.settings.Set(record);
    state.accounts.SignIn({"Steve", "8667ba71b85a4004af54457a9734eed7", "token", "", ""},
                          accounts::SignInState::kOffline);
    const platform::HostProfile host = platform::HostProfile::Current();
    int rc = 0;
    {
        platform::Workers workers;
        shell::LauncherContext ctx{state, app, clock, random, workers,
                                   shell::LauncherPaths::For(program.path().toStdString(), program.path().toStdString(),
                                                             "kestrel", host),
                                   host, net::Endpoints::Defaults(), nullptr};
        // Nothing listens there: the thanks are filled in below instead.
        ctx.endpoints.Override("thanks=http://127.0.0.1:1/Special_thanks.txt");
        ctx.main_window = app.CreateSurface(toolkit::MainWindowDef());
        shell::SettingsSources sources;
        sources.discover_java = [] {
            return std::vector<java::JavaCandidate>{
                {"17", "/usr/lib/jvm/java-17-openjdk-amd64/bin/java", "64"},
                {"8", "/usr/lib/jvm/java-8-openjdk-amd64/bin/java", "64"},
                {"21", "/usr/lib/jvm/java-21-openjdk-amd64/bin/java", "64"},
            };
        };
        sources.describe_java = [host](const std::string& path) { return java::DescribeJava(path, host); };
        sources.memory_figures = [] {
            platform::MemoryInfo memory;
            memory.total_kb = 16ull * 1024 * 1024;
            memory.available_kb = 9ull * 1024 * 1024;
            return memory;
        };
        auto surface = shell::OpenSettingsWindow(ctx, sources);
        surface->On(toolkit::kSettingsWindow, toolkit::Event::WindowClosed, [&](const auto&) { app.Quit(); });
        auto* qt_surface = static_cast<toolkit::qt::QtSurface*>(surface.get());
        const char* button = page == "general" ? "设置_通用" : page == "personal" ? "设置_个性化"
                             : page == "about" ? "设置_关于" : "设置_账户";
        QTimer::singleShot(300, [&, qt_surface, button] {
            surface->SetText(toolkit::kSettingsThanksBox,
                             "感谢每一位使用 Kestrel 的玩家\r\n感谢 Qt、libcurl、libpng 与 zlib 的作者\r\n"
                             "感谢所有提出建议和报告问题的朋友");
            if (auto* b = qt_surface->window()->findChild<QAbstractButton*>(QString::fromUtf8(button))) b->click();
        });
        if (!grab.isEmpty()) {
            QTimer::singleShot(900, [&, qt_surface] {
                const bool ok = qt_surface->window()->grab().save(grab, "PNG");
                std::printf("%s %s\n", ok ? "saved" : "could not save", grab.toLocal8Bit().constData());
                app.Quit();
            });
        }
        rc = qapp.exec();
        workers.StopAll();
        state.settings_window.Set(nullptr);
    }
    return rc;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication qapp(argc, argv);
    kestrel::toolkit::qt::QtApplication app;
    bool overlay = false;
    QString grab;
    std::string settings_page;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--overlay") == 0) overlay = true;
        else if (std::strcmp(argv[i], "--settings") == 0 && i + 1 < argc) settings_page = argv[++i];
        else if (std::strcmp(argv[i], "--grab") == 0 && i + 1 < argc) grab = QString::fromLocal8Bit(argv[++i]);
    }
    if (!settings_page.empty()) return RunSettings(qapp, app, settings_page, grab);

    auto surface = app.CreateSurface(kestrel::toolkit::MainWindowDef());
    auto& s = *surface;
    using kestrel::toolkit::Event;
    s.On(kestrel::toolkit::kMainWindow, Event::WindowClosed, [&](const auto&) { app.Quit(); });
    s.SetPicture("背景", Asset("background.jpg"));
    s.SetPicture("主标题_MCLOGO", Asset("logo.png"));
    s.SetPicture("服务器状态_图标", Asset("server-icon.png"));
    s.SetPicture("初始化", Asset("overlay.png"));
    s.SetText("副标题", "愿你的每一次冒险都从这里起飞");
    // The offline account layout.
    s.SetText("登录方式", "离线账户");
    s.Move("登录方式_标签标题", 15, 199);
    s.Move("登录方式", 82, 199);
    s.SetText("账号_标签标题", "用户名:");
    s.Move("账号_标签标题", 15, 231);
    s.Move("账号", 82, 231);
    s.SetText("账号", "Steve");
    s.Hide("Mojang登录_提示1");
    s.Hide("Mojang登录_提示2");
    s.Move("登录按钮", 146, 260);
    s.SetText("公告板_标题", "欢迎使用 Kestrel 2");
    s.SetText("公告板_内容",
              "· 离线账户只需输入用户名即可登录。\r\n· 把 jpg 图片放进 KSTfiles\\Backgrounds,"
              "每次启动随机换一张背景。\r\n· 把 mp3 放进 KSTfiles\\Music 即可播放音乐。");
    s.SetText("公告板_发布时间", "发布时间: 2022-01-12");
    s.SetText("服务器状态_标题", "Minecraft服务器 1.18.1");
    s.SetText("服务器状态_详细状态", "在线,Ping: 23ms\r\n在线人数: 12/100");
    s.SetText("版本号显示", "22w02a");
    s.Show("窗口EX1");
    if (overlay) {
        s.Move("初始化", 0, 0);
        s.SetValue("初始化进度", 40);
        s.SetText("初始化进度_文字", "40%");
        s.SetText("初始化进度_文字1", "正在检查更新(游戏客户端)...");
    }
    s.ShowWindow();

    if (!grab.isEmpty()) {
        QTimer::singleShot(600, [&] {
            auto* qt_surface = static_cast<kestrel::toolkit::qt::QtSurface*>(surface.get());
            const bool ok = qt_surface->window()->grab().save(grab, "PNG");
            std::printf("%s %s\n", ok ? "saved" : "could not save", grab.toLocal8Bit().constData());
            app.Quit();
        });
    }
    return qapp.exec();
}
