// Parsing an asset index and reading every object's hash by path, with our
// JSON document beside nlohmann::json and Qt's QJsonDocument. An asset index
// is the largest JSON text the launcher meets: an "objects" member with
// thousands of members shaped {"hash": "...", "size": N}.
//
// At the end it prints each library's MB/s for the parse and the ratios of
// the others' times to ours.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "net/JsonDocument.h"

#if KESTREL_BENCH_NLOHMANN
#include <nlohmann/json.hpp>
#endif
#if KESTREL_BENCH_QT
#include <QByteArray>
#include <QJsonDocument>
#include <QJsonObject>
#endif

namespace {

struct AssetIndex {
    std::string text;
    std::vector<std::string> keys;
};

// An asset index of `count` objects; 15 000 objects make about 1.5 MB.
const AssetIndex& MakeIndex(int count) {
    static std::map<int, AssetIndex> made;
    auto [it, inserted] = made.try_emplace(count);
    if (!inserted) return it->second;
    AssetIndex& index = it->second;
    std::mt19937 random(count);
    static const char* kFolders[] = {"minecraft/sounds/ambient/cave/", "minecraft/lang/", "minecraft/textures/block/",
                                     "realms/lang/", "minecraft/sounds/mob/zombie/"};
    index.text = "{\"objects\":{";
    for (int i = 0; i < count; ++i) {
        std::string key = std::string(kFolders[random() % 5]) + "asset" + std::to_string(i) + ".ogg";
        char hash[41];
        for (int k = 0; k < 40; ++k) hash[k] = "0123456789abcdef"[random() % 16];
        hash[40] = 0;
        if (i) index.text += ",";
        index.text += "\"" + key + "\":{\"hash\":\"" + hash + "\",\"size\":" + std::to_string(random() % 900000) + "}";
        index.keys.push_back(std::move(key));
    }
    index.text += "},\"map_to_resources\":false}";
    return index;
}

constexpr int kDefaultCount = 15000;

void BM_Parse_Kestrel(benchmark::State& state) {
    const AssetIndex& index = MakeIndex(kDefaultCount);
    for (auto _ : state) {
        kestrel::net::JsonDocument document;
        benchmark::DoNotOptimize(document.Parse(index.text));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * index.text.size()));
}
BENCHMARK(BM_Parse_Kestrel)->Unit(benchmark::kMillisecond);

// Reads every objects['<key>'].hash by path; the time per read must stay flat
// as the object grows (BigO is fitted over the sizes).
void BM_ReadAll_Kestrel(benchmark::State& state) {
    const AssetIndex& index = MakeIndex(static_cast<int>(state.range(0)));
    kestrel::net::JsonDocument document;
    document.Parse(index.text);
    std::vector<std::string> paths;
    for (const std::string& key : index.keys) paths.push_back("objects['" + key + "'].hash");
    for (auto _ : state) {
        std::size_t total = 0;
        for (const std::string& path : paths) total += document.GetText(path).size();
        benchmark::DoNotOptimize(total);
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_ReadAll_Kestrel)->Arg(1000)->Arg(4000)->Arg(15000)->Arg(60000)->Complexity()->Unit(benchmark::kMillisecond);

#if KESTREL_BENCH_NLOHMANN
void BM_Parse_Nlohmann(benchmark::State& state) {
    const AssetIndex& index = MakeIndex(kDefaultCount);
    for (auto _ : state) benchmark::DoNotOptimize(nlohmann::json::parse(index.text));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * index.text.size()));
}
BENCHMARK(BM_Parse_Nlohmann)->Unit(benchmark::kMillisecond);

// ordered_json keeps member order, as ours does.
void BM_Parse_NlohmannOrdered(benchmark::State& state) {
    const AssetIndex& index = MakeIndex(kDefaultCount);
    for (auto _ : state) benchmark::DoNotOptimize(nlohmann::ordered_json::parse(index.text));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * index.text.size()));
}
BENCHMARK(BM_Parse_NlohmannOrdered)->Unit(benchmark::kMillisecond);

void BM_ReadAll_Nlohmann(benchmark::State& state) {
    const AssetIndex& index = MakeIndex(static_cast<int>(state.range(0)));
    const nlohmann::json document = nlohmann::json::parse(index.text);
    for (auto _ : state) {
        std::size_t total = 0;
        const auto& objects = document.at("objects");
        for (const std::string& key : index.keys) total += objects.at(key).at("hash").get_ref<const std::string&>().size();
        benchmark::DoNotOptimize(total);
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_ReadAll_Nlohmann)->Arg(1000)->Arg(4000)->Arg(15000)->Arg(60000)->Complexity()->Unit(benchmark::kMillisecond);
#endif

#if KESTREL_BENCH_QT
void BM_Parse_Qt(benchmark::State& state) {
    const AssetIndex& index = MakeIndex(kDefaultCount);
    const QByteArray bytes = QByteArray::fromStdString(index.text);
    for (auto _ : state) benchmark::DoNotOptimize(QJsonDocument::fromJson(bytes));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * index.text.size()));
}
BENCHMARK(BM_Parse_Qt)->Unit(benchmark::kMillisecond);

void BM_ReadAll_Qt(benchmark::State& state) {
    const AssetIndex& index = MakeIndex(static_cast<int>(state.range(0)));
    const QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(index.text));
    std::vector<QString> keys;
    for (const std::string& key : index.keys) keys.push_back(QString::fromStdString(key));
    for (auto _ : state) {
        std::size_t total = 0;
        const QJsonObject objects = document.object().value(QStringLiteral("objects")).toObject();
        for (const QString& key : keys) {
            total += static_cast<std::size_t>(objects.value(key).toObject().value(QStringLiteral("hash")).toString().size());
        }
        benchmark::DoNotOptimize(total);
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_ReadAll_Qt)->Arg(1000)->Arg(4000)->Arg(15000)->Arg(60000)->Complexity()->Unit(benchmark::kMillisecond);
#endif

// Collects the real time of every run, for the ratios printed at the end.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration) times_[run.benchmark_name()] = run.GetAdjustedRealTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }

    void PrintRatios() const {
        const double megabytes = static_cast<double>(MakeIndex(kDefaultCount).text.size()) / 1e6;
        std::printf("\nasset index: %.2f MB, %d objects\n", megabytes, kDefaultCount);
        const auto parse = times_.find("BM_Parse_Kestrel");
        for (const auto& [name, ms] : times_) {
            if (name.rfind("BM_Parse_", 0) != 0) continue;
            std::printf("%-26s %8.1f MB/s   time / ours: %.2f\n", name.c_str(), megabytes / (ms / 1000.0),
                        parse == times_.end() ? 0.0 : ms / parse->second);
        }
        for (const char* size : {"1000", "15000", "60000"}) {
            const auto ours = times_.find(std::string("BM_ReadAll_Kestrel/") + size);
            if (ours == times_.end()) continue;
            for (const auto& [name, ms] : times_) {
                if (name.rfind("BM_ReadAll_", 0) == 0 && name.size() > std::string(size).size() &&
                    name.compare(name.size() - std::string(size).size(), std::string::npos, size) == 0 &&
                    name[name.size() - std::string(size).size() - 1] == '/') {
                    std::printf("%-26s %8.3f ms     time / ours: %.2f\n", name.c_str(), ms, ms / ours->second);
                }
            }
        }
    }

private:
    std::map<std::string, double> times_;  // milliseconds
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios();
    benchmark::Shutdown();
    return 0;
}
