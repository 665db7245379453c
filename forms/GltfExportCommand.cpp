#include "GltfExportCommand.h"

#include "Core/AppServices.h"
#include "Core/Strings.h"
#include "Dialogs.h"
#include "Export/GltfExport.h"
#include "Export/GltfTextureSource.h"
#include "Main_F.h"
#include "Model/Model.h"
#include "ModelDocument.h"
#include "QtText.h"
#include "Texture/TextureLoader.h"
#include "image/PngWriter.h"

namespace mc {

namespace {

constexpr const char* kGltfExportFilter = "glTF binary (*.glb)|*.glb|All files (*.*)|*.*";

}  // namespace

bool ExportCurrentLODAsGltf(TModelDocument& document, const std::string& path)
{
    const TModel* model = document.Model();
    if (!model) return false;
    const TGameData& game = document.Game();
    TLoadedTextureSource textures(
        [&game](const std::string& name, uint32_t options) { return LoadTexture(game, name, options); },
        [](const TRgbaImage& image, bool withAlpha, std::vector<uint8_t>& png) {
            return EncodePng(image, withAlpha, png);
        });
    TGltfExportOptions options;
    options.LODIndex = document.CurrentLODIndex() >= 0 ? document.CurrentLODIndex() : 0;
    TGltfExportResult result;
    std::string error;
    bool saved;
    {
        TWaitCursor wait;
        saved = ExportGltf(*model, path, options, &textures, &result, &error);
    }
    if (!saved) {
        AddLog(Format("Cannot create file \"%s\": %s", path.c_str(), error.c_str()));
        ShowMessage(TMessageKind::Error, Format("Cannot create file \"%s\"", path.c_str()));
    }
    for (const std::string& name : result.MissingTextures) AddLog(Format("Texture \"%s\" not loaded", name.c_str()));
    ShowMessage(TMessageKind::Information, "Export process done");
    return saved;
}

void AddGltfExportCommand(TMainForm& main, TModelDocument& document)
{
    main.AddExportCommand("MenuItem_File_ExportGltf", QStringLiteral("Export glTF..."), [&main, &document] {
        if (!document.Model()) return;
        const auto choice = Dialogs().SaveFile(&main, QStringLiteral("Export glTF"),
                                               QString::fromLatin1(kGltfExportFilter), QStringLiteral("glb"));
        if (!choice) return;
        ExportCurrentLODAsGltf(document, FromQString(WithDefaultExt(choice->FileName, QStringLiteral("glb"))));
    });
}

}  // namespace mc
