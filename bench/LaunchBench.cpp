// The two costly steps of a launch: building the command line for a Forge
// style two-manifest chain with 150 libraries whose files all exist, and
// unpacking natives archives of 10 MB in total. Besides the whole steps it
// times their parts (reading the chain, the library list, the existence
// tests, reading the Java version; inflating without writing) to show where
// the time goes, and at the end it times our unpacking against
// `unzip -o -q` of the same archives, in the same run, and prints the ratio.

#include <benchmark/benchmark.h>
#include <unzip.h>
#include <zip.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "launch/CommandLineBuilder.h"
#include "launch/Libraries.h"
#include "launch/NativesExtractor.h"
#include "java/JavaVersion.h"
#include "platform/RandomSource.h"

namespace fs = std::filesystem;
using namespace kestrel;

namespace {

void WriteText(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

// Bytes that deflate to about half their size, like the shared objects in
// natives jars.
std::string NativeLikeBytes(std::size_t size, std::mt19937& random) {
    std::string bytes(size, '\0');
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<int> run(0, 3);
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = run(random) == 0 ? static_cast<char>(byte(random)) : static_cast<char>(i % 64 == 0 ? byte(random) : bytes[i > 0 ? i - 1 : 0]);
    }
    return bytes;
}

struct Fixture {
    std::string root;
    std::string game;
    std::string java;
    std::vector<std::string> archives;
    std::uint64_t archive_bytes = 0;
    std::uint64_t entry_bytes = 0;
    std::string unpack_target;

    Fixture() {
        std::string pattern = (fs::temp_directory_path() / "kestrel-bench-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) std::abort();
        root = pattern;
        game = root + "/.minecraft";
        WriteText(root + "/jdk/release", "JAVA_VERSION=\"17.0.2\"\n");
        WriteText(root + "/jdk/bin/java", "");
        java = root + "/jdk/bin/java";

        // 100 libraries in the vanilla parent, 50 in the Forge child.
        const auto libraries = [&](const std::string& group, int count) {
            std::string json;
            for (int i = 0; i < count; ++i) {
                const std::string artifact = "lib" + std::to_string(i);
                json += (i ? "," : "") + std::string(R"({"name":")") + group + ":" + artifact +
                        R"(:1.0.)" + std::to_string(i) + R"(","downloads":{"artifact":{"url":"https://x/)" +
                        artifact + R"(.jar","sha1":"0123456789abcdef0123456789abcdef01234567","size":12345}}})";
                std::string folder = group;
                std::replace(folder.begin(), folder.end(), '.', '/');
                WriteText(game + "/libraries/" + folder + "/" + artifact + "/1.0." + std::to_string(i) + "/" +
                              artifact + "-1.0." + std::to_string(i) + ".jar",
                          "jar");
            }
            return json;
        };
        std::string vanilla = R"({"id":"1.19","assets":"1.19","javaVersion":{"majorVersion":17},
          "mainClass":"net.minecraft.client.main.Main","arguments":{"game":["--username","${auth_player_name}",
          "--version","${version_name}","--gameDir","${game_directory}","--assetsDir","${assets_root}",
          "--assetIndex","${assets_index_name}","--uuid","${auth_uuid}","--accessToken","${auth_access_token}",
          "--userType","${user_type}","--versionType","${version_type}"],
          "jvm":[{"rules":[{"action":"allow","os":{"name":"osx"}}],"value":["-XstartOnFirstThread"]},
          "-Djava.library.path=${natives_directory}","-Dminecraft.launcher.brand=${launcher_name}",
          "-Dminecraft.launcher.version=${launcher_version}","-cp","${classpath}"]},"libraries":[)" +
                              libraries("org.vanilla.group", 100) + "]}";
        std::string forge = R"({"id":"1.19-forge","inheritsFrom":"1.19",
          "mainClass":"cpw.mods.bootstraplauncher.BootstrapLauncher","arguments":{
          "game":["--launchTarget","forgeclient","--fml.forgeVersion","41.1.0"],
          "jvm":["-DignoreList=bootstraplauncher,${version_name}.jar","-DlibraryDirectory=${library_directory}",
          "-p","${library_directory}/a.jar${classpath_separator}${library_directory}/b.jar",
          "--add-modules","ALL-MODULE-PATH"]},"libraries":[)" +
                            libraries("net.minecraftforge.group", 50) + "]}";
        WriteText(game + "/versions/1.19/1.19.json", vanilla);
        WriteText(game + "/versions/1.19-forge/1.19-forge.json", forge);

