#include <cstdio>
#include <filesystem>
#include <iostream>
#include <system_error>

#include "Archive/PbList.h"
#include "CliCommon.h"
#include "Commands.h"
#include "Core/FilePaths.h"
#include "Core/Stream.h"
#include "Core/Strings.h"
#include "Model/Model.h"
#include "Model/ModelChecks.h"
#include "Model/ModelLoader.h"
#include "Model/ObjExport.h"
#include "Game/GameData.h"
#include "ModelJson.h"
#include "Texture/TextureHeaderLookup.h"
#include "jpeg/ProgramJpegDecoder.h"

namespace mc::cli {

namespace {

std::string Vec(const Vector3& v) { return Format("%.4f, %.4f, %.4f", v.x, v.y, v.z); }

void PrintInfoText(const TModel& m)
{
    const bool odol = m.Signature == kSignatureODOL;
    std::printf("File: %s\n", m.FileName.c_str());
    std::printf("Format: %s version %d\n", odol ? "ODOL" : "MLOD", odol ? 7 : 257);
    std::printf("LODs: %d\n", m.LODCount());
    std::printf("  %3s  %-34s %12s %8s %8s %8s %6s %6s %6s %6s %6s\n", "#", "Name", "Resolution", "Points",
                "Vertices", "Faces", "Tex", "Sel", "Proxy", "Props", "Frames");
    for (int i = 0; i < m.LODCount(); ++i) {
        const TLOD& l = *m.LOD(i);
        std::printf("  %3d  %-34s %12g %8d %8d %8d %6d %6d %6d %6zu %6d\n", i, l.Name().c_str(),
                    static_cast<double>(l.Resolution), l.PointCount(), l.VertexCount(), l.FaceCount(),
                    l.TextureCount(), l.SelectionCount(), l.ProxyCount(), l.PropertyNames.size(), l.FrameCount());
    }
    std::printf("Special LODs:\n");
    for (int k = 0; k < kSpecialLODKindCount; ++k) {
        const int index = m.SpecialLOD(k);
        if (index >= 0) std::printf("  %-30s %d\n", SpecialKindName(k).c_str(), index);
    }
    std::printf("Map icon: %d (%s)\n", m.MapIcon, MapIconName(m.MapIcon).c_str());
    std::printf("Map icon colours: %s, selected %s\n", ColorText(m.MapIconColor).c_str(),
                ColorText(m.MapIconSelectedColor).c_str());
    std::printf("Bounding box: (%s) .. (%s), radius %.4f\n", Vec(m.RangeA).c_str(), Vec(m.RangeB).c_str(),
                static_cast<double>(m.BoundingRadius));
    std::printf("Model offset: (%s)\n", Vec(m.ModelOffset).c_str());
    std::printf("Geometry centre: (%s)\n", Vec(m.GeometryCenter).c_str());
    std::printf("Mass: %.4f, centre of mass (%s)\n", static_cast<double>(m.Mass), Vec(m.MassCenter).c_str());
    std::printf("Aim point: (%s)\n", Vec(m.AimPoint).c_str());
    std::printf("Autocenter: %s\n", m.InfoFlags[0] ? "yes" : "no");
}

int RunInfo(const TArgs& args)
{
    auto model = LoadModelOrReport(args.Positional[0]);
    if (!model) return ExitRefused;
    if (args.Has("--json"))
        PrintJson(ModelInfoJson(*model));
    else
        PrintInfoText(*model);
    return ExitOk;
}

int RunDump(const TArgs& args)
{
    if (!args.Has("--json")) throw EUsage("dump writes JSON only: give --json");
    auto model = LoadModelOrReport(args.Positional[0]);
    if (!model) return ExitRefused;
    PrintJson(ModelDumpJson(*model));
    return ExitOk;
}

// The converter options of the program's Options > Converter menu, each a
// flag pair --NAME / --no-NAME; the defaults are the menu's initial marks.
struct TConverterOption {
    const char* Name;
    uint32_t Bit;
    bool InitiallyOn;
};

constexpr TConverterOption kConverterOptions[] = {
    {"grouped-vertices", SaveFlags::GroupedVertices, true},
    {"sharp-edges", SaveFlags::SharpEdges, true},
    {"animation", SaveFlags::Animation, false},
    {"correct-shining", SaveFlags::CorrectShining, true},
    {"correct-shadow", SaveFlags::CorrectShadow, true},
};

std::set<std::string> ConverterFlags()
{
    std::set<std::string> flags;
    for (const TConverterOption& o : kConverterOptions) {
        flags.insert(std::string("--") + o.Name);
        flags.insert(std::string("--no-") + o.Name);
    }
    return flags;
}

uint32_t SaveFlagsFrom(const TArgs& args)
{
    uint32_t flags = 0;
    for (const TConverterOption& o : kConverterOptions) {
        const bool on = args.Has(std::string("--") + o.Name), off = args.Has(std::string("--no-") + o.Name);
        if (on && off) throw EUsage(std::string("give either --") + o.Name + " or --no-" + o.Name);
        if (on || (o.InitiallyOn && !off)) flags |= o.Bit;
    }
    return flags;
}

// The archives of --archives, as the program has the game's: a game folder
// (with Dta or AddOns inside) is opened as the program opens the game, any
// other folder's own archives as game archives. Texture headers are then
// looked up in them while an editable model is converted.
std::unique_ptr<TGameData> OpenGameData(const TArgs& args)
{
    auto game = GameDataFromArgs(args);
    if (game && game->PbList.Count() > 0) InstallProgramJpegDecoder();
    return game;
}

int RunConvert(const TArgs& args)
{
    const std::string to = args.Option("--to");
    if (to.empty()) throw EUsage("give the target form with --to mlod or --to odol");
    if (to != "odol" && to != "mlod") throw EUsage("unknown target form \"" + to + "\" (give mlod or odol)");
    const uint32_t flags = SaveFlagsFrom(args);
    const auto game = OpenGameData(args);
    if (!game) return ExitRefused;
    auto model = LoadModelOrReport(args.Positional[0], game.get());
    if (!model) return ExitRefused;
    model->SaveFlags = flags;
    std::string error;
    const bool saved = to == "odol" ? SaveModelOdolFile(*model, args.Positional[1], &error)
                                    : SaveModelMlodFile(*model, args.Positional[1], &error);
    if (!saved) {
        std::fprintf(stderr, "Cannot save \"%s\": %s\n", args.Positional[1].c_str(), error.c_str());
        return ExitRefused;
    }
    return ExitOk;
}

int RunObj(const TArgs& args)
{
    const uint32_t flags = SaveFlagsFrom(args);
    const auto game = OpenGameData(args);
    if (!game) return ExitRefused;
    auto model = LoadModelOrReport(args.Positional[0], game.get());
    if (!model) return ExitRefused;
    model->SaveFlags |= flags & SaveFlags::GroupedVertices;
    std::string error;
    if (!ExportObj(*model, args.Positional[1], &error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return ExitRefused;
    }
    return ExitOk;
}

int RunCheck(const TArgs& args)
{
    const std::string& which = args.Positional[0];
    TModelCheck check;
    if (which == "mass")
        check = TModelCheck::Mass;
    else if (which == "normals")
        check = TModelCheck::Normals;
    else if (which == "uv")
        check = TModelCheck::UV;
    else
        throw EUsage("unknown check \"" + which + "\" (give mass, normals or uv)");
    const auto game = OpenGameData(args);
    if (!game) return ExitRefused;
    auto model = LoadModelOrReport(args.Positional[1], game.get());
    if (!model) return ExitRefused;
    std::error_code ec;
    const std::string folder =
        args.Options.count("--out") ? args.Option("--out") : PathToUtf8(std::filesystem::current_path(ec));
    std::string error;
    switch (WriteModelCheck(*model, check, folder, &error)) {
    case TCheckResult::Written:
        std::printf("%s\n", PathToUtf8(PathFromUtf8(folder) / ModelCheckFileName(check)).c_str());
        return ExitOk;
    case TCheckResult::NothingToCheck:
        std::fprintf(stderr, "No mass report: \"%s\" has no Geometry LOD with masses\n", args.Positional[1].c_str());
        return ExitRefused;
    case TCheckResult::Failed:
        break;
    }
    std::fprintf(stderr, "Cannot write \"%s\": %s\n", ModelCheckFileName(check), error.c_str());
    return ExitRefused;
}

}  // namespace

namespace {

TArgSpec ConvertSpec()
{
    TArgSpec spec{ConverterFlags(), {"--to", "--archives"}, 2, 2};
    return spec;
}

TArgSpec ObjSpec() { return TArgSpec{{"--grouped-vertices", "--no-grouped-vertices"}, {"--archives"}, 2, 2}; }

std::vector<TCommand> P3dCommands()
{
    return {
        {"p3d", "info", "FILE [--json]", "format, LODs with their counts, derived data, special LODs, map icon",
         TArgSpec{{"--json"}, {}, 1, 1}, RunInfo},
        {"p3d", "dump", "FILE --json", "every array of the model as JSON", TArgSpec{{"--json"}, {}, 1, 1}, RunDump},
        {"p3d", "convert",
         "IN OUT --to mlod|odol [--[no-]grouped-vertices] [--[no-]sharp-edges] [--[no-]animation] "
         "[--[no-]correct-shining] [--[no-]correct-shadow] [--archives DIR]",
         "write the model in either form under the converter options (defaults: all on but --animation, "
         "which keeps stored frames); --archives opens the archives of DIR for texture headers",
         ConvertSpec(), RunConvert},
        {"p3d", "obj", "IN OUT.obj [--[no-]grouped-vertices] [--archives DIR]",
         "export every LOD as Wavefront OBJ text: OUT.0.obj, OUT.1.obj, ...", ObjSpec(), RunObj},
        {"p3d", "check", "mass|normals|uv IN [--out DIR] [--archives DIR]",
         "write the report mass.txt, normals.txt or uv.txt into DIR (default: the current folder)",
         TArgSpec{{}, {"--out", "--archives"}, 2, 2}, RunCheck},
    };
}

const TCommandRegistrar registrar(P3dCommands);

}  // namespace

}  // namespace mc::cli
