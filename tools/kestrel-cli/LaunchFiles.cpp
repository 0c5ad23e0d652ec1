#include "LaunchFiles.h"

#include <chrono>
#include <optional>
#include <ostream>
#include <vector>

#include "InstallOptions.h"
#include "download/Downloader.h"
#include "download/MissingFiles.h"
#include "install/ChainFiles.h"
#include "install/InstallLock.h"
#include "launch/VersionManifests.h"
#include "net/UrlRewriter.h"
#include "platform/Files.h"

namespace kestrel::cli {

int FetchMissingForLaunch(const std::string& id, const std::string& java_path, const CliArguments& arguments,
                          const CliContext& context) {
    const settings::SettingsRecord options = OptionsBesideProgram(arguments);
    const std::optional<install::InstallSettings> settings = InstallSettingsFor(arguments, context);
    if (!settings) return kUsage;
    if (!options.check_files_before_launch) return kDone;
    // Without a Java the launch fails at once with its own text.
    if (!platform::IsRegularFile(context.profile.NativePath(java_path))) return kDone;

    const std::vector<launch::ChainManifest> chain =
        launch::VersionManifests(context.game_dir, platform::HostProfile::Current()).ReadChain(id);
    const download::FileLister list = [&] {
        return install::ListFilesToCheck(context.game_dir, chain, context.profile, settings->rewriter);
    };
    // The requests come rewritten already (install/ChainFiles.h).
    download::DownloadOptions engine = settings->download;
    engine.rewriter = net::UrlRewriter();
    // The window and kestrel-cli never write the same files at once.
    std::optional<install::InstallLock> lock;
    const download::BeforeFetch take_lock = [&]() -> Status {
        Result<install::InstallLock> taken = install::InstallLock::TryTake(context.game_dir);
        if (!taken.ok()) return Error{taken.error()};
        lock.emplace(std::move(taken).value());
        return {};
    };
    using Clock = std::chrono::steady_clock;
    Clock::time_point last_line{};
    std::string last_text;
    const download::MissingOutcome outcome =
        download::FetchMissing(list, download::Downloader(engine), {}, [&](int, const download::DownloadProgress& p) {
            const std::string text =
                "正在补全游戏文件 " + std::to_string(p.files_done) + "/" + std::to_string(p.files_total);
            const bool last = p.files_done == p.files_total;
            if (text == last_text || (!last && Clock::now() - last_line < std::chrono::seconds(1))) return;
            context.err << text << "\n";
            context.err.flush();
            last_line = Clock::now();
            last_text = text;
        }, take_lock);
    if (!outcome.status.ok()) {
        context.err << "补全游戏文件失败:" << outcome.status.error() << "\n";
        return kFailed;
    }
    return kDone;
}

}  // namespace kestrel::cli
