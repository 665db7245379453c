#include <cstdio>
#include <iostream>

#include "Commands.h"
#include "Core/Stream.h"
#include "Core/Strings.h"
#include "Model/Model.h"
#include "Model/ModelLoader.h"
#include "ModelJson.h"

namespace mc::cli {

namespace {

// The loader logs why a file is refused; a file that cannot be opened gets
// its own line here.
std::unique_ptr<TModel> LoadOrReport(const std::string& path)
{
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(path, bytes)) {
        std::fprintf(stderr, "Cannot open \"%s\"\n", path.c_str());
        return nullptr;
    }
    return LoadModelFromMemory(bytes.data(), bytes.size(), path);
}

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

void PrintJson(const nlohmann::ordered_json& j)
{
    const std::string text = j.dump(1, ' ', false, nlohmann::json::error_handler_t::replace);
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fputc('\n', stdout);
}

int RunInfo(const TArgs& args)
{
    auto model = LoadOrReport(args.Positional[0]);
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
    auto model = LoadOrReport(args.Positional[0]);
    if (!model) return ExitRefused;
    PrintJson(ModelDumpJson(*model));
    return ExitOk;
}

int RunConvert(const TArgs& args)
{
    const std::string to = args.Option("--to");
    if (to.empty()) throw EUsage("give the target form with --to odol");
    if (to != "odol") throw EUsage("unknown target form \"" + to + "\" (this version writes: odol)");
    auto model = LoadOrReport(args.Positional[0]);
    if (!model) return ExitRefused;
    model->SaveFlags = args.Has("--animation") ? SaveFlags::Animation : 0;
    std::string error;
    if (!SaveModelOdolFile(*model, args.Positional[1], &error)) {
        std::fprintf(stderr, "Cannot save \"%s\": %s\n", args.Positional[1].c_str(), error.c_str());
        return ExitRefused;
    }
    return ExitOk;
}

}  // namespace

namespace {

std::vector<TCommand> P3dCommands()
{
    return {
        {"p3d", "info", "FILE [--json]", "format, LODs with their counts, derived data, special LODs, map icon",
         TArgSpec{{"--json"}, {}, 1, 1}, RunInfo},
        {"p3d", "dump", "FILE --json", "every array of the model as JSON", TArgSpec{{"--json"}, {}, 1, 1}, RunDump},
        {"p3d", "convert", "IN OUT --to odol [--animation]",
         "write the model in another form (--animation keeps stored frames)",
         TArgSpec{{"--animation"}, {"--to"}, 2, 2}, RunConvert},
    };
}

const TCommandRegistrar registrar(P3dCommands);

}  // namespace

}  // namespace mc::cli
