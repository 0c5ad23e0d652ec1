// kestrel: the launcher the player starts. It builds the process-wide state,
// the clock, the random source, the workers, the folders and the service
// addresses, opens the main window (whose creation runs the start-up) and
// runs the message loop; at exit it stops and joins every worker.
//
// Usage: kestrel [--window download] [--grab FILE.png] [--version] [--help]
// (ProgramArguments.h)
//   --window download  opens the download window once the start-up is over
//   --grab   once the start-up overlay has faded, saves a picture of the main
//            window to FILE.png and ends (screenshots and tests)

#include <QApplication>
#include <fontconfig/fontconfig.h>
#include <thread>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QSocketNotifier>
#include <QTimer>
#include <cstdio>
#include <memory>
#include <optional>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>

#include "app/LauncherApp.h"
#include "app/LauncherTurn.h"
#include "app/ProgramArguments.h"
#include "app/QtShutdown.h"
#include "content/UpdateCheck.h"
#include "net/Endpoints.h"
#include "platform/Clock.h"
#include "platform/InstanceLock.h"
#include "platform/RandomSource.h"
#include "platform/StopSignals.h"
#include "platform/Workers.h"
#include "shell/ContentWiring.h"
#include "shell/DownloadWindow.h"
#include "shell/LaunchFlow.h"
#include "shell/NoticeBoard.h"
#include "shell/SettingsWindow.h"
#include "shell/SignIn.h"
#include "shell/SignInContextFromLauncher.h"
#include "shell/SloganLine.h"
#include "shell/StatusBoard.h"
#include "shell/UpdateState.h"
#include "toolkit/Assets.h"
#include "toolkit/qt/QtApplication.h"
#include "toolkit/qt/QtSurface.h"
#include "toolkit/qt/QtWindow.h"
#include "toolkit/Windows.h"

