#include "shell/LaunchJavaStep.h"

#include <algorithm>

#include "java/JavaDiscovery.h"
#include "launch/Launcher.h"
#include "net/UrlRewriter.h"
#include "runtimes/LaunchJava.h"
#include "shell/GameFileFetch.h"
#include "shell/GameStartWindow.h"

namespace kestrel::shell {

Result<LaunchJavaOutcome> LaunchJavaStep::Run(const SettingsRecord& settings, toolkit::Surface& window,
                                              std::stop_token stop) const {
    runtimes::LaunchJavaRequest request;
    request.game_folder = settings.current_game_dir;
    request.version_id = settings.selected_version;
    request.java = settings.java_path;
    request.automatic = settings.automatic_java;
    const std::string game_folder = settings.current_game_dir;
    const runtimes::JavaDiscoverer discover = [&]() {
        return services_.discover_java ? services_.discover_java(game_folder)
                                       : java::DiscoverJava(ctx_.host, game_folder);
    };
    const runtimes::LaunchJava chosen = runtimes::ChooseLaunchJava(request, ctx_.host, discover);
    if (chosen.choice.kind == runtimes::JavaChoice::Kind::kAsChosen) return LaunchJavaOutcome{settings.java_path, {}};

    std::string java = chosen.choice.java;
    if (chosen.choice.kind == runtimes::JavaChoice::Kind::kDownload) {
        window.SetText(kStartStep, kStepJavaDownload + chosen.major);
        runtimes::RuntimeInstallOptions options;
        options.index_url = ctx_.endpoints.Base("java_runtimes");
        options.download.rewriter =
            net::UrlRewriter::ForMirror(settings::MirrorOf(settings.download_source), ctx_.endpoints);
        options.download.clock = &ctx_.clock;
        int shown_bar = 0;
        std::string shown_label;
        const Result<std::string> installed = runtimes::InstallJavaRuntime(
            game_folder, chosen.choice.component, ctx_.host, options, stop,
            [&](const download::DownloadProgress& p) {
                const std::string label = kStepJavaDownload + chosen.major + " " + std::to_string(p.files_done) +
                                          "/" + std::to_string(p.files_total);
                if (label != shown_label) window.SetText(kStartStep, label);
                shown_label = label;
                const int bar = std::max(shown_bar, FetchBarValue(p));
                if (bar != shown_bar) ShowStartProgress(window, bar);
                shown_bar = bar;
            });
        if (stop.stop_requested()) return Error{std::string(launch::kLaunchCancelled)};
        if (!installed.ok()) return Error{kErrorJavaDownloadPrefix + installed.error()};
        java = *installed;
    }
    window.SetText(kStartStep, kStepJavaChosen + chosen.major + ": " + java);
    return LaunchJavaOutcome{java, " (" + std::string(kStepJavaChosen) + chosen.major + ")"};
}

}  // namespace kestrel::shell
