// Binary glTF 2.0 (.glb) of a model: one LOD, or every LOD in a node of its
// own, with materials whose base colour textures are the model's textures
// decoded exactly and embedded as PNG.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace mc {

class TModel;

// Where the export gets the textures a model names (game paths).
class IGltfTextureSource {
public:
    virtual ~IGltfTextureSource() = default;
    // PNG bytes of the texture's largest level decoded exactly; empty when
    // the texture cannot be loaded.
    virtual std::vector<uint8_t> TexturePng(const std::string& gamePath) = 0;
    // The texture's average colour (ARGB) when its header can be read and
    // gives one.
    virtual std::optional<uint32_t> AverageColor(const std::string& gamePath) = 0;
};

struct TGltfExportOptions {
    int LODIndex = 0;      // the LOD written, unless AllLODs
    bool AllLODs = false;  // every LOD, each in its own node
};

struct TGltfExportResult {
    // Textures without a picture, in the order they were first needed; each
    // got a material of its average colour (or mid grey).
    std::vector<std::string> MissingTextures;
    int Vertices = 0, Triangles = 0, Materials = 0, Images = 0;
};

// The file's bytes. False with a reason when the LOD index is out of range.
// Without a texture source every material gets the mid grey colour.
bool BuildGltf(const TModel& model, const TGltfExportOptions& options, IGltfTextureSource* textures,
               std::vector<uint8_t>& glb, TGltfExportResult* result = nullptr, std::string* error = nullptr);

// BuildGltf written to path through a temporary file beside it.
bool ExportGltf(const TModel& model, const std::string& path, const TGltfExportOptions& options,
                IGltfTextureSource* textures, TGltfExportResult* result = nullptr, std::string* error = nullptr);

}  // namespace mc
