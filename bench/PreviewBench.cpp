// One preview frame of the largest real model at 640 x 480, against the same
// vertex buffer drawn as one draw call with one texture and no state changes;
// building a LOD's buffers; switching to a LOD not drawn before.
// MESHCRAFT_BENCH_MODEL names another model to measure the frames on.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "Camera/Camera.h"
#include "Core/AppServices.h"
#include "Core/Stream.h"
#include "DemoTexture.h"
#include "Model/LOD.h"
#include "Model/Model.h"
#include "Model/ModelLoader.h"
#include "ModelRenderer.h"
#include "OffscreenTarget.h"
#include "PreviewCamera.h"
#include "TextureManager.h"
#include "gl/HeadlessGL.h"

namespace {

using namespace mc;

std::string ModelPath()
{
    const char* other = std::getenv("MESHCRAFT_BENCH_MODEL");
    return other && *other ? other : std::string(MESHCRAFT_REALDATA) + "/p3d/tzk210_VME_KJ2000.p3d";
}
constexpr int kWidth = 640, kHeight = 480;

class TSurface : public ICameraSurface {
public:
    int Width() const override { return kWidth; }
    int Height() const override { return kHeight; }
    void SetViewport(const TViewport&) override {}
    void SetProjection(const TMatrix4& p) override { Projection = p; }
    void SetView(const TMatrix4& v) override { View = v; }
    TMatrix4 Projection, View;
};

// Every texture name the same 64 x 64 opaque picture (one shape).
std::vector<uint8_t> UniformTexture(const std::string&)
{
    static const std::vector<uint8_t> paa = demo::EncodePaaArgb4444(
        64, 64, [](int x, int y, int, int) { return 0xFF000000u | uint32_t(x * 4 << 16) | uint32_t(y * 4); });
    return paa;
}

// Each name one of four shapes (64 x 64, 128 x 128, 128 x 64, 256 x 256) by
// its hash, with alpha across it: textures as varied as a real model's.
std::vector<uint8_t> MixedTexture(const std::string& name)
{
    static const int sizes[4][2] = {{64, 64}, {128, 128}, {128, 64}, {256, 256}};
    const auto* size = sizes[std::hash<std::string>{}(name) % 4];
    return demo::EncodePaaArgb4444(size[0], size[1], [](int x, int y, int w, int h) {
        return uint32_t(255 * x / w) << 24 | uint32_t(255 * y / h) << 8 | 0x800000u;
    });
}

using TTextureMaker = std::vector<uint8_t> (*)(const std::string&);

// Everything one process needs, made once: context, renderer, target, the
// model, and a texture cache that gives every name a small texture of its own
// (the model's own textures live in game archives that are not here).
struct TScene {
    std::unique_ptr<THeadlessGLContext> Context;
    std::unique_ptr<TModelRenderer> Renderer;
    std::unique_ptr<TOffscreenTarget> Target;
    std::unique_ptr<TTextureManager> Textures;
    std::unique_ptr<TModel> Model;
    TFrameSettings Frame;
    std::string Error;

    explicit TScene(TTextureMaker makeTexture)
    {
        const std::string model = ModelPath();
        std::error_code ec;
        if (!std::filesystem::exists(model, ec)) {
            Error = "real model not found";
            return;
        }
        Context = THeadlessGLContext::Create(&Error);
        if (!Context) return;
        Renderer = std::make_unique<TModelRenderer>();
        Target = std::make_unique<TOffscreenTarget>();
        if (!Renderer->Initialize(&Error) || !Target->Create(kWidth, kHeight, 0, &Error)) {
            Context.reset();
            return;
        }
        Textures = std::make_unique<TTextureManager>(
            Renderer->TextureDevice(), [makeTexture](const std::string& name) -> std::unique_ptr<TStream> {
                return std::make_unique<TMemoryStream>(makeTexture(name));
            });
        Model = LoadModelFromFile(model);
        if (!Model || Model->LODCount() < 2) {
            Error = "real model does not load";
            Context.reset();
            return;
        }
        TSurface surface;
        TCamera camera(&surface, {0, 0, -10});
        ApplyPreviewCameraSettings(camera);
        FrameModel(camera, Model.get());
        camera.Apply();
        Frame.View = surface.View;
        Frame.Projection = surface.Projection;
    }

    void DrawFrame(int lod)
    {
        Target->Bind();
        Renderer->Clear(0xFF0080C0);
        Renderer->BeginFrame(Frame);
        TDrawParameters params;
        params.Flags = DrawFlag::GivenLOD;
        params.LODIndex = lod;
        params.TextureCache = Textures.get();
        benchmark::DoNotOptimize(Renderer->DrawModel(*Model, params));
        Renderer->EndFrame();
        Renderer->Finish();
    }

