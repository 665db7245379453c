// One frame of animation playback as the user sees it on the largest real
// model: the pose (every named selection of the shown LOD a bone), the
// preview's rebuild and redraw, and the model view's four panels repainted.
// Measured in the same run against what it is made of and against copying
// the model's positions (the least any pose must touch), so that the
// figures read as ratios.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstring>
#include <memory>

#include "Animation/Animation.h"
#include "Animation_F.h"
#include "Core/FilePaths.h"
#include "FormsTestSupport.h"
#include "WindowBenchMain.h"
#include "Game/GameData.h"
#include "MPreview_F.h"
#include "Model/LOD.h"
#include "Model/Model.h"
#include "Model/ModelLoader.h"
#include "ModelDocument.h"
#include "PreviewSurface.h"
#include "View_F.h"

using namespace mc;

namespace {

// Every named selection of the LOD a bone, turned a little about its own
// axis in the second frame.
std::unique_ptr<TAnimation> AnimationOf(const TLOD& lod)
{
    auto animation = std::make_unique<TAnimation>();
    for (const auto& selection : lod.Selections) animation->AddBone(selection->Name);
    animation->AddFrame();
    animation->AddFrame();
    for (int b = 0; b < animation->BoneCount(); ++b)
        animation->Frame(1)->Matrices[size_t(b)] = RotationAboutAxis({0, 1, 0}, 0.05f * float(b % 7 + 1));
    return animation;
}

// The windows of the program around one document, joined as the program
// joins them.
struct TWindows {
    TGameData Game;
    TModelDocument Document{Game};
    TViewForm View{Document};
    TMPreviewForm Preview;
    TAnimationForm Animation{Document};
    std::string Error;

    TWindows()
    {
        const auto path = test::RealFile("p3d/tzk210_VME_KJ2000.p3d");
        if (path.empty()) {
            Error = "real data absent";
            return;
        }
        QObject::connect(&Document, &TModelDocument::PoseChanged, &Preview, [this] { Preview.GeometryChanged(); });
        Animation.SetToolBar([this](TViewAnimationCommands c) { View.SetAnimationCommands(std::move(c)); });
        View.resize(2 * 600 + 170, 2 * 450 + 80);
        View.show();
        Preview.show();
        QApplication::processEvents();
        Document.SetModel(LoadModelFromFile(PathToUtf8(path)), PathToUtf8(path));
        Document.SelectLOD(0);
        Preview.SetModel(Document.Model());
        Preview.SetCurrentLOD(0);
        Animation.Attach(AnimationOf(*Document.CurrentLOD()));
        QApplication::processEvents();
        if (!Preview.Surface()->CanDraw()) Error = "no GL renderer";
    }

    void RepaintView()
    {
        for (int i = 0; i < kViewPanelCount; ++i) benchmark::DoNotOptimize(View.PaintPanel(i).bits());
    }
    // paintGL at once: the buffers dropped by a pose are rebuilt, the LOD drawn.
    void RedrawPreview() { benchmark::DoNotOptimize(Preview.Surface()->grabFramebuffer().bits()); }
};

// Made on first use, gone before the application object.
std::unique_ptr<TWindows> g_windows;

TWindows& Windows()
{
    if (!g_windows) g_windows = std::make_unique<TWindows>();
    return *g_windows;
}

bool Ready(benchmark::State& state)
{
    if (Windows().Error.empty()) return true;
    state.SkipWithError(Windows().Error.c_str());
    return false;
}

void Counters(benchmark::State& state)
{
    const TLOD& lod = *Windows().Document.CurrentLOD();
    state.counters["vertices"] = lod.VertexCount();
    state.counters["faces"] = lod.FaceCount();
    state.counters["bones"] = Windows().Animation.Animation()->BoneCount();
}

// The baseline: copying the positions and normals of every LOD once.
void BM_CopyModelPositions(benchmark::State& state)
{
    if (!Ready(state)) return;
    const TModel& model = *Windows().Document.Model();
    std::vector<Vector3> target;
    for (auto _ : state) {
        for (const auto& lod : model.LODs) {
            target.resize(lod->Positions.size() + lod->Normals.size());
            std::memcpy(target.data(), lod->Positions.data(), lod->Positions.size() * sizeof(Vector3));
            std::memcpy(target.data() + lod->Positions.size(), lod->Normals.data(), lod->Normals.size() * sizeof(Vector3));
            benchmark::DoNotOptimize(target.data());
        }
    }
}

// The pose alone: every LOD stepped, the derived data recomputed.
void BM_PoseOnly(benchmark::State& state)
{
    if (!Ready(state)) return;
    TAnimation& animation = *Windows().Animation.Animation();
    int frame = 0;
    for (auto _ : state) {
        animation.CurrentFrameIndex = frame ^= 1;
        animation.ApplyToModel(Windows().Document.Model());
    }
    Counters(state);
}

// The preview redrawn without a new pose (buffers kept).
void BM_PreviewRedrawOnly(benchmark::State& state)
{
    if (!Ready(state)) return;
    Windows().RedrawPreview();
    for (auto _ : state) Windows().RedrawPreview();
}

void BM_ViewRepaintOnly(benchmark::State& state)
{
    if (!Ready(state)) return;
    for (auto _ : state) Windows().RepaintView();
}

// One shown frame: the window steps to the next key frame (pose, the
// document's signal), the preview rebuilds its buffers and draws, the four
// panels repaint.
void BM_ShownFrame(benchmark::State& state)
{
    if (!Ready(state)) return;
    for (auto _ : state) {
        Windows().Animation.Next();
        Windows().RedrawPreview();
        Windows().RepaintView();
    }
    Counters(state);
}

BENCHMARK(BM_CopyModelPositions)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PoseOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PreviewRedrawOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ViewRepaintOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ShownFrame)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    return mc::test::RunWindowBenchmarks(argc, argv, {}, [] { g_windows.reset(); });
}
