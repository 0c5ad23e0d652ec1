#include "LaunchFiles.h"

#include <chrono>
#include <optional>
#include <ostream>

#include "ProgramOptions.h"
#include "download/Downloader.h"
#include "download/MissingFiles.h"
#include "install/ChainFiles.h"
#include "install/InstallLock.h"
#include "launch/VersionManifests.h"
#include "net/Endpoints.h"
#include "net/UrlRewriter.h"
#include "platform/Files.h"

namespace kestrel::cli {
namespace {

// The chain's files; an asset index whose objects could not be listed goes
// to the engine's hash check, since its size alone may look right.
Result<download::FilesToCheck> ListFilesToCheck(const std::string& game_folder, const std::string& id,
                                                const platform::HostProfile& host, const net::UrlRewriter& rewriter) {
    Result<install::ChainFileList> listed = install::ListChainFiles(game_folder, id, host, rewriter);
    if (!listed.ok()) return Error{listed.error()};
    download::FilesToCheck files;
    for (download::FileRequest& file : listed.value().files) {
        const bool index = !listed->objects_listed && file.path == listed->asset_index_path;
        (index ? files.hashed : files.sized).push_back(std::move(file));
    }
    return files;
}

}  // namespace

int FetchMissingForLaunch(const std::string& id, const std::string& java_path, const CliArguments& arguments,
                          const CliContext& context) {
    const settings::SettingsRecord options = ProgramOptions(arguments);
    const std::optional<net::Mirror> mirror = MirrorOption(arguments, context);
    if (!mirror) return kUsage;
    download::DownloadOptions engine;
    if (arguments.Has("--jobs")) {
        const std::string jobs = arguments.Get("--jobs");
        // As install and verify take it.
        const bool digits = !jobs.empty() && jobs.size() <= 3 &&
                            jobs.find_first_not_of("0123456789") == std::string::npos;
        if (!digits || std::stoi(jobs) < 1 || std::stoi(jobs) > 256) {
            context.err << "usage: --jobs N (1 to 256)\n";
            return kUsage;
        }
        engine.parallelism = std::stoi(jobs);
    }
    if (!options.check_files_before_launch) return kDone;
    // Without a Java the launch fails at once with its own text.
    if (!platform::IsRegularFile(context.profile.NativePath(java_path))) return kDone;

    const net::UrlRewriter rewriter = net::UrlRewriter::ForMirror(*mirror, net::Endpoints::FromEnvironment());
    const download::FileLister list = [&] { return ListFilesToCheck(context.game_dir, id, context.profile, rewriter); };
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