namespace {

using kestrel::shell::StartUpHooks;

// The hooks of the other parts of the shell: sign-in, the launch, the
// settings window and the online content.
void FillInHooks(StartUpHooks& hooks) {
    namespace accounts = kestrel::accounts;
    namespace shell = kestrel::shell;
    // One sign-in context for the whole run. It holds the main window, so it
    // is made when the window is wired; the handlers WireSignIn installs keep
    // a reference to it, and the hooks below keep it alive until the
    // launcher (and with it the hooks) goes away after the workers' join.
    auto sign_in = std::make_shared<std::optional<shell::SignInContext>>();
    hooks.wire_sign_in = [sign_in](shell::LauncherContext& ctx) {
        sign_in->emplace(shell::MakeSignInContext(ctx));
        shell::WireSignIn(**sign_in);
    };
    hooks.lay_out_account_panel = [sign_in](shell::LauncherContext&) {
        if (*sign_in) shell::LayOutAccountPanel(**sign_in);
    };
    hooks.read_account_cache = [sign_in](shell::LauncherContext&) {
        if (*sign_in) accounts::ReadAccountCacheAtStart(**sign_in);
    };
    hooks.automatic_sign_in = [sign_in](shell::LauncherContext&, std::stop_token stop,
                                        const shell::StepReporter& step) {
        if (*sign_in) shell::AutomaticSignIn(**sign_in, stop, step);
    };

    hooks.wire_launch = [](shell::LauncherContext& ctx) { shell::WireLaunch(ctx); };
    hooks.open_settings_window = [](shell::LauncherContext& ctx) { shell::OpenSettingsWindow(ctx); };
    hooks.open_download_window = [](shell::LauncherContext& ctx) { shell::OpenDownloadWindow(ctx); };

    // The update check runs before the automatic sign-in, its result text at
    // 100 % and the state on the version label after it; the check's answer
    // waits here in between (the start-up worker is the only one to use it).
    auto update = std::make_shared<std::optional<kestrel::content::LauncherUpdate>>();
    hooks.run_update_checks = [update](shell::LauncherContext& ctx, std::stop_token stop,
                                       const shell::StepReporter& step) {
        *update = shell::CheckForUpdates(ctx, stop, step);
    };
    hooks.update_result_text = [update](shell::LauncherContext&) {
        return *update ? kestrel::content::StepText((*update)->state) : std::string();
    };
    hooks.show_update_state = [update](shell::LauncherContext& ctx) {
        if (*update) shell::ShowUpdateState(ctx, **update);
    };
    hooks.fill_notice_board = [](shell::LauncherContext& ctx, std::stop_token stop) {
        shell::FillNoticeBoard(ctx, stop);
    };
    hooks.fill_status_board = [](shell::LauncherContext& ctx, std::stop_token stop) {
        shell::FillStatusBoard(ctx, stop);
    };
    hooks.load_slogans = [](shell::LauncherContext& ctx, std::stop_token stop) {
        shell::LoadSlogans(ctx, stop);
    };
    hooks.wire_content = [](shell::LauncherContext& ctx) { shell::WireContent(ctx); };
    // first_java_path and recommended_memory stay empty: the launcher then
    // asks the machine (Java discovery, the memory figures).
}

// The icon of the launcher's windows. Set once the main window is up: the
// window need not wait for the picture, which is decoded beside its building.
void SetWindowIcon(kestrel::toolkit::qt::QtApplication& app) {
    const std::string_view icon = kestrel::toolkit::Asset("icon.png");
    QImage image = app.TakePictureDecodedAhead(icon);
    // Named, the format needs no probing by every image plugin.
    if (image.isNull()) image.loadFromData(reinterpret_cast<const uchar*>(icon.data()), static_cast<int>(icon.size()), "PNG");
    QApplication::setWindowIcon(QIcon(QPixmap::fromImage(image)));
}

// Runs then() on the user-interface thread once ready() holds, testing it
// every 50 ms.
void WhenReady(std::function<bool()> ready, std::function<void()> then) {
    auto* timer = new QTimer(QCoreApplication::instance());
    timer->setInterval(50);
    QObject::connect(timer, &QTimer::timeout, [timer, ready = std::move(ready), then = std::move(then)] {
        if (!ready()) return;
        timer->stop();
        timer->deleteLater();
        then();
    });
    timer->start();
}

// Saves a picture of the window to file and ends the program.
void GrabAndEnd(kestrel::toolkit::Surface& surface, const QString& file) {
    // One more moment so the last paint is on the screen.
    QTimer::singleShot(200, [&surface, file] {
        auto* qt_surface = static_cast<kestrel::toolkit::qt::QtSurface*>(&surface);
        const bool ok = qt_surface->window()->grab().save(file, "PNG");
        std::printf("%s %s\n", ok ? "saved" : "could not save", file.toLocal8Bit().constData());
        std::fflush(stdout);
        QCoreApplication::exit(ok ? 0 : 1);
    });
}

// --grab: waits until the overlay is hidden, then saves the window.
void GrabWhenStartedUp(kestrel::toolkit::Surface& surface, const QString& file) {
    WhenReady([&surface] { return !surface.Visible("初始化"); }, [&surface, file] { GrabAndEnd(surface, file); });
}

// --window download: opens the download window once the start-up is over
// (the options, and with them the game folder, are read by then); with
// --grab, saves its picture once its list is filled or says why it is not.
void OpenDownloadWindowWhenStartedUp(kestrel::shell::LauncherContext& ctx, const QString& grab) {
    WhenReady([&ctx] { return !ctx.main_window->Visible("初始化"); }, [&ctx, grab] {
        kestrel::shell::OpenDownloadWindow(ctx);
        if (grab.isEmpty()) return;
        const std::shared_ptr<kestrel::toolkit::Surface> window = ctx.state.download_window.Get();
        if (!window) return;
        WhenReady(
            [window] {
                return !window->Items(kestrel::toolkit::kDownloadList).empty() ||
                       window->Visible(kestrel::toolkit::kDownloadRetry);
            },
            [window, grab] { GrabAndEnd(*window, grab); });
    });
}

// SIGTERM, SIGINT and SIGHUP end the message loop, so the program ends as it
// does when its window is closed: workers stopped and joined, windows
// closed, nothing cut off in the middle of a write.
void QuitOnStopSignals() {
    const int fd = kestrel::platform::WatchStopSignals();
    if (fd < 0) return;
    auto* notifier = new QSocketNotifier(fd, QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, [notifier] {
        notifier->setEnabled(false);
        QCoreApplication::quit();
    });
}

// The turn of this launcher on its program folder (LauncherTurn.h). A later
// launcher waits this long for the running one to answer or to end.
constexpr int kTurnPatienceMs = 30000;

kestrel::app::LauncherTurn TakeTurnInProgramFolder(const std::string& program_folder,
                                                   kestrel::platform::Clock& clock) {
    const auto runtime = kestrel::platform::InstanceLock::UserRuntimeFolder();
    if (!runtime.ok()) {
        kestrel::app::LauncherTurn turn;
        turn.note = "kestrel: " + runtime.error() + "; 无法确认是否已有启动器在运行";
        return turn;
    }
    return kestrel::app::TakeTurn(program_folder, *runtime, clock, kTurnPatienceMs);
}

// A later launcher on the same program folder asks this one to come to the
// front. A window hidden on purpose (while the game runs, or before a
// restart) stays hidden, and the answer says so.
void AnswerLaterLaunchers(const kestrel::platform::InstanceLock& lock, kestrel::toolkit::Surface& window) {
    auto* notifier = new QSocketNotifier(lock.request_fd(), QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, [&lock, &window] {
        const bool visible = window.WindowVisible();
        if (visible) {
            window.ShowWindow();
            static_cast<kestrel::toolkit::qt::QtSurface&>(window).window()->activateWindow();
        }
        lock.AnswerRequest(visible ? kestrel::app::kShownAnswer : kestrel::app::kHiddenAnswer);
    });
}

}  // namespace

