// install_bench: a fresh install of a version shaped like 1.20.1 (a client
// jar of 22 MB, 80 libraries of 100-500 KB, an asset index of 3,800 objects
// of a few KB, a logging configuration; synthetic bytes) from a local
// HTTP/1.1 server that adds 2 ms to every request, three ways:
//
//   - Kestrel's installer (catalogue, version JSON, asset index, then every
//     file in one job, 16 at once), and then `verify` on the complete
//     install (every file hashed);
//   - `curl --parallel --parallel-max 16` fetching the same URLs, the
//     catalogue and the version JSON included (the floor: no hashing, no
//     renaming, no manifest reading);
//   - the npm package @xmcl/installer (its `install` of the same catalogue
//     entry, with its own defaults), when --xmcl_dir names a folder whose
//     node_modules holds it (bench/xmcl-install.sh makes one).
//
// Prints the median of a few rounds of each, run in turn, and the ratios.
//
//   install_bench [--rounds=N] [--delay_ms=N] [--objects=N] [--xmcl_dir=DIR] [--xmcl_rounds=N]
//
// @xmcl/installer runs in the first --xmcl_rounds rounds only (1 by default:
// it takes minutes), and the files it left are counted, so that a quick
// run that fetched nothing cannot pass for a fast one.

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

#include "install/VersionInstaller.h"
#include "net/Endpoints.h"
#include "net/UrlRewriter.h"
#include "platform/Sha1.h"

namespace {

namespace fs = std::filesystem;

std::string Bytes(std::size_t n, unsigned seed) {
    std::string bytes(n, '\0');
    unsigned state = seed * 2654435761u + 1u;
    for (char& c : bytes) {
        state = state * 1103515245u + 12345u;
        c = static_cast<char>(state >> 24);
    }
    return bytes;
}

std::string Sha1(const std::string& bytes) { return kestrel::platform::Sha1Hex(*kestrel::platform::Sha1Of(bytes)); }

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

std::string Flag(int argc, char** argv, const std::string& name, const std::string& fallback) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.rfind("--" + name + "=", 0) == 0) return arg.substr(name.size() + 3);
    }
    return fallback;
}

std::string Download(const std::string& bytes, const std::string& url) {
    return R"("sha1":")" + Sha1(bytes) + R"(","size":)" + std::to_string(bytes.size()) + R"(,"url":")" + url + "\"";
}

// The served files by path, and the URLs a full install fetches.
struct Site {
    std::map<std::string, std::string> files;
    std::vector<std::string> urls;
    std::uint64_t bytes = 0;
};