        // Natives archives, 10 MB on disk in total.
        std::mt19937 random(42);
        for (int a = 0; a < 5; ++a) {
            const std::string path = root + "/natives/natives-" + std::to_string(a) + ".jar";
            fs::create_directories(root + "/natives");
            zipFile zip = zipOpen64(path.c_str(), APPEND_STATUS_CREATE);
            for (int e = 0; e < 8; ++e) {
                const std::string bytes = NativeLikeBytes(std::size_t{520} << 10, random);
                entry_bytes += bytes.size();
                zip_fileinfo info{};
                const std::string name = (e == 0 ? "META-INF/" : "") + std::string("lib") + std::to_string(a) + "_" +
                                         std::to_string(e) + ".so";
                zipOpenNewFileInZip64(zip, name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED,
                                      Z_DEFAULT_COMPRESSION, 0);
                zipWriteInFileInZip(zip, bytes.data(), static_cast<unsigned>(bytes.size()));
                zipCloseFileInZip(zip);
            }
            zipClose(zip, nullptr);
            archives.push_back(path);
            archive_bytes += fs::file_size(path);
        }
        unpack_target = root + "/unpacked";
        fs::create_directories(unpack_target);
    }
    ~Fixture() {
        std::error_code error;
        fs::remove_all(root, error);
    }

    launch::LaunchPlan Plan() const {
        launch::LaunchPlan plan;
        plan.version_id = "1.19-forge";
        plan.java_path = java;
        plan.player_name = "Steve";
        plan.game_folder = game;
        return plan;
    }
};

Fixture& TheFixture() {
    static Fixture fixture;
    return fixture;
}

const platform::HostProfile kProfile = platform::HostProfile::Linux64();

void BM_BuildCommandLine(benchmark::State& state) {
    Fixture& f = TheFixture();
    platform::TickRandom random;
    const launch::CommandLineBuilder builder(kProfile, random);
    const launch::LaunchPlan plan = f.Plan();
    std::size_t length = 0;
    for (auto _ : state) {
        auto line = builder.Build(plan);
        if (!line.ok()) state.SkipWithError(line.error().c_str());
        length = line.ok() ? line->size() : 0;
        benchmark::DoNotOptimize(line);
    }
    state.counters["line_bytes"] = static_cast<double>(length);
}
BENCHMARK(BM_BuildCommandLine)->Unit(benchmark::kMicrosecond);

void BM_Part_ReadChain(benchmark::State& state) {
    const launch::VersionManifests manifests(TheFixture().game, kProfile);
    for (auto _ : state) benchmark::DoNotOptimize(manifests.ReadChain("1.19-forge"));
}
BENCHMARK(BM_Part_ReadChain)->Unit(benchmark::kMicrosecond);

void BM_Part_LibraryList(benchmark::State& state) {
    const launch::Libraries libraries(launch::VersionManifests(TheFixture().game, kProfile));
    const std::vector<std::string> chain = {"1.19-forge", "1.19"};
    std::size_t count = 0;
    for (auto _ : state) {
        auto list = libraries.ListOfChain(chain);
        count = list.size();
        benchmark::DoNotOptimize(list);
    }
    state.counters["libraries"] = static_cast<double>(count);
}
BENCHMARK(BM_Part_LibraryList)->Unit(benchmark::kMicrosecond);

