// Whatever model loads must export as glTF, every LOD: a binary glTF file
// whose header gives its own length, and indices that stay inside the
// vertices they name.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "Export/GltfExport.h"
#include "Export/GltfGeometry.h"
#include "Model/Model.h"
#include "Model/ModelLoader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    auto model = mc::LoadModelFromMemory(data, size, "fuzz.p3d");
    if (!model) return 0;
    for (int i = 0; i < model->LODCount(); ++i) {
        const mc::TGltfLODGeometry g = mc::ConvertLODGeometry(*model->LOD(i));
        for (const mc::TGltfPrimitive& p : g.Primitives)
            for (uint32_t v : p.Indices)
                if (v >= g.Positions.size()) std::abort();
    }
    mc::TGltfExportOptions options;
    options.AllLODs = true;
    std::vector<uint8_t> glb;
    if (!mc::BuildGltf(*model, options, nullptr, glb)) return 0;
    uint32_t length = 0;
    if (glb.size() < 12 || std::memcmp(glb.data(), "glTF", 4) != 0) std::abort();
    std::memcpy(&length, glb.data() + 8, 4);
    if (length != glb.size()) std::abort();
    return 0;
}
