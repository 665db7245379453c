#include "DrawBatches.h"

#include "Model/LOD.h"
#include "Model/Model.h"

namespace mc {

std::vector<TVertex> BuildVertices(const TLOD& lod)
{
    const size_t count = lod.Positions.size();
    std::vector<TVertex> vertices(count);
    for (size_t i = 0; i < count; ++i) {
        TVertex& v = vertices[i];
        const Vector3 p = lod.Positions[i];
        const Vector3 n = i < lod.Normals.size() ? lod.Normals[i] : Vector3{};
        const TUV uv = i < lod.UVs.size() ? lod.UVs[i] : TUV{};
        v.Position[0] = p.x, v.Position[1] = p.y, v.Position[2] = p.z;
        v.Normal[0] = n.x, v.Normal[1] = n.y, v.Normal[2] = n.z;
        v.UV[0] = uv.u, v.UV[1] = uv.v;
    }
    return vertices;
}

void BuildRuns(const TLOD& lod, TLodBatches& batches)
{
    batches.Indices.clear();
    batches.Runs.clear();
    batches.SkippedFaces = 0;
    batches.Indices.reserve(lod.Faces.size() * 6);
    const size_t vertexCount = lod.Positions.size();
    for (const TFace& face : lod.Faces) {
        bool valid = face.Count == 3 || face.Count == 4;
        for (int c = 0; valid && c < face.Count; ++c) valid = face.Vertices[c] < vertexCount;
        if (!valid) {
            ++batches.SkippedFaces;
            continue;
        }
        if (batches.Runs.empty() || batches.Runs.back().Texture != face.Texture ||
            batches.Runs.back().Flags != face.Flags) {
            TDrawRun run;
            run.FirstIndex = uint32_t(batches.Indices.size());
            run.Texture = face.Texture;
            run.Flags = face.Flags;
            batches.Runs.push_back(run);
        }
        const auto& v = face.Vertices;
        batches.Indices.insert(batches.Indices.end(), {v[0], v[1], v[2]});
        if (face.Count == 4) batches.Indices.insert(batches.Indices.end(), {v[0], v[2], v[3]});
        TDrawRun& run = batches.Runs.back();
        run.IndexCount = uint32_t(batches.Indices.size()) - run.FirstIndex;
        ++run.FaceCount;
    }
}

TLodBatches BuildBatches(const TLOD& lod)
{
    TLodBatches batches;
    batches.Vertices = BuildVertices(lod);
    BuildRuns(lod, batches);
    return batches;
}

}  // namespace mc
