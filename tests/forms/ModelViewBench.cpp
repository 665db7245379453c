// Painting the model view's panels for the largest LOD of a large real
// model, against the ideal: one drawLines call with the same number of
// segments into the same image, measured in the same run. Also all four
// panels and one rubber-band move (selection and repaint of every panel).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <ctime>
#include <memory>

#include "Core/FilePaths.h"
#include "FormsTestSupport.h"
#include "WindowBenchMain.h"
#include "Game/GameData.h"
#include "Model/Model.h"
#include "Model/ModelLoader.h"
#include "ModelDocument.h"
#include "ViewPainter.h"
#include "View_F.h"

using namespace mc;

namespace {

constexpr int kWidth = 600, kHeight = 450;

struct TFixture {
    std::unique_ptr<TModel> Model;
    int Largest = 0;
};

TFixture& Fixture()
{
    static TFixture fixture = [] {
        TFixture f;
        const auto path = test::RealFile("p3d/tzk210_VME_KJ2000.p3d");
        if (path.empty()) return f;
        f.Model = LoadModelFromFile(PathToUtf8(path));
        if (!f.Model) return f;
        for (int i = 1; i < f.Model->LODCount(); ++i)
            if (f.Model->LOD(i)->FaceCount() > f.Model->LOD(f.Largest)->FaceCount()) f.Largest = i;
        return f;
    }();
    return fixture;
}

TView PanelView(int kind)
{
    TView view;
    view.Kind = uint8_t(kind);
    view.OriginX = kWidth / 2;
    view.OriginY = kHeight / 2;
    return view;
}

// The ideal: the face segments of the panel, drawn in one call.
void DrawIdeal(QImage& image, const std::vector<QLine>& lines)
{
    QPainter p(&image);
    SetViewPen(p, ViewColors().Face);
    p.drawLines(lines.data(), int(lines.size()));
}

void BM_IdealDrawLines(benchmark::State& state)
{
    TFixture& f = Fixture();
    if (!f.Model) return state.SkipWithError("real data absent");
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    TViewPainter painter;
    painter.Paint(image, PanelView(ViewFront), {f.Model.get(), f.Model->LOD(f.Largest)}, {}, true);
    const std::vector<QLine> lines = painter.FaceLines();
    for (auto _ : state) DrawIdeal(image, lines);
    state.counters["segments"] = double(lines.size());
}

void BM_PaintFrontPanel(benchmark::State& state)
{
    TFixture& f = Fixture();
    if (!f.Model) return state.SkipWithError("real data absent");
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    TViewPainter painter;
    const TViewScene scene{f.Model.get(), f.Model->LOD(f.Largest)};
    const TView view = PanelView(ViewFront);
    for (auto _ : state) painter.Paint(image, view, scene, {}, true);

    // The ideal in the same run, for the ratio (processor time of this
    // thread, so that other work on the machine does not count).
    const std::vector<QLine> lines = painter.FaceLines();
    const auto now = [] {
        timespec t{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
    };
    const auto time = [&](auto&& work) {
        const int reps = 40;
        work();
        const double start = now();
        for (int i = 0; i < reps; ++i) work();
        return (now() - start) / reps;
    };
    const double ideal = time([&] { DrawIdeal(image, lines); });
    const double panel = time([&] { painter.Paint(image, view, scene, {}, true); });
    state.counters["segments"] = double(painter.FaceSegmentCount());
    state.counters["faces"] = double(f.Model->LOD(f.Largest)->FaceCount());
    state.counters["ratio_to_ideal"] = panel / ideal;
}

void BM_PaintFourPanels(benchmark::State& state)
{
    TFixture& f = Fixture();
    if (!f.Model) return state.SkipWithError("real data absent");
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    TViewPainter painter;
    const TViewScene scene{f.Model.get(), f.Model->LOD(f.Largest)};
    const TView views[4] = {PanelView(ViewFront), PanelView(ViewLeft), PanelView(ViewTop), PanelView(View3D)};
    for (auto _ : state)
        for (int i = 0; i < 4; ++i) painter.Paint(image, views[i], scene, {}, i == 0);
}

// A rubber band moved by one step in the Front panel of the window: the
// selection is made again and all four panels are painted.
void BM_RubberBandMove(benchmark::State& state)
{
    const auto path = test::RealFile("p3d/tzk210_VME_KJ2000.p3d");
    if (path.empty() || !Fixture().Model) return state.SkipWithError("real data absent");
    TGameData game;
    TModelDocument document(game);
    TViewForm form(document);
    form.resize(2 * kWidth + 170, 2 * kHeight + 80);
    form.show();
    QApplication::processEvents();
    document.SetModel(LoadModelFromFile(PathToUtf8(path)), PathToUtf8(path));
    document.SelectLOD(Fixture().Largest);
    form.SetSelectionMode(SelectPolygons);
    form.SetActiveView(0);
    const QPoint start(form.Panel(0)->width() / 2 - 150, form.Panel(0)->height() / 2 - 100);
    form.PanelMousePress(0, Qt::LeftButton, start);
    int step = 0;
    for (auto _ : state) {
        form.PanelMouseMove(0, Qt::LeftButton, start + QPoint(200 + step % 40, 150 + step % 30));
        for (int i = 0; i < kViewPanelCount; ++i) form.PaintPanel(i);
        ++step;
    }
    form.PanelMouseRelease(0, Qt::LeftButton, start);
    state.counters["faces"] = double(document.CurrentLOD()->FaceCount());
}

BENCHMARK(BM_IdealDrawLines)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PaintFrontPanel)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PaintFourPanels)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RubberBandMove)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv)
{
    return mc::test::RunWindowBenchmarks(argc, argv);
}
