#include "download/Downloader.h"

#include "download/DownloadRun.h"

namespace kestrel::download {

DownloadOutcome Downloader::Run(const std::vector<FileRequest>& files, std::stop_token stop,
                                const ProgressCallback& progress) const {
    platform::SystemClock system_clock;
    platform::Clock& clock = options_.clock ? *options_.clock : system_clock;
    DownloadRun run(options_, clock, std::move(stop), progress);
    return run.Run(files);
}

}  // namespace kestrel::download
