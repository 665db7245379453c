// The catalog's map-icon scan over a generated archive set of 2,048 models
// (the shared game-ready models repeated, eight archives of 256), on one
// thread and on every core in the same run. Baselines: reading the
// archives' bytes, and a fixed arithmetic split over the same threads (what
// the machine gives to a second thread at the moment). The trees of both
// scans are compared before anything is timed.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <thread>

#include "../support/ArchiveBuilder.h"
#include "Config/Resources.h"
#include "Core/FilePaths.h"
#include "DemoModel.h"
#include "FormsTestSupport.h"
#include "Game/GameData.h"
#include "MapIconScan.h"
#include "WindowBenchMain.h"
#include "Model/Model.h"
#include "Model/ModelLoader.h"

using namespace mc;
namespace fs = std::filesystem;

namespace {

constexpr int kArchives = 8;
constexpr int kModelsPerArchive = 256;

std::vector<uint8_t> ReadBytes(const fs::path& path)
{
    std::vector<uint8_t> bytes(size_t(fs::file_size(path)));
    std::ifstream in(path, std::ios::binary);
    in.read(reinterpret_cast<char*>(bytes.data()), std::streamsize(bytes.size()));
    return bytes;
}

// The shared game-ready models under 1 MB; the demo crate when they are absent.
std::vector<std::vector<uint8_t>> SourceModels()
{
    std::vector<std::vector<uint8_t>> models;
    const fs::path dir = test::RealDataDir() / "p3d";
    if (!test::RealDataDir().empty() && fs::exists(dir))
        for (const auto& file : fs::directory_iterator(dir)) {
            if (file.path().extension() != ".p3d" || file.file_size() > (1u << 20)) continue;
            std::vector<uint8_t> bytes = ReadBytes(file.path());
            if (bytes.size() >= 4 && std::equal(bytes.begin(), bytes.begin() + 4, "ODOL")) models.push_back(bytes);
        }
    std::sort(models.begin(), models.end());
    if (models.empty()) {
        const fs::path file = test::TempDir("catalog-bench-crate") / "crate.p3d";
        SaveModelOdolFile(*demo::MakeCrateModel(), PathToUtf8(file));
        models.push_back(ReadBytes(file));
    }
    return models;
}

struct TBenchGame {
    TGameData Game;
    uint64_t Bytes = 0;
    size_t Sources = 0;
};

TBenchGame& Game()
{
    static TBenchGame* game = [] {
        auto* g = new TBenchGame;
        const auto models = SourceModels();
        g->Sources = models.size();
        const fs::path folder = test::TempDir("catalog-bench");
        fs::create_directories(folder / "Dta");
        for (int a = 0; a < kArchives; ++a) {
            std::vector<test::TEntrySpec> entries;
            for (int i = 0; i < kModelsPerArchive; ++i) {
                char name[32];
                std::snprintf(name, sizeof name, "m%04d.p3d", i);
                entries.push_back({name, models[size_t(i) % models.size()]});
            }
            const auto bytes = test::BuildArchive(entries);
            g->Bytes += bytes.size();
            std::ofstream out(folder / "Dta" / ("set" + std::to_string(a) + ".pbo"), std::ios::binary);
            out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        }
        g->Game.GameFolder = PathToUtf8(folder);
        g->Game.PbList.OpenGameArchives(g->Game.GameFolder);
        return g;
    }();
    return *game;
}

std::string ScanText(int threads, int* loaded = nullptr)
{
    TMapIconScan scan(Game().Game);
    scan.SetThreads(threads);
    scan.Run();
    if (loaded)
        *loaded = int(std::count_if(scan.Entries().begin(), scan.Entries().end(), [](auto& e) { return e.MapIcon >= 0; }));
    TResources document;
    scan.BuildDocument(document);
    std::string text;
    document.AppendText(text);
    return text;
}

// Baseline: every archive's bytes read once.
void BM_ReadArchives(benchmark::State& state)
{
    const TGameData& game = Game().Game;
    for (auto _ : state) {
        uint64_t total = 0;
        for (int a = 0; a < game.PbList.Count(); ++a) total += ReadBytes(PathFromUtf8(game.PbList.Archive(a)->FileName)).size();
        benchmark::DoNotOptimize(total);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(Game().Bytes));
}

// Baseline of what the machine gives to threads right now: the same fixed
// arithmetic split over one thread or every core (no memory, no locks).
void BM_IdealParallelWork(benchmark::State& state)
{
    TMapIconScan probe(Game().Game);
    probe.SetThreads(int(state.range(0)));
    const int threads = probe.Threads();
    constexpr long kSteps = 200000000;
    for (auto _ : state) {
        std::vector<std::thread> pool;
        std::vector<double> sums(static_cast<size_t>(threads), 0.0);
        for (int t = 0; t < threads; ++t)
            pool.emplace_back([&sums, t, threads] {
                double x = 0;
                for (long i = t; i < kSteps; i += threads) x += double(i) * 1e-9;
                sums[size_t(t)] = x;
            });
        for (auto& t : pool) t.join();
        benchmark::DoNotOptimize(sums.data());
    }
    state.counters["threads"] = double(threads);
}

void BM_MapIconScan(benchmark::State& state)
{
    const int threads = int(state.range(0));
    for (auto _ : state) {
        TMapIconScan scan(Game().Game);
        scan.SetThreads(threads);
        scan.Run();
        benchmark::DoNotOptimize(scan.Entries().data());
    }
    state.counters["models"] = double(kArchives * kModelsPerArchive);
    TMapIconScan probe(Game().Game);
    probe.SetThreads(threads);
    state.counters["threads"] = double(probe.Threads());
    state.SetItemsProcessed(int64_t(state.iterations()) * kArchives * kModelsPerArchive);
}

}  // namespace

BENCHMARK(BM_ReadArchives)->Unit(benchmark::kMillisecond)->Iterations(2);
// 1: one thread; 0: every core.
BENCHMARK(BM_IdealParallelWork)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_MapIconScan)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

int main(int argc, char** argv)
{
    return mc::test::RunWindowBenchmarks(argc, argv, [] {
        std::fprintf(stderr, "%d models from %zu sources in %d archives, %.0f MB\n", kArchives * kModelsPerArchive,
                     Game().Sources, kArchives, double(Game().Bytes) / 1e6);
        int loaded = 0;
        if (ScanText(1, &loaded) != ScanText(0)) {
            std::fprintf(stderr, "the trees of one thread and of every core differ\n");
            std::exit(1);
        }
        std::fprintf(stderr, "%d models loaded; the trees of one thread and of every core are equal\n", loaded);
    });
}