void BM_Part_ExistenceTests(benchmark::State& state) {
    const launch::Libraries libraries(launch::VersionManifests(TheFixture().game, kProfile));
    const auto list = libraries.ListOfChain({"1.19-forge", "1.19"});
    for (auto _ : state) benchmark::DoNotOptimize(libraries.ExistingEntries(list));
}
BENCHMARK(BM_Part_ExistenceTests)->Unit(benchmark::kMicrosecond);

void BM_Part_JavaMajorVersion(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(java::JavaMajorVersion(TheFixture().java, kProfile));
}
BENCHMARK(BM_Part_JavaMajorVersion)->Unit(benchmark::kMicrosecond);

void UnpackAll() {
    Fixture& f = TheFixture();
    const launch::NativesExtractor natives(launch::VersionManifests(f.game, kProfile));
    for (const std::string& archive : f.archives) natives.UnpackArchive(archive, f.unpack_target);
}

void UnzipAll() {
    Fixture& f = TheFixture();
    for (const std::string& archive : f.archives) {
        const std::string command = "unzip -o -q '" + archive + "' -d '" + f.unpack_target + "'";
        if (std::system(command.c_str()) != 0) std::abort();
    }
}

void BM_UnpackNatives(benchmark::State& state) {
    for (auto _ : state) UnpackAll();
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * TheFixture().entry_bytes));
    state.counters["archive_MB"] = static_cast<double>(TheFixture().archive_bytes) / (1 << 20);
}
BENCHMARK(BM_UnpackNatives)->Unit(benchmark::kMillisecond);

void BM_Part_InflateOnly(benchmark::State& state) {
    Fixture& f = TheFixture();
    std::vector<char> block(8192);
    for (auto _ : state) {
        for (const std::string& archive : f.archives) {
            unzFile zip = unzOpen64(archive.c_str());
            for (int more = unzGoToFirstFile(zip); more == UNZ_OK; more = unzGoToNextFile(zip)) {
                unzOpenCurrentFile(zip);
                while (unzReadCurrentFile(zip, block.data(), static_cast<unsigned>(block.size())) > 0) {
                }
                unzCloseCurrentFile(zip);
            }
            unzClose(zip);
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * f.entry_bytes));
}
BENCHMARK(BM_Part_InflateOnly)->Unit(benchmark::kMillisecond);

void BM_UnzipTool(benchmark::State& state) {
    for (auto _ : state) UnzipAll();
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * TheFixture().entry_bytes));
}
BENCHMARK(BM_UnzipTool)->Unit(benchmark::kMillisecond);

double MedianMs(void (*work)(), int rounds) {
    std::vector<double> times;
    for (int i = 0; i < rounds; ++i) {
        const auto start = std::chrono::steady_clock::now();
        work();
        times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    // Interleaved rounds, so both see the same machine load.
    Fixture& f = TheFixture();
    std::vector<double> ours, theirs;
    for (int i = 0; i < 7; ++i) {
        ours.push_back(MedianMs(UnpackAll, 1));
        theirs.push_back(MedianMs(UnzipAll, 1));
    }
    std::sort(ours.begin(), ours.end());
    std::sort(theirs.begin(), theirs.end());
    const double our_ms = ours[ours.size() / 2];
    const double unzip_ms = theirs[theirs.size() / 2];
    std::printf("\nnatives: %zu archives, %.1f MB on disk, %.1f MB unpacked\n", f.archives.size(),
                static_cast<double>(f.archive_bytes) / (1 << 20), static_cast<double>(f.entry_bytes) / (1 << 20));
    std::printf("unpack (median of 7): ours %.1f ms, unzip -o -q %.1f ms, ratio ours/unzip %.2f\n", our_ms, unzip_ms,
                our_ms / unzip_ms);
    return 0;
}
