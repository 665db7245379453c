// Loading the largest real ODOL model, against merely reading its file.
#include <benchmark/benchmark.h>

#include <cstring>
#include <filesystem>
#include <memory>

#include "Core/AppServices.h"
#include "Core/Stream.h"
#include "Lzss/Lzss.h"
#include "Model/Model.h"
#include "Model/ModelLoader.h"
#include "Model/Odol.h"

namespace {

const std::string kModel = std::string(MESHCRAFT_REALDATA) + "/p3d/tzk210_VME_KJ2000.p3d";

bool Available(benchmark::State& state)
{
    std::error_code ec;
    if (std::filesystem::exists(kModel, ec)) return true;
    state.SkipWithError("real model not found");
    return false;
}

// Baseline: the file read into memory.
void BM_ReadFile(benchmark::State& state)
{
    if (!Available(state)) return;
    std::vector<uint8_t> bytes;
    for (auto _ : state) {
        mc::ReadWholeFile(kModel, bytes);
        benchmark::DoNotOptimize(bytes.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_ReadFile)->Unit(benchmark::kMillisecond);

// The whole load from disk: reading and parsing.
void BM_OdolLoadFile(benchmark::State& state)
{
    if (!Available(state)) return;
    for (auto _ : state) {
        auto model = mc::LoadModelFromFile(kModel);
        if (!model) state.SkipWithError("model refused");
        benchmark::DoNotOptimize(model.get());
    }
}
BENCHMARK(BM_OdolLoadFile)->Unit(benchmark::kMillisecond);

// Parsing only, from bytes already in memory.
void BM_OdolParse(benchmark::State& state)
{
    if (!Available(state)) return;
    std::vector<uint8_t> bytes;
    mc::ReadWholeFile(kModel, bytes);
    for (auto _ : state) {
        auto model = mc::LoadModelFromMemory(bytes.data(), bytes.size(), kModel);
        benchmark::DoNotOptimize(model.get());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_OdolParse)->Unit(benchmark::kMillisecond);

void BM_OdolSave(benchmark::State& state)
{
    if (!Available(state)) return;
    auto model = mc::LoadModelFromFile(kModel);
    if (!model) return state.SkipWithError("model refused");
    model->SaveFlags = mc::SaveFlags::Animation;
    for (auto _ : state) {
        mc::TMemoryStream out;
        mc::SaveOdol(*model, out);
        benchmark::DoNotOptimize(out.Bytes().data());
    }
}
BENCHMARK(BM_OdolSave)->Unit(benchmark::kMillisecond);

}  // namespace

namespace {

// The arrays a real model stores compressed (1024 bytes and more), each with
// its compressed form.
struct TModelArrays {
    std::vector<std::vector<uint8_t>> Plain, Packed;
    size_t TotalPlain = 0;

    template <class T>
    void Add(const std::vector<T>& a)
    {
        if (a.size() * sizeof(T) < 1024) return;
        std::vector<uint8_t> bytes(a.size() * sizeof(T));
        std::memcpy(bytes.data(), a.data(), bytes.size());
        std::vector<uint8_t> packed(2 * bytes.size() + 16);
        packed.resize(mc::LzssEncode(bytes.data(), bytes.size(), packed.data(), packed.size()));
        TotalPlain += bytes.size();
        Plain.push_back(std::move(bytes));
        Packed.push_back(std::move(packed));
    }

    explicit TModelArrays(const mc::TModel& m)
    {
        for (const auto& lod : m.LODs) {
            if (lod->Odol) Add(lod->Odol->VertexFlags);
            Add(lod->UVs);
            Add(lod->PointToVertex);
            Add(lod->VertexToPoint);
            Add(lod->Masses);
            for (const auto& s : lod->Selections) {
                Add(s->Faces);
                Add(s->Vertices);
            }
        }
    }
};

const TModelArrays* RealArrays()
{
    static std::unique_ptr<TModelArrays> arrays = [] {
        auto model = mc::LoadModelFromFile(kModel);
        return model ? std::make_unique<TModelArrays>(*model) : nullptr;
    }();
    return arrays.get();
}

void BM_ModelArraysDecode(benchmark::State& state)
{
    const TModelArrays* a = RealArrays();
    if (!a) return state.SkipWithError("real model not found");
    std::vector<uint8_t> out;
    for (auto _ : state)
        for (size_t i = 0; i < a->Plain.size(); ++i) {
            out.resize(a->Plain[i].size());
            mc::LzssDecodeBuffer(a->Packed[i].data(), a->Packed[i].size(), out.data(), out.size());
            benchmark::DoNotOptimize(out.data());
        }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * a->TotalPlain));
}
BENCHMARK(BM_ModelArraysDecode);

void BM_ModelArraysMemcpy(benchmark::State& state)
{
    const TModelArrays* a = RealArrays();
    if (!a) return state.SkipWithError("real model not found");
    std::vector<uint8_t> out;
    for (auto _ : state)
        for (size_t i = 0; i < a->Plain.size(); ++i) {
            out.resize(a->Plain[i].size());
            std::memcpy(out.data(), a->Plain[i].data(), out.size());
            benchmark::DoNotOptimize(out.data());
        }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * a->TotalPlain));
}
BENCHMARK(BM_ModelArraysMemcpy);

void BM_ModelArraysEncode(benchmark::State& state)
{
    const TModelArrays* a = RealArrays();
    if (!a) return state.SkipWithError("real model not found");
    std::vector<uint8_t> out;
    for (auto _ : state)
        for (const auto& plain : a->Plain) {
            out.resize(2 * plain.size() + 16);
            benchmark::DoNotOptimize(mc::LzssEncode(plain.data(), plain.size(), out.data(), out.size()));
        }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * a->TotalPlain));
}
BENCHMARK(BM_ModelArraysEncode)->Unit(benchmark::kMillisecond);

}  // namespace
