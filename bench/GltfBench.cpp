// glTF export of the largest real model (every LOD), against reading its
// file and against loading the model; and the exact decoding of a real DXT1
// texture against the display images made of it.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>

#include "Core/Stream.h"
#include "Export/GltfExport.h"
#include "Model/Model.h"
#include "Model/ModelLoader.h"
#include "Texture/Texture.h"
#include "Texture/TextureLoadOptions.h"
#include "Texture/TextureRgba.h"

namespace {

const std::string kModel = std::string(MESHCRAFT_REALDATA) + "/p3d/tzk210_VME_KJ2000.p3d";
const std::string kTexture = std::string(MESHCRAFT_REALDATA) + "/pac/tzk210_METAL7.pac";

bool Available(benchmark::State& state, const std::string& file)
{
    std::error_code ec;
    if (std::filesystem::exists(file, ec)) return true;
    state.SkipWithError("real file not found");
    return false;
}

// Baseline: the file read into memory.
void BM_ReadModelFile(benchmark::State& state)
{
    if (!Available(state, kModel)) return;
    std::vector<uint8_t> bytes;
    for (auto _ : state) {
        mc::ReadWholeFile(kModel, bytes);
        benchmark::DoNotOptimize(bytes.data());
    }
}
BENCHMARK(BM_ReadModelFile)->Unit(benchmark::kMillisecond);

// Baseline: the model loaded from memory.
void BM_LoadModel(benchmark::State& state)
{
    if (!Available(state, kModel)) return;
    std::vector<uint8_t> bytes;
    mc::ReadWholeFile(kModel, bytes);
    for (auto _ : state) {
        auto model = mc::LoadModelFromMemory(bytes.data(), bytes.size(), kModel);
        benchmark::DoNotOptimize(model.get());
    }
}
BENCHMARK(BM_LoadModel)->Unit(benchmark::kMillisecond);

// The export of every LOD into memory (no textures: the model's are not here).
void BM_GltfExportAllLODs(benchmark::State& state)
{
    if (!Available(state, kModel)) return;
    auto model = mc::LoadModelFromFile(kModel);
    if (!model) return state.SkipWithError("model refused");
    mc::TGltfExportOptions options;
    options.AllLODs = true;
    std::vector<uint8_t> glb;
    for (auto _ : state) {
        mc::BuildGltf(*model, options, nullptr, glb);
        benchmark::DoNotOptimize(glb.data());
    }
    state.counters["bytes"] = double(glb.size());
}
BENCHMARK(BM_GltfExportAllLODs)->Unit(benchmark::kMillisecond);

void BM_GltfExportLOD0(benchmark::State& state)
{
    if (!Available(state, kModel)) return;
    auto model = mc::LoadModelFromFile(kModel);
    if (!model) return state.SkipWithError("model refused");
    std::vector<uint8_t> glb;
    for (auto _ : state) {
        mc::BuildGltf(*model, {}, nullptr, glb);
        benchmark::DoNotOptimize(glb.data());
    }
}
BENCHMARK(BM_GltfExportLOD0)->Unit(benchmark::kMillisecond);

std::unique_ptr<mc::TTexture> LoadTexture(const std::vector<uint8_t>& bytes, uint32_t options)
{
    auto t = std::make_unique<mc::TTexture>();
    mc::TMemoryReader in(bytes.data(), bytes.size());
    if (!t->Load(in, options)) return nullptr;
    return t;
}

// Baseline: the display images the windows show.
void BM_TextureDisplayImages(benchmark::State& state)
{
    if (!Available(state, kTexture)) return;
    std::vector<uint8_t> bytes;
    mc::ReadWholeFile(kTexture, bytes);
    for (auto _ : state) benchmark::DoNotOptimize(LoadTexture(bytes, mc::TextureLoad::FirstLevelOnly).get());
}
BENCHMARK(BM_TextureDisplayImages)->Unit(benchmark::kMicrosecond);

void BM_TextureExactRgba(benchmark::State& state)
{
    if (!Available(state, kTexture)) return;
    std::vector<uint8_t> bytes;
    mc::ReadWholeFile(kTexture, bytes);
    mc::TRgbaImage image;
    for (auto _ : state) {
        auto t = LoadTexture(bytes, mc::TextureLoad::AsStored | mc::TextureLoad::FirstLevelOnly);
        mc::DecodeLevelToRgba(*t, *t->Level(0), image);
        benchmark::DoNotOptimize(image.Bytes());
    }
}
BENCHMARK(BM_TextureExactRgba)->Unit(benchmark::kMicrosecond);

}  // namespace
