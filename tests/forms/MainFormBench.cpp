// Opening a large model in the main window and filling every grid of its
// largest LOD; selecting another LOD. Baselines in the same run: copying the
// file's bytes in memory and reading the file.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTableView>
#include <cstring>
#include <vector>

#include "Core/FilePaths.h"
#include "Core/Stream.h"
#include "FormsTestSupport.h"
#include "WindowBenchMain.h"
#include "Main_F.h"
#include "Model/Model.h"
#include "ProgramWindows.h"

using namespace mc;

namespace {

const std::string& ModelPath()
{
    static const std::string path = PathToUtf8(test::RealFile("p3d/tzk210_VME_KJ2000.p3d"));
    return path;
}

// Made on first use, destroyed before the application object.
std::unique_ptr<TProgram> g_program;
test::TScriptedDialogs* g_dialogs = nullptr;

TMainForm* Form()
{
    if (!g_program) {
        g_program = std::make_unique<TProgram>();
        TMainForm& form = g_program->MainWindow();
        test::StartQuietly(form, *g_dialogs);
        form.resize(900, 700);
        form.show();
        QApplication::processEvents();
    }
    return &g_program->MainWindow();
}

QTableView* Grid(const TMainForm& form, const char* name)
{
    return form.findChild<QTableView*>(QString::fromLatin1(name));
}

int LargestLOD(const TModel& model)
{
    int best = 0;
    for (int i = 1; i < model.LODCount(); ++i)
        if (model.LODs[size_t(i)]->FaceCount() > model.LODs[size_t(best)]->FaceCount()) best = i;
    return best;
}

// Shows each grid page once and paints it, as a user paging through would.
void PaintGrids(TMainForm& form)
{
    const std::pair<int, QTableView*> grids[] = {{PageVertices, Grid(form, "StringGrid_Vertices")},
                                                 {PagePolygons, Grid(form, "StringGrid_Polygons")},
                                                 {PageTextures, Grid(form, "StringGrid_Textures")},
                                                 {PageProperties, Grid(form, "StringGrid_Properties")}};
    for (const auto& [page, grid] : grids) {
        form.ShowPage(page);
        grid->viewport()->repaint();
    }
}

void BM_MemcpyModelBytes(benchmark::State& state)
{
    std::vector<uint8_t> bytes;
    if (ModelPath().empty() || !ReadWholeFile(ModelPath(), bytes)) return state.SkipWithError("real data absent");
    std::vector<uint8_t> copy(bytes.size());
    for (auto _ : state) {
        std::memcpy(copy.data(), bytes.data(), bytes.size());
        benchmark::DoNotOptimize(copy.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes.size()));
}

void BM_ReadModelFile(benchmark::State& state)
{
    std::vector<uint8_t> bytes;
    if (ModelPath().empty()) return state.SkipWithError("real data absent");
    for (auto _ : state) {
        ReadWholeFile(ModelPath(), bytes);
        benchmark::DoNotOptimize(bytes.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes.size()));
}

void BM_OpenModelAndFillLargestLOD(benchmark::State& state)
{
    if (ModelPath().empty()) return state.SkipWithError("real data absent");
    TMainForm& form = *Form();
    for (auto _ : state) {
        form.OpenModel(ModelPath(), TModelSource::File);
        form.Document().SelectLOD(LargestLOD(*form.Document().Model()));
        PaintGrids(form);
    }
    state.counters["faces"] = form.Document().Model()->LODs[size_t(LargestLOD(*form.Document().Model()))]->FaceCount();
}

void BM_SelectAnotherLOD(benchmark::State& state)
{
    if (ModelPath().empty()) return state.SkipWithError("real data absent");
    TMainForm& form = *Form();
    form.OpenModel(ModelPath(), TModelSource::File);
    const int largest = LargestLOD(*form.Document().Model());
    const int other = largest == 0 ? 1 : 0;
    form.ShowPage(PagePolygons);
    QTableView* polygons = Grid(form, "StringGrid_Polygons");
    bool flip = false;
    for (auto _ : state) {
        form.Document().SelectLOD(flip ? largest : other);
        polygons->viewport()->repaint();
        flip = !flip;
    }
}

BENCHMARK(BM_MemcpyModelBytes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadModelFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenModelAndFillLargestLOD)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SelectAnotherLOD)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    std::unique_ptr<test::TScriptedDialogs> dialogs;
    return test::RunWindowBenchmarks(
        argc, argv,
        [&] {
            dialogs = std::make_unique<test::TScriptedDialogs>();
            g_dialogs = dialogs.get();
        },
        [] { g_program.reset(); });
}