int main(int argc, char** argv) {
    // Reading the font configuration takes a few milliseconds that the
    // window needs only once it is built; it is done beside the
    // application's start, which mostly waits for the display server.
    const auto arguments = kestrel::app::ProgramArguments::Parse(argc, argv);
    using Action = kestrel::app::ProgramArguments::Action;
    switch (arguments.action) {
        case Action::kVersion:
            std::fputs(kestrel::app::ProgramVersionLine().c_str(), stdout);
            return 0;
        case Action::kHelp:
            std::fputs(kestrel::app::ProgramUsage().c_str(), stdout);
            return 0;
        case Action::kUsageError:
            std::fprintf(stderr, "kestrel: %s\n%s", arguments.problem.c_str(), kestrel::app::ProgramUsage().c_str());
            return 2;
        case Action::kRun:
            break;
    }
    kestrel::platform::SystemClock clock;
    kestrel::shell::LauncherPaths paths = kestrel::app::CurrentLauncherPaths();
    // One launcher at a time on a program folder; a later one brings the
    // running one to the front and ends, before it opens any window.
    auto turn = TakeTurnInProgramFolder(paths.program_folder, clock);
    if (!turn.note.empty()) std::fprintf(stderr, "%s\n", turn.note.c_str());
    switch (turn.kind) {
        case kestrel::app::LauncherTurn::Kind::kOtherCameToFront:
        case kestrel::app::LauncherTurn::Kind::kOtherIsBusy:
            return 0;
        case kestrel::app::LauncherTurn::Kind::kOtherDoesNotAnswer:
            return 1;
        case kestrel::app::LauncherTurn::Kind::kRun:
            break;
    }

    std::thread warm_fonts([] { FcInit(); });
    QApplication qapp(argc, argv);
    warm_fonts.join();
    QuitOnStopSignals();
    const QString grab = QString::fromLocal8Bit(arguments.grab.c_str());

    kestrel::toolkit::qt::QtApplication app;

    kestrel::platform::ClockSeededRandom random;
    kestrel::platform::Workers workers;
    // The start-up overlay and the logo are set while the main window is
    // built, the icon once it is up; they are decoded meanwhile beside the
    // building of its controls.
    app.DecodePicturesAhead(workers, {kestrel::toolkit::Asset("overlay.png"), kestrel::toolkit::Asset("logo.png"),
                                      kestrel::toolkit::Asset("icon.png")});
    int status = 0;
    {
        kestrel::app::LauncherApp launcher(app, clock, random, workers, std::move(paths),
                                           kestrel::net::Endpoints::FromEnvironment());
        // The launcher works in its own folder, as it always has; relative
        // paths the player typed into the settings are read from there.
        // An installed launcher's program folder may not exist yet on the
        // first start: it is made here, so that the launcher works in it
        // from the first start on.
        std::error_code error;
        std::filesystem::create_directories(launcher.context().paths.program_folder, error);
        std::filesystem::current_path(launcher.context().paths.program_folder, error);

        FillInHooks(launcher.hooks());
        const auto window = launcher.Open();
        SetWindowIcon(app);
        if (turn.lock) AnswerLaterLaunchers(*turn.lock, *window);
        if (arguments.window == "download") {
            OpenDownloadWindowWhenStartedUp(launcher.context(), grab);
        } else if (!grab.isEmpty()) {
            GrabWhenStartedUp(*window, grab);
        }
        status = QApplication::exec();
        kestrel::app::StopWorkersServingEvents(workers);
        // A change made while the workers stopped had no writer left.
        if (const auto saved = launcher.state().options_saver.Flush(launcher.context()); !saved) {
            std::fprintf(stderr, "kestrel: %s%s\n", kestrel::shell::kSaveFailedText.data(), saved.error().c_str());
        }
        // The settings window is kept in the state; it goes before the
        // toolkit does.
        launcher.context().state.settings_window.Set(nullptr);
        launcher.context().state.download_window.Set(nullptr);
    }
    return status;
}
