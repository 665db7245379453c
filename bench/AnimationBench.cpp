// RTM reading and writing, and posing the largest real model, against
// copying the same bytes with memcpy.
#include <benchmark/benchmark.h>

#include <cstring>
#include <filesystem>
#include <memory>

#include "Animation/Animation.h"
#include "Core/AppServices.h"
#include "Core/Stream.h"
#include "Model/Model.h"
#include "Model/ModelLoader.h"
#include "Model/Pose.h"

namespace {

const std::string kModel = std::string(MESHCRAFT_REALDATA) + "/p3d/tzk210_VME_KJ2000.p3d";

// 120 bones, 300 frames: about 2.9 MB, a long animation of a detailed skeleton.
const std::vector<uint8_t>& LargeRtm()
{
    static const std::vector<uint8_t> bytes = [] {
        mc::TAnimation a;
        for (int b = 0; b < 120; ++b) a.AddBone("bone" + std::to_string(b));
        for (int f = 0; f < 300; ++f) a.AddFrame();
        for (int f = 0; f < 300; ++f)
            for (auto& m : a.Frame(f)->Matrices) m = mc::TMatrix4::Translation({float(f), 1, 2});
        mc::TMemoryStream out;
        a.SaveToStream(out);
        return out.TakeBytes();
    }();
    return bytes;
}

void BM_MemcpyRtm(benchmark::State& state)
{
    const auto& bytes = LargeRtm();
    std::vector<uint8_t> copy(bytes.size());
    for (auto _ : state) {
        std::memcpy(copy.data(), bytes.data(), bytes.size());
        benchmark::DoNotOptimize(copy.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_MemcpyRtm);

void BM_RtmLoad(benchmark::State& state)
{
    const auto& bytes = LargeRtm();
    for (auto _ : state) {
        mc::TAnimation a;
        mc::TMemoryReader in(bytes.data(), bytes.size());
        if (!a.LoadFromStream(in)) state.SkipWithError("refused");
        benchmark::DoNotOptimize(a.Frame(0));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_RtmLoad);

void BM_RtmSave(benchmark::State& state)
{
    const auto& bytes = LargeRtm();
    mc::TAnimation a;
    mc::TMemoryReader in(bytes.data(), bytes.size());
    a.LoadFromStream(in);
    for (auto _ : state) {
        mc::TMemoryStream out;
        a.SaveToStream(out);
        benchmark::DoNotOptimize(out.Bytes().data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_RtmSave);

// The same into one stream kept from run to run: the writer without the
// growing of a fresh stream.
void BM_RtmSaveReusedStream(benchmark::State& state)
{
    const auto& bytes = LargeRtm();
    mc::TAnimation a;
    mc::TMemoryReader in(bytes.data(), bytes.size());
    a.LoadFromStream(in);
    mc::TMemoryStream out;
    for (auto _ : state) {
        out.Clear();
        a.SaveToStream(out);
        benchmark::DoNotOptimize(out.Bytes().data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_RtmSaveReusedStream);

struct TPoseFixture {
    std::unique_ptr<mc::TModel> Model;
    mc::TAnimation Animation;
    size_t ArrayBytes = 0;  // positions and normals of every LOD
};

// The model with one bone per selection name, each turned a little.
TPoseFixture* PoseFixture()
{
    static std::unique_ptr<TPoseFixture> fixture = [] {
        auto f = std::make_unique<TPoseFixture>();
        std::error_code ec;
        if (!std::filesystem::exists(kModel, ec)) return std::unique_ptr<TPoseFixture>();
        f->Model = mc::LoadModelFromFile(kModel);
        if (!f->Model) return std::unique_ptr<TPoseFixture>();
        for (const auto& lod : f->Model->LODs) {
            for (const auto& s : lod->Selections) f->Animation.AddBone(s->Name);
            f->ArrayBytes += lod->Positions.size() * 12 * 2;
        }
        f->Animation.AddFrame();
        for (auto& m : f->Animation.Frame(0)->Matrices) m = mc::RotationAboutAxis({0, 1, 0}, 0.1f);
        f->Animation.CurrentFrameIndex = 0;
        return f;
    }();
    return fixture.get();
}

// Baseline: copying the positions and normals of every LOD once.
void BM_MemcpyModelArrays(benchmark::State& state)
{
    TPoseFixture* f = PoseFixture();
    if (!f) return state.SkipWithError("real model not found");
    std::vector<uint8_t> copy(f->ArrayBytes);
    for (auto _ : state) {
        size_t at = 0;
        for (const auto& lod : f->Model->LODs) {
            const size_t n = lod->Positions.size() * 12;
            std::memcpy(copy.data() + at, lod->Positions.data(), n);
            std::memcpy(copy.data() + at + n, lod->Normals.data(), n);
            at += 2 * n;
        }
        benchmark::DoNotOptimize(copy.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * f->ArrayBytes));
}
BENCHMARK(BM_MemcpyModelArrays);

// One pose of the whole model (after the first, which takes the backups).
void BM_PoseModel(benchmark::State& state)
{
    TPoseFixture* f = PoseFixture();
    if (!f) return state.SkipWithError("real model not found");
    mc::SetAppServices(nullptr);
    for (auto _ : state) {
        f->Animation.ApplyToModel(f->Model.get());
        benchmark::DoNotOptimize(f->Model->LODs[0]->Positions.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * f->ArrayBytes));
    mc::EndAnimation(*f->Model);
}
BENCHMARK(BM_PoseModel)->Unit(benchmark::kMicrosecond);

}  // namespace
