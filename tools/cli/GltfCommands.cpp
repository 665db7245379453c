// p3d gltf: one LOD (or every LOD) of a model as binary glTF, with its
// textures from the archives of a folder embedded as exact PNG pictures.
#include <cstdio>

#include "CliCommon.h"
#include "Commands.h"
#include "Core/AppServices.h"
#include "Core/Strings.h"
#include "Export/GltfExport.h"
#include "Export/GltfTextureSource.h"
#include "Game/GameData.h"
#include "Model/Model.h"
#include "Texture/TextureLoader.h"
#include "image/PngWriter.h"
#include "jpeg/ProgramJpegDecoder.h"

namespace mc::cli {

namespace {

int ParseLOD(const TArgs& args)
{
    const std::string text = args.Option("--lod", "0");
    try {
        size_t used = 0;
        const int lod = std::stoi(text, &used);
        if (used == text.size() && lod >= 0) return lod;
    } catch (const std::exception&) {
    }
    throw EUsage("--lod takes a LOD index, 0 for the first");
}

int RunGltf(const TArgs& args)
{
    TGltfExportOptions options;
    options.AllLODs = args.Has("--all-lods");
    if (options.AllLODs && args.Options.count("--lod")) throw EUsage("give either --lod N or --all-lods");
    options.LODIndex = ParseLOD(args);

    // With --archives the textures come from the archives of the folder
    // (and an editable model's conversion reads their headers there).
    const auto game = GameDataFromArgs(args);
    if (!game) return ExitRefused;
    if (game->PbList.Count() > 0) InstallProgramJpegDecoder();

    auto model = LoadModelOrReport(args.Positional[0], game.get());
    if (!model) return ExitRefused;
    if (!options.AllLODs && options.LODIndex >= model->LODCount())
        throw EUsage(Format("the model has %d LODs: --lod takes 0 to %d", model->LODCount(), model->LODCount() - 1));

    TLoadedTextureSource textures(
        [&](const std::string& name, uint32_t loadOptions) { return LoadTexture(*game, name, loadOptions); },
        [](const TRgbaImage& image, bool withAlpha, std::vector<uint8_t>& png) {
            return EncodePng(image, withAlpha, png);
        });
    TGltfExportResult result;
    std::string error;
    if (!ExportGltf(*model, args.Positional[1], options, &textures, &result, &error)) {
        std::fprintf(stderr, "Cannot save \"%s\": %s\n", args.Positional[1].c_str(), error.c_str());
        return ExitRefused;
    }
    // A warning each (--quiet drops them): the file is written all the same.
    for (const std::string& name : result.MissingTextures)
        ShowMessage(TMessageKind::Warning, Format("Texture \"%s\" not loaded", name.c_str()));
    return ExitOk;
}

std::vector<TCommand> GltfCommands()
{
    return {
        {"p3d", "gltf", "IN OUT.glb [--lod N | --all-lods] [--archives DIR]",
         "export one LOD (default 0) or every LOD as binary glTF 2.0, with the textures from the archives of DIR "
         "embedded as PNG",
         TArgSpec{{"--all-lods"}, {"--lod", "--archives"}, 2, 2}, RunGltf},
    };
}

const TCommandRegistrar registrar(GltfCommands);

}  // namespace

}  // namespace mc::cli
