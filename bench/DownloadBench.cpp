// download_bench: a fresh download of many small files and a few large ones
// from a local HTTP/1.1 server that adds 2 ms to every request, by the
// download engine (16 at once) and by `curl --parallel --parallel-max 16`
// fetching the same URLs (the floor: no hashing, no renaming), and a second
// run of the engine on the complete folder (hashing only). Prints the median
// of a few rounds of each.
//
//   download_bench [--files=N] [--rounds=N] [--delay_ms=N]

#include <httplib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "download/Downloader.h"
#include "platform/Sha1.h"

namespace {

using kestrel::download::Downloader;
using kestrel::download::FileRequest;

std::string Bytes(std::size_t n, unsigned seed) {
    std::string bytes(n, '\0');
    unsigned state = seed * 2654435761u + 1u;
    for (char& c : bytes) {
        state = state * 1103515245u + 12345u;
        c = static_cast<char>(state >> 24);
    }
    return bytes;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

int Flag(int argc, char** argv, const std::string& name, int fallback) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.rfind("--" + name + "=", 0) == 0) return std::atoi(arg.c_str() + name.size() + 3);
    }
    return fallback;
}

}  // namespace

int main(int argc, char** argv) {
    const int small_files = Flag(argc, argv, "files", 3800);
    const int rounds = Flag(argc, argv, "rounds", 3);
    const int delay_ms = Flag(argc, argv, "delay_ms", 2);

    // Asset-like objects of a few KB plus library-like files and a client jar.
    std::map<std::string, std::string> files;
    for (int i = 0; i < small_files; ++i) files["/objects/" + std::to_string(i)] = Bytes(1000 + (i * 37) % 6000, i);
    for (int i = 0; i < 80; ++i) files["/libraries/" + std::to_string(i) + ".jar"] = Bytes(100000 + i * 5000, 100000 + i);
    files["/client.jar"] = Bytes(25 << 20, 7);
    std::uint64_t total = 0;
    for (const auto& [path, bytes] : files) total += bytes.size();

    httplib::Server server;
    server.new_task_queue = [] { return new httplib::ThreadPool(40); };
    server.set_keep_alive_max_count(1000);
    server.Get(".*", [&](const httplib::Request& request, httplib::Response& response) {
        std::this_thread::sleep_for(std::chrono::milliseconds(delay_ms));
        const auto found = files.find(request.path);
        if (found == files.end()) {
            response.status = 404;
            return;
        }
        response.set_content(found->second, "application/octet-stream");
    });
    const int port = server.bind_to_any_port("127.0.0.1");
    std::thread listener([&] { server.listen_after_bind(); });
    while (!server.is_running()) std::this_thread::yield();
    const std::string base = "http://127.0.0.1:" + std::to_string(port);

    const std::filesystem::path root = std::filesystem::temp_directory_path() / "kestrel-download-bench";
    std::vector<FileRequest> job;
    for (const auto& [path, bytes] : files) {
        job.push_back({base + path, "", (root / "engine").string() + path,
                       kestrel::platform::Sha1Hex(*kestrel::platform::Sha1Of(bytes)), bytes.size()});
    }
    // curl's config: one url/output pair per file.
    const std::filesystem::path config = std::filesystem::temp_directory_path() / "kestrel-download-bench.curl";
    {
        std::ofstream out(config);
        for (const auto& [path, bytes] : files) {
            out << "url = \"" << base << path << "\"\noutput = \"" << (root / "curl").string() << path << "\"\n";
        }
    }

    std::printf("%zu files, %.1f MB, %d ms added per request, median of %d rounds\n", files.size(),
                static_cast<double>(total) / 1e6, delay_ms, rounds);
    std::vector<double> engine, rerun, curl;
    for (int round = 0; round < rounds; ++round) {
        std::filesystem::remove_all(root);
        auto start = std::chrono::steady_clock::now();
        const auto outcome = Downloader().Run(job, {});
        engine.push_back(SecondsSince(start));
        if (!outcome.status) {
            std::fprintf(stderr, "engine failed: %s\n", outcome.status.error().c_str());
            return 1;
        }
        start = std::chrono::steady_clock::now();
        const auto again = Downloader().Run(job, {});
        rerun.push_back(SecondsSince(start));
        if (!again.status || again.requests != 0) {
            std::fprintf(stderr, "the second run fetched again\n");
            return 1;
        }
        start = std::chrono::steady_clock::now();
        const std::string command = "curl --silent --no-progress-meter --fail --create-dirs --parallel --parallel-max 16 --config " +
                                    config.string();
        if (std::system(command.c_str()) != 0) {
            std::fprintf(stderr, "curl failed\n");
            return 1;
        }
        curl.push_back(SecondsSince(start));
    }
    std::printf("  engine, fresh (16 at once)      %7.2f s\n", Median(engine));
    std::printf("  curl --parallel-max 16 (floor)  %7.2f s   engine / curl %.2f\n", Median(curl),
                Median(engine) / Median(curl));
    std::printf("  engine, second run (hash only)  %7.2f s\n", Median(rerun));
    std::filesystem::remove_all(root);
    std::filesystem::remove(config);
    server.stop();
    listener.join();
    return 0;
}
