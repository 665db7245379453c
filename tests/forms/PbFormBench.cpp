// The archive manager on large archives: filling the list with a folder of
// 20,000 entries, and building the tree of an archive set of 50,000 entries
// in 200 folders. Baselines in the same run: the same rows built as texts in
// a plain vector.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTreeView>
#include <QTreeWidget>
#include <fstream>

#include "../support/ArchiveBuilder.h"
#include "Archive/PbList.h"
#include "Core/FilePaths.h"
#include "FormsTestSupport.h"
#include "WindowBenchMain.h"
#include "PbFileTypes.h"
#include "PbListModel.h"
#include "Pb_F.h"

using namespace mc;
namespace fs = std::filesystem;

namespace {

constexpr int kFlatEntries = 20000;
constexpr int kSetArchives = 4;
constexpr int kSetFolders = 200;  // 50 per archive
constexpr int kSetEntries = 50000;

void WriteBytes(const fs::path& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

std::string EntryName(const char* folder, int i)
{
    char name[64];
    std::snprintf(name, sizeof name, "%s%05d_%s", folder, i, i % 3 ? "tex.paa" : "model.p3d");
    return name;
}

const fs::path& Folder()
{
    static const fs::path dir = [] {
        fs::path d = test::TempDir("pbform-bench");
        std::vector<test::TEntrySpec> flat;
        for (int i = 0; i < kFlatEntries; ++i) flat.push_back({EntryName("flat\\", i), {1, 2, 3}, 0, 0, 1000000000u});
        WriteBytes(d / "flat.pbo", test::BuildArchive(flat));
        fs::create_directories(d / "set");
        const int perArchive = kSetEntries / kSetArchives, foldersPer = kSetFolders / kSetArchives;
        for (int a = 0; a < kSetArchives; ++a) {
            std::vector<test::TEntrySpec> entries;
            for (int i = 0; i < perArchive; ++i) {
                char folder[32];
                std::snprintf(folder, sizeof folder, "f%02d\\", i % foldersPer);
                entries.push_back({EntryName(folder, i), {1}});
            }
            WriteBytes(d / "set" / ("set" + std::to_string(a) + ".pbo"), test::BuildArchive(entries));
        }
        return d;
    }();
    return dir;
}

struct TRow {
    std::string Name, Type, Size, OriginalSize, Modified, Attributes;
};

// Baseline: the 20,000 rows of the folder as texts in a vector.
void BM_FlatRowsInVector(benchmark::State& state)
{
    TPbList list;
    list.AddArchive(PathToUtf8(Folder() / "flat.pbo"), false);
    TPbFile& archive = *list.Archive(0);
    archive.BuildTree();
    const TPbDirectory& folder = *static_cast<TPbDirectory*>(archive.Root.Items.Object(0));
    for (auto _ : state) {
        std::vector<TRow> rows;
        rows.reserve(size_t(folder.Items.Count()));
        for (int i = 0; i < folder.Items.Count(); ++i) {
            const auto* f = static_cast<const TPbFileItem*>(folder.Items.Object(i));
            rows.push_back({std::string(PbFileNamePart(f->Name)), PbFileType(f->Name).Text, std::to_string(f->DataSize),
                            f->IsPacked() ? std::to_string(f->OriginalSize) : std::string(), f->ModifiedText(),
                            f->IsPacked() ? "packed" : ""});
        }
        benchmark::DoNotOptimize(rows.data());
    }
    state.counters["rows"] = folder.Items.Count();
}

// FillList of the folder of 20,000 entries in a shown window.
void BM_FillList20000(benchmark::State& state)
{
    TPbList list;
    list.AddArchive(PathToUtf8(Folder() / "flat.pbo"), false);
    TPbForm form(TPbGameAccess{&list, {}});
    form.resize(900, 600);
    form.show();
    QApplication::processEvents();
    QTreeWidgetItem* flat = form.TreeView->topLevelItem(0)->child(0);
    QTreeWidgetItem* top = form.TreeView->topLevelItem(0);
    for (auto _ : state) {
        state.PauseTiming();
        form.TreeView->setCurrentItem(top);
        QApplication::processEvents();
        state.ResumeTiming();
        form.TreeView->setCurrentItem(flat);  // FillList
        QApplication::processEvents();        // and the list drawn
    }
    state.counters["rows"] = form.ListModel()->RowCount();
}

// Baseline: the 50,000 entries as (folder, name) rows in a vector.
void BM_SetRowsInVector(benchmark::State& state)
{
    TPbList list;
    list.OpenFolder(PathToUtf8(Folder() / "set"), false);
    for (auto _ : state) {
        std::vector<std::pair<std::string, std::string>> rows;
        rows.reserve(kSetEntries);
        for (int a = 0; a < list.Count(); ++a)
            for (const TPbFileItem* item : list.Archive(a)->Entries()) {
                const size_t slash = item->Name.find_last_of('\\');
                rows.emplace_back(item->Name.substr(0, slash), item->Name.substr(slash + 1));
            }
        benchmark::DoNotOptimize(rows.data());
    }
}

// RefreshAll on freshly opened archives: each archive's folder tree and the
// window's tree of 200 folders.
void BM_TreeOfSet50000(benchmark::State& state)
{
    TPbList list;
    TPbForm form(TPbGameAccess{&list, {}});
    int nodes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        list.CloseAll();
        list.OpenFolder(PathToUtf8(Folder() / "set"), false);
        state.ResumeTiming();
        form.RefreshAll();
        nodes = form.TreeView->topLevelItemCount();
    }
    state.counters["archives"] = nodes;
}

BENCHMARK(BM_FlatRowsInVector)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FillList20000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SetRowsInVector)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TreeOfSet50000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    return mc::test::RunWindowBenchmarks(argc, argv, [] { Folder(); });
}
