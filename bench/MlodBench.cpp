// Reading editable models, each converted LOD by LOD to the held form, and
// writing models back in the editable form, against merely reading or
// copying the same bytes.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

#include "Core/Stream.h"
#include "Model/Mlod.h"
#include "Model/Model.h"
#include "Model/ModelLoader.h"
#include "Model/Odol.h"

namespace {

const std::string kEditableModel = std::string(MESHCRAFT_REALDATA) + "/p3d/tzk110_tomahawk.p3d";
const std::string kOdolModel = std::string(MESHCRAFT_REALDATA) + "/p3d/tzk210_VME_KJ2000.p3d";

bool Available(benchmark::State& state, const std::string& path)
{
    std::error_code ec;
    if (std::filesystem::exists(path, ec)) return true;
    state.SkipWithError("real model not found");
    return false;
}

// ---- A generated editable model: one LOD of 250 x 240 quads ----------------

constexpr int kColumns = 250, kRows = 240;  // 60,000 faces, 60,491 points
constexpr int kSeamEvery = 50;              // texture seams split the points on them

void Put(std::vector<uint8_t>& b, const void* p, size_t n)
{
    b.insert(b.end(), static_cast<const uint8_t*>(p), static_cast<const uint8_t*>(p) + n);
}
void Put32(std::vector<uint8_t>& b, uint32_t v) { Put(b, &v, 4); }
void PutF(std::vector<uint8_t>& b, float v) { Put(b, &v, 4); }
void PutFixed(std::vector<uint8_t>& b, const std::string& text, size_t width)
{
    std::vector<uint8_t> field(width, 0);
    std::memcpy(field.data(), text.data(), std::min(text.size(), width - 1));
    Put(b, field.data(), width);
}

// A rolling terrain with a normal per point, eight textures in bands whose
// texture coordinates restart at every seam, two selections and a property.
std::vector<uint8_t> GeneratedMlod()
{
    const uint32_t np = (kColumns + 1) * (kRows + 1), nf = kColumns * kRows;
    const auto point = [](int x, int z) { return static_cast<uint32_t>(z * (kColumns + 1) + x); };
    std::vector<uint8_t> b;
    b.reserve(nf * 104 + np * 30 + 4096);
    Put(b, "MLOD", 4);
    Put32(b, mc::kMlodVersion);
    Put32(b, 1);
    Put(b, "SP3X", 4);
    for (uint32_t v : {28u, 153u, np, np, nf, 0u}) Put32(b, v);
    const auto height = [](int x, int z) { return std::sin(x * 0.1f) * std::cos(z * 0.13f) * 3.0f; };
    for (int z = 0; z <= kRows; ++z)
        for (int x = 0; x <= kColumns; ++x) {
            PutF(b, static_cast<float>(x));
            PutF(b, height(x, z));
            PutF(b, static_cast<float>(z));
            Put32(b, (x + z) % 97 == 0 ? 0x10 : 0);
        }
    for (int z = 0; z <= kRows; ++z)
        for (int x = 0; x <= kColumns; ++x) {
            const float dx = height(x + 1, z) - height(x - 1, z), dz = height(x, z + 1) - height(x, z - 1);
            const float len = std::sqrt(dx * dx + 4 + dz * dz);
            PutF(b, -dx / len);
            PutF(b, 2 / len);
            PutF(b, -dz / len);
        }
    for (int z = 0; z < kRows; ++z)
        for (int x = 0; x < kColumns; ++x) {
            PutFixed(b, "data\\band" + std::to_string(z * 8 / kRows) + ".paa", 32);
            Put32(b, 4);
            const int seam = x / kSeamEvery * kSeamEvery;
            for (auto [cx, cz] : {std::pair(x, z), std::pair(x, z + 1), std::pair(x + 1, z + 1), std::pair(x + 1, z)}) {
                Put32(b, point(cx, cz));
                Put32(b, point(cx, cz));
                PutF(b, static_cast<float>(cx - seam) / kSeamEvery);
                PutF(b, static_cast<float>(cz) / kRows);
            }
            Put32(b, 0);
        }
    Put(b, "TAGG", 4);
    for (const char* name : {"left half", "proxy:marker.1"}) {
        PutFixed(b, name, 64);
        Put32(b, np + nf);
        std::vector<uint8_t> bytes(np + nf, 0);
        if (name[0] == 'l') {
            for (int z = 0; z <= kRows; ++z)
                for (int x = 0; x <= kColumns / 2; ++x) bytes[point(x, z)] = 1;
            for (int z = 0; z < kRows; ++z)
                for (int x = 0; x < kColumns / 2; ++x) bytes[np + static_cast<uint32_t>(z * kColumns + x)] = 1;
        } else {
            for (uint32_t p : {point(0, 0), point(0, 1), point(1, 1), point(1, 0)}) bytes[p] = 1;
            bytes[np] = 1;
        }
        Put(b, bytes.data(), bytes.size());
    }
    PutFixed(b, "#Property#", 64);
    Put32(b, 128);
    PutFixed(b, "class", 64);
    PutFixed(b, "house", 64);
    PutFixed(b, "#EndOfFile#", 64);
    Put32(b, 0);
    PutF(b, 1.0f);
    return b;
}

const std::vector<uint8_t>& Generated()
{
    static const std::vector<uint8_t> bytes = GeneratedMlod();
    return bytes;
}

const std::string& GeneratedFile()
{
    static const std::string path = [] {
        const auto p = std::filesystem::temp_directory_path() / "meshcraft_bench_generated.p3d";
        mc::TFileStream out;
        if (out.Open(p.string(), mc::TFileStream::Mode::Create)) {
            out.Write(Generated().data(), Generated().size());
            out.Close();
        }
        return p.string();
    }();
    return path;
}

void Baseline(benchmark::State& state, const std::vector<uint8_t>& bytes)
{
    std::vector<uint8_t> copy(bytes.size());
    for (auto _ : state) {
        std::memcpy(copy.data(), bytes.data(), bytes.size());
        benchmark::DoNotOptimize(copy.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}

void ReadFile(benchmark::State& state, const std::string& path)
{
    std::vector<uint8_t> bytes;
    for (auto _ : state) {
        mc::ReadWholeFile(path, bytes);
        benchmark::DoNotOptimize(bytes.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}

// As a loader reads: into a new buffer each time, so that the memory is
// fresh as it is for a model opened once.
void ReadFileFresh(benchmark::State& state, const std::string& path)
{
    size_t size = 0;
    for (auto _ : state) {
        std::vector<uint8_t> bytes;
        mc::ReadWholeFile(path, bytes);
        size = bytes.size();
        benchmark::DoNotOptimize(bytes.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * size));
}

void Load(benchmark::State& state, const std::vector<uint8_t>& bytes)
{
    for (auto _ : state) {
        auto model = mc::LoadModelFromMemory(bytes.data(), bytes.size(), "bench.p3d");
        if (!model) return state.SkipWithError("model refused");
        benchmark::DoNotOptimize(model.get());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}

// ---- The real editable model ------------------------------------------------

void BM_RealMlod_Memcpy(benchmark::State& state)
{
    if (!Available(state, kEditableModel)) return;
    std::vector<uint8_t> bytes;
    mc::ReadWholeFile(kEditableModel, bytes);
    Baseline(state, bytes);
}
BENCHMARK(BM_RealMlod_Memcpy)->Unit(benchmark::kMicrosecond);

void BM_RealMlod_ReadFile(benchmark::State& state)
{
    if (Available(state, kEditableModel)) ReadFile(state, kEditableModel);
}
BENCHMARK(BM_RealMlod_ReadFile)->Unit(benchmark::kMicrosecond);

void BM_RealMlod_ReadFileFresh(benchmark::State& state)
{
    if (Available(state, kEditableModel)) ReadFileFresh(state, kEditableModel);
}
BENCHMARK(BM_RealMlod_ReadFileFresh)->Unit(benchmark::kMicrosecond);

// Reading and converting every LOD, from the bytes in memory.
void BM_RealMlod_Convert(benchmark::State& state)
{
    if (!Available(state, kEditableModel)) return;
    std::vector<uint8_t> bytes;
    mc::ReadWholeFile(kEditableModel, bytes);
    Load(state, bytes);
}
BENCHMARK(BM_RealMlod_Convert)->Unit(benchmark::kMicrosecond);

// The whole road from disk: the file read, then converted.
void BM_RealMlod_LoadFile(benchmark::State& state)
{
    if (!Available(state, kEditableModel)) return;
    for (auto _ : state) {
        auto model = mc::LoadModelFromFile(kEditableModel);
        if (!model) return state.SkipWithError("model refused");
        benchmark::DoNotOptimize(model.get());
    }
}
BENCHMARK(BM_RealMlod_LoadFile)->Unit(benchmark::kMicrosecond);

// ---- The generated 60,000-face model ---------------------------------------

void BM_Generated_Memcpy(benchmark::State& state) { Baseline(state, Generated()); }
BENCHMARK(BM_Generated_Memcpy)->Unit(benchmark::kMillisecond);

void BM_Generated_ReadFile(benchmark::State& state) { ReadFile(state, GeneratedFile()); }
BENCHMARK(BM_Generated_ReadFile)->Unit(benchmark::kMillisecond);

void BM_Generated_ReadFileFresh(benchmark::State& state) { ReadFileFresh(state, GeneratedFile()); }
BENCHMARK(BM_Generated_ReadFileFresh)->Unit(benchmark::kMillisecond);

void BM_Generated_Convert(benchmark::State& state) { Load(state, Generated()); }
BENCHMARK(BM_Generated_Convert)->Unit(benchmark::kMillisecond);

void BM_Generated_LoadFile(benchmark::State& state)
{
    for (auto _ : state) {
        auto model = mc::LoadModelFromFile(GeneratedFile());
        if (!model) return state.SkipWithError("model refused");
        benchmark::DoNotOptimize(model.get());
    }
}
BENCHMARK(BM_Generated_LoadFile)->Unit(benchmark::kMillisecond);

// The converted model written in the game-ready form.
void BM_Generated_SaveOdol(benchmark::State& state)
{
    auto model = mc::LoadModelFromMemory(Generated().data(), Generated().size(), "bench.p3d");
    if (!model) return state.SkipWithError("model refused");
    for (auto _ : state) {
        mc::TMemoryStream out;
        mc::SaveOdol(*model, out);
        benchmark::DoNotOptimize(out.Bytes().data());
    }
}
BENCHMARK(BM_Generated_SaveOdol)->Unit(benchmark::kMillisecond);

// ---- The largest real ODOL model written in the editable form -------------

std::unique_ptr<mc::TModel> OdolModel()
{
    auto model = mc::LoadModelFromFile(kOdolModel);
    if (model)
        model->SaveFlags = mc::SaveFlags::GroupedVertices | mc::SaveFlags::SharpEdges |
                           mc::SaveFlags::CorrectShining | mc::SaveFlags::CorrectShadow;
    return model;
}

std::vector<uint8_t> EditableBytesOf(const mc::TModel& model)
{
    mc::TMemoryStream out;
    mc::SaveMlod(model, out);
    return out.TakeBytes();
}

// Baseline: copying as many bytes as the editable file has.
void BM_OdolToMlod_Memcpy(benchmark::State& state)
{
    if (!Available(state, kOdolModel)) return;
    auto model = OdolModel();
    if (!model) return state.SkipWithError("model refused");
    Baseline(state, EditableBytesOf(*model));
}
BENCHMARK(BM_OdolToMlod_Memcpy)->Unit(benchmark::kMillisecond);

void BM_OdolToMlod_Save(benchmark::State& state)
{
    if (!Available(state, kOdolModel)) return;
    auto model = OdolModel();
    if (!model) return state.SkipWithError("model refused");
    size_t written = 0;
    for (auto _ : state) {
        mc::TMemoryStream out;
        mc::SaveMlod(*model, out);
        written = out.Bytes().size();
        benchmark::DoNotOptimize(out.Bytes().data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * written));
}
BENCHMARK(BM_OdolToMlod_Save)->Unit(benchmark::kMillisecond);

// Reading that editable file back, every LOD converted again.
void BM_OdolToMlod_ReadBack(benchmark::State& state)
{
    if (!Available(state, kOdolModel)) return;
    auto model = OdolModel();
    if (!model) return state.SkipWithError("model refused");
    Load(state, EditableBytesOf(*model));
}
BENCHMARK(BM_OdolToMlod_ReadBack)->Unit(benchmark::kMillisecond);

}  // namespace