    void DrawIdeal()
    {
        Target->Bind();
        Renderer->Clear(0xFF0080C0);
        Renderer->BeginFrame(Frame);
        const TLOD& lod = *Model->LOD(0);
        TDirect3DTexture3* texture = lod.Textures.empty() ? nullptr : Textures->AcquireTexture(lod.Textures[0].Name);
        Renderer->DrawLODAsOneCall(lod, texture);
        if (texture) Textures->ReleaseTextureByName(lod.Textures[0].Name);
        Renderer->EndFrame();
        Renderer->Finish();
    }
};

TScene& Scene()
{
    static TScene scene(UniformTexture);
    return scene;
}

bool Ready(benchmark::State& state, TScene& scene = Scene())
{
    if (scene.Context && scene.Context->MakeCurrent()) return true;
    state.SkipWithError(scene.Error.empty() ? "no GL context" : scene.Error.c_str());
    return false;
}

// Frame and ideal in turns inside one loop, so that both see the same
// machine load: ratio = preview frame / ideal frame.
void MeasureOverIdeal(benchmark::State& state, TScene& scene)
{
    using Clock = std::chrono::steady_clock;
    scene.DrawFrame(0);
    scene.DrawIdeal();
    double frame = 0, ideal = 0;
    for (auto _ : state) {
        auto t0 = Clock::now();
        scene.DrawFrame(0);
        auto t1 = Clock::now();
        scene.DrawIdeal();
        auto t2 = Clock::now();
        frame += std::chrono::duration<double>(t1 - t0).count();
        ideal += std::chrono::duration<double>(t2 - t1).count();
    }
    state.counters["ratio"] = ideal > 0 ? frame / ideal : 0;
    scene.DrawFrame(0);
    state.counters["draw_calls"] = scene.Renderer->DrawCallsLastFrame();
}

// The ideal: LOD 0's whole index list, one draw call, one texture.
void BM_IdealSingleDrawCall(benchmark::State& state)
{
    if (!Ready(state)) return;
    Scene().DrawFrame(0);  // buffers built outside the loop
    for (auto _ : state) Scene().DrawIdeal();
}
BENCHMARK(BM_IdealSingleDrawCall)->Unit(benchmark::kMillisecond);

// One preview frame of LOD 0: a draw call per run of equal texture and flags.
void BM_PreviewFrame(benchmark::State& state)
{
    if (!Ready(state)) return;
    Scene().DrawFrame(0);
    for (auto _ : state) Scene().DrawFrame(0);
    state.counters["draw_calls"] = Scene().Renderer->DrawCallsLastFrame();
    state.counters["faces"] = Scene().Model->LOD(0)->FaceCount();
}
BENCHMARK(BM_PreviewFrame)->Unit(benchmark::kMillisecond);

// The preview frame over the ideal, in one loop.
void BM_PreviewFrameOverIdeal(benchmark::State& state)
{
    if (Ready(state)) MeasureOverIdeal(state, Scene());
}
BENCHMARK(BM_PreviewFrameOverIdeal)->Unit(benchmark::kMillisecond);

// The frame drawn run by run (a draw call and its state per run of equal
// texture and flags), for what joining runs saves.
void BM_PreviewFrameRunByRunOverIdeal(benchmark::State& state)
{
    if (!Ready(state)) return;
    Scene().Frame.RunByRun = true;
    MeasureOverIdeal(state, Scene());
    Scene().Frame.RunByRun = false;
}
BENCHMARK(BM_PreviewFrameRunByRunOverIdeal)->Unit(benchmark::kMillisecond);

// The same with textures of four shapes and with alpha: faces whose textures
// differ in shape cannot share a draw call. (A context of its own.)
void BM_PreviewFrameOverIdealMixedTextures(benchmark::State& state)
{
    static TScene scene(MixedTexture);
    if (Ready(state, scene)) MeasureOverIdeal(state, scene);
}
BENCHMARK(BM_PreviewFrameOverIdealMixedTextures)->Unit(benchmark::kMillisecond);

// Building LOD 0's vertex and index buffers and taking its textures.
void BM_BuildLODBuffers(benchmark::State& state)
{
    if (!Ready(state)) return;
    TScene& s = Scene();
    for (auto _ : state) {
        s.Renderer->ReleaseAll();
        s.Renderer->PrepareLOD(*s.Model->LOD(0), s.Textures.get());
        s.Renderer->Finish();
    }
}
BENCHMARK(BM_BuildLODBuffers)->Unit(benchmark::kMillisecond);

// Switching LOD: the first frame of LOD 1 after LOD 0, buffers built on the way.
void BM_SwitchLOD(benchmark::State& state)
{
    if (!Ready(state)) return;
    TScene& s = Scene();
    s.DrawFrame(0);
    for (auto _ : state) {
        state.PauseTiming();
        s.Renderer->ReleaseAll();
        s.DrawFrame(0);
        state.ResumeTiming();
        s.DrawFrame(1);
    }
}
BENCHMARK(BM_SwitchLOD)->Unit(benchmark::kMillisecond);

}  // namespace
