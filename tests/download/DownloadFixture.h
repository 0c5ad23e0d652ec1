#pragma once

// Small helpers of the download tests: file contents, the requests for them,
// and a look at what a job left on disk.

#include <atomic>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "download/Downloader.h"
#include "platform/Sha1.h"
#include "support/FakeClock.h"
#include "support/TempFolder.h"
#include "download/FileServer.h"

namespace kestrel::download {

// n bytes that differ from file to file (seed) and byte to byte.
inline std::string Bytes(std::size_t n, unsigned seed) {
    std::string bytes(n, '\0');
    unsigned state = seed * 2654435761u + 1u;
    for (char& c : bytes) {
        state = state * 1103515245u + 12345u;
        c = static_cast<char>(state >> 24);
    }
    return bytes;
}

inline std::string HexSha1(const std::string& bytes) { return platform::Sha1Hex(*platform::Sha1Of(bytes)); }

// A request for a file the server serves at url_path, to be saved at
// folder/relative, with its real SHA-1 and size.
inline FileRequest RequestFor(const testing::FileServer& server, const std::string& url_path,
                              const testing::TempFolder& folder, const std::string& relative,
                              const std::string& bytes) {
    FileRequest request;
    request.url = server.Url(url_path);
    request.path = folder.path() + "/" + relative;
    request.sha1 = HexSha1(bytes);
    request.size = bytes.size();
    return request;
}

inline std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

// Every file under the folder whose name ends in ".part" or holds ".tmp".
inline std::vector<std::string> LeftoversUnder(const std::string& folder) {
    std::vector<std::string> found;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (name.ends_with(".part") || name.find(".tmp") != std::string::npos) found.push_back(entry.path().string());
    }
    return found;
}

// A clock whose time moves on by a step at every reading, so that a job's
// sense of time does not depend on the machine's speed; Last() is the time
// it gave out most recently.
class TickingClock final : public platform::Clock {
public:
    explicit TickingClock(std::int64_t step) : step_(step) {}
    bool Sleep(std::int64_t ms, std::stop_token stop) override {
        if (stop.stop_requested()) return false;
        now_ += ms;
        return true;
    }
    std::int64_t NowMs() const override { return now_ += step_; }
    std::int64_t Last() const { return now_.load(); }

private:
    std::int64_t step_;
    mutable std::atomic<std::int64_t> now_{0};
};

// Options for tests: short pauses on a fake clock, unless a test needs the
// real one.
inline DownloadOptions TestOptions(platform::Clock* clock) {
    DownloadOptions options;
    options.parallelism = 4;
    options.first_pause_ms = 50;
    options.clock = clock;
    return options;
}

}  // namespace kestrel::download
