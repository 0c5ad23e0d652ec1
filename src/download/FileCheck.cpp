#include "download/FileCheck.h"

#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <thread>

#include "platform/Sha1.h"

namespace kestrel::download {

OnDisk CheckFileOnDisk(const FileRequest& file, std::stop_token stop) {
    struct stat info {};
    if (::stat(file.path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return OnDisk::kMissing;
    if (file.size && static_cast<std::uint64_t>(info.st_size) != *file.size) return OnDisk::kWrong;
    if (file.sha1.empty()) return file.size ? OnDisk::kRight : OnDisk::kWrong;
    const auto digest = platform::Sha1OfFile(file.path, stop);
    if (!digest) return OnDisk::kWrong;
    if (file.size && digest->size != *file.size) return OnDisk::kWrong;
    return platform::Sha1Matches(digest->sha1, file.sha1) ? OnDisk::kRight : OnDisk::kWrong;
}

std::vector<OnDisk> CheckFilesOnDisk(const std::vector<const FileRequest*>& files, int threads,
                                     std::stop_token stop, const std::function<void(std::size_t)>& on_checked) {
    std::vector<OnDisk> verdicts(files.size(), OnDisk::kMissing);
    std::atomic<std::size_t> next{0};
    std::atomic<std::size_t> checked{0};
    // Each thread takes the next unchecked file and writes only its slot.
    auto work = [&](bool report) {
        for (;;) {
            if (stop.stop_requested()) return;
            const std::size_t index = next.fetch_add(1);
            if (index >= files.size()) return;
            verdicts[index] = CheckFileOnDisk(*files[index], stop);
            const std::size_t done = checked.fetch_add(1) + 1;
            if (report && on_checked) on_checked(done);
        }
    };
    const int helpers = std::clamp(threads, 1, 64) - 1;
    {
        std::vector<std::jthread> workers;
        for (int i = 0; i < helpers && static_cast<std::size_t>(i + 1) < files.size(); ++i) {
            workers.emplace_back([&] { work(false); });
        }
        work(true);
    }
    if (on_checked) on_checked(checked.load());
    return verdicts;
}

}  // namespace kestrel::download