Site MakeSite(const std::string& base, int objects) {
    Site site;
    const auto put = [&](const std::string& path, std::string bytes) {
        site.bytes += bytes.size();
        site.urls.push_back(base + path);
        site.files[path] = std::move(bytes);
    };
    // The asset objects, served as resources.download.minecraft.net serves them.
    std::string index = R"({"objects":{)";
    for (int i = 0; i < objects; ++i) {
        std::string bytes = Bytes(1000 + (i * 37) % 6000, i);
        const std::string hash = Sha1(bytes);
        if (i > 0) index += ",";
        index += "\"minecraft/sounds/s" + std::to_string(i) + ".ogg\":{\"hash\":\"" + hash +
                 "\",\"size\":" + std::to_string(bytes.size()) + "}";
        put("/resources/" + hash.substr(0, 2) + "/" + hash, std::move(bytes));
    }
    index += "}}";
    std::string libraries;
    for (int i = 0; i < 80; ++i) {
        const std::string name = "lib" + std::to_string(i);
        const std::string path = "org/example/" + name + "/1.0/" + name + "-1.0.jar";
        std::string bytes = Bytes(100000 + i * 5000, 100000 + i);
        if (i > 0) libraries += ",";
        libraries += R"({"name":"org.example:)" + name + R"(:1.0","downloads":{"artifact":{"path":")" + path + "\"," +
                     Download(bytes, base + "/libraries/" + path) + "}}}";
        put("/libraries/" + path, std::move(bytes));
    }
    std::string client = Bytes(22 << 20, 7);
    std::string logging = Bytes(1500, 9);
    const std::string version =
        R"({"id":"1.20.1","type":"release","mainClass":"net.minecraft.client.main.Main","assets":"5",)"
        R"("assetIndex":{"id":"5",)" + Download(index, base + "/meta/indexes/5.json") +
        R"(,"totalSize":1},"downloads":{"client":{)" + Download(client, base + "/data/client.jar") +
        R"(}},"logging":{"client":{"argument":"-Dlog4j.configurationFile=${path}","type":"log4j2-xml",)"
        R"("file":{"id":"client-1.12.xml",)" + Download(logging, base + "/meta/client-1.12.xml") +
        R"(}}},"libraries":[)" + libraries + "]}";
    const std::string catalogue = R"({"latest":{"release":"1.20.1","snapshot":"1.20.1"},"versions":[)"
                                  R"({"id":"1.20.1","type":"release","url":")" + base +
                                  R"(/meta/1.20.1.json","time":"2023-06-12T13:25:51+00:00",)"
                                  R"("releaseTime":"2023-06-12T13:25:51+00:00","sha1":")" + Sha1(version) +
                                  R"(","complianceLevel":1}]})";
    put("/meta/version_manifest_v2.json", catalogue);
    put("/meta/1.20.1.json", version);
    put("/meta/indexes/5.json", index);
    put("/data/client.jar", std::move(client));
    put("/meta/client-1.12.xml", std::move(logging));
    return site;
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = std::stoi(Flag(argc, argv, "rounds", "3"));
    const int delay_ms = std::stoi(Flag(argc, argv, "delay_ms", "2"));
    const int objects = std::stoi(Flag(argc, argv, "objects", "3800"));
    const std::string xmcl_dir = Flag(argc, argv, "xmcl_dir", "");
    const int xmcl_rounds = std::stoi(Flag(argc, argv, "xmcl_rounds", "1"));

    httplib::Server server;
    server.new_task_queue = [] { return new httplib::ThreadPool(64); };
    server.set_keep_alive_max_count(100000);
    const int port = server.bind_to_any_port("127.0.0.1");
    const std::string base = "http://127.0.0.1:" + std::to_string(port);
    const Site site = MakeSite(base, objects);
    server.Get(".*", [&](const httplib::Request& request, httplib::Response& response) {
        std::this_thread::sleep_for(std::chrono::milliseconds(delay_ms));
        const auto found = site.files.find(request.path);
        if (found == site.files.end()) {
            response.status = 404;
            return;
        }
        response.set_content(found->second, "application/octet-stream");
    });
    std::thread listener([&] { server.listen_after_bind(); });
    while (!server.is_running()) std::this_thread::yield();

    const fs::path root = fs::temp_directory_path() / "kestrel-install-bench";
    const fs::path config = fs::temp_directory_path() / "kestrel-install-bench.curl";
    {
        std::ofstream out(config);
        for (const std::string& url : site.urls) {
            out << "url = \"" << url << "\"\noutput = \"" << (root / "curl").string() << url.substr(base.size())
                << "\"\n";
        }
    }
    // The objects' official host goes to the local server, as the endpoints
    // file's origin lines send it in tests.
    kestrel::net::Endpoints endpoints = kestrel::net::Endpoints::Defaults();
    endpoints.Override("https://resources.download.minecraft.net=" + base + "/resources");
    kestrel::install::InstallSettings settings;
    settings.game_folder = (root / "kestrel").string();
    settings.rewriter = kestrel::net::UrlRewriter::ForMirror(kestrel::net::Mirror::kOfficial, endpoints);
    settings.catalogue_url = base + "/meta/version_manifest_v2.json";
    const kestrel::install::VersionInstaller installer(settings);

    std::printf("install of a 1.20.1-shaped version: %zu files, %.1f MB, %d ms added per request, "
                "median of %d rounds\n",
                site.urls.size(), static_cast<double>(site.bytes) / 1e6, delay_ms, rounds);
    std::vector<double> kestrel_times, verify_times, curl_times, xmcl_times;
    std::size_t xmcl_files = 0;
    for (int round = 0; round < rounds; ++round) {
        fs::remove_all(root);
        auto start = std::chrono::steady_clock::now();
        const auto installed = installer.Install("1.20.1", {});
        kestrel_times.push_back(SecondsSince(start));
        if (!installed.ok()) {
            std::fprintf(stderr, "kestrel install failed: %s\n", installed.error().c_str());
            return 1;
        }
        start = std::chrono::steady_clock::now();
        const auto verified = installer.Verify("1.20.1", {});
        verify_times.push_back(SecondsSince(start));
        if (!verified.ok() || !verified->bad.empty()) {
            std::fprintf(stderr, "verify found the install incomplete\n");
            return 1;
        }

        start = std::chrono::steady_clock::now();
        const std::string curl = "curl --silent --no-progress-meter --fail --create-dirs --parallel "
                                 "--parallel-max 16 --config " + config.string();
        if (std::system(curl.c_str()) != 0) {
            std::fprintf(stderr, "curl failed\n");
            return 1;
        }
        curl_times.push_back(SecondsSince(start));

        if (!xmcl_dir.empty() && round < xmcl_rounds) {
            start = std::chrono::steady_clock::now();
            const std::string node = "cd '" + xmcl_dir + "' && node '" + KESTREL_BENCH_XMCL_SCRIPT + "' '" + base +
                                     "' '" + (root / "xmcl").string() + "'";
            if (std::system(node.c_str()) != 0) {
                std::fprintf(stderr, "@xmcl/installer failed\n");
                return 1;
            }
            xmcl_times.push_back(SecondsSince(start));
            xmcl_files = 0;
            for (const auto& entry : fs::recursive_directory_iterator(root / "xmcl")) {
                if (entry.is_regular_file()) ++xmcl_files;
            }
        }
    }
    const double ours = Median(kestrel_times), floor = Median(curl_times);
    std::printf("  kestrel install (16 at once)     %7.2f s\n", ours);
    std::printf("  curl --parallel-max 16 (floor)   %7.2f s   kestrel / curl  %.2f\n", floor, ours / floor);
    if (!xmcl_times.empty()) {
        std::printf("  @xmcl/installer install          %7.2f s   kestrel / xmcl  %.2f   (%zu runs; it left %zu files)\n",
                    Median(xmcl_times), ours / Median(xmcl_times), xmcl_times.size(), xmcl_files);
    }
    std::printf("  kestrel verify (complete)        %7.2f s\n", Median(verify_times));
    fs::remove_all(root);
    fs::remove(config);
    server.stop();
    listener.join();
    return 0;
}
