#include "DrawBatches.h"

#include <algorithm>
#include <cstdint>

#include "DrawRules.h"
#include "Model/LOD.h"
#include "Model/Model.h"

namespace mc {

namespace {

TVertex VertexOf(const TLOD& lod, size_t i)
{
    TVertex v;
    const Vector3 p = lod.Positions[i];
    const Vector3 n = i < lod.Normals.size() ? lod.Normals[i] : Vector3{};
    const TUV uv = i < lod.UVs.size() ? lod.UVs[i] : TUV{};
    v.Position[0] = p.x, v.Position[1] = p.y, v.Position[2] = p.z;
    v.Normal[0] = n.x, v.Normal[1] = n.y, v.Normal[2] = n.z;
    v.UV[0] = uv.u, v.UV[1] = uv.v;
    return v;
}

}  // namespace

std::vector<TVertex> BuildVertices(const TLOD& lod)
{
    std::vector<TVertex> vertices(lod.Positions.size());
    for (size_t i = 0; i < vertices.size(); ++i) vertices[i] = VertexOf(lod, i);
    return vertices;
}

TLodBatches BuildBatches(const TLOD& lod)
{
    TLodBatches b;
    b.Indices.reserve(lod.Faces.size() * 6);
    const size_t vertexCount = lod.Positions.size();
    // Where each LOD vertex sits in the current run's part of the buffer, and
    // the run that placed it there.
    std::vector<uint32_t> placedAt(vertexCount, 0);
    std::vector<uint32_t> placedBy(vertexCount, UINT32_MAX);
    for (const TFace& face : lod.Faces) {
        bool valid = face.Count == 3 || face.Count == 4;
        for (int c = 0; valid && c < face.Count; ++c) valid = face.Vertices[c] < vertexCount;
        if (!valid) {
            ++b.SkippedFaces;
            continue;
        }
        const uint32_t flags = face.Flags & kDrawStateFlags;
        if (b.Runs.empty() || b.Runs.back().Texture != face.Texture || b.Runs.back().Flags != flags) {
            TDrawRun run;
            run.FirstIndex = uint32_t(b.Indices.size());
            run.FirstVertex = uint32_t(b.Vertices.size());
            run.Texture = face.Texture;
            run.Flags = flags;
            b.Runs.push_back(run);
        }
        const auto runIndex = uint32_t(b.Runs.size() - 1);
        uint32_t corner[4] = {};
        for (int c = 0; c < face.Count; ++c) {
            const uint16_t v = face.Vertices[c];
            if (placedBy[v] != runIndex) {
                placedBy[v] = runIndex;
                placedAt[v] = uint32_t(b.Vertices.size());
                b.Vertices.push_back(VertexOf(lod, v));
            }
            corner[c] = placedAt[v];
        }
        b.Indices.insert(b.Indices.end(), {corner[0], corner[1], corner[2]});
        if (face.Count == 4) b.Indices.insert(b.Indices.end(), {corner[0], corner[2], corner[3]});
        TDrawRun& run = b.Runs.back();
        run.IndexCount = uint32_t(b.Indices.size()) - run.FirstIndex;
        run.VertexCount = uint32_t(b.Vertices.size()) - run.FirstVertex;
        ++run.FaceCount;
    }
    return b;
}

std::vector<TFaceStateVertex> BuildFaceStates(const std::vector<TDrawRun>& runs, size_t vertexCount,
                                              const TTexturePlaces& places)
{
    TFaceStateVertex none;
    none.Layer = uint8_t(places.NoTexture.Layer);
    std::vector<TFaceStateVertex> states(vertexCount, none);
    for (const TDrawRun& run : runs) {
        const TFaceState s = FaceStateFor(run.Flags);
        TFaceStateVertex v;
        v.Layer = uint8_t(places.Of(run.Texture).Layer);
        v.AlphaReference = s.AlphaReference;
        v.AlphaTest = s.AlphaTest ? 1 : 0;
        v.Blend = s.Blend ? 1 : 0;
        const size_t end = std::min<size_t>(size_t(run.FirstVertex) + run.VertexCount, vertexCount);
        for (size_t i = run.FirstVertex; i < end; ++i) states[i] = v;
    }
    return states;
}

void JoinRuns(const std::vector<TDrawRun>& runs, uint32_t drawFlags, const TTexturePlaces& places, bool join,
              std::vector<TDrawCall>& calls)
{
    calls.clear();
    uint32_t array = 0;
    bool joinable = false;  // whether the last call may take the next run
    for (const TDrawRun& run : runs) {
        if (!FaceDrawn(run.Flags, drawFlags)) {
            joinable = false;
            continue;
        }
        const uint32_t runArray = places.Of(run.Texture).Texture;
        const TFaceState s = FaceStateFor(run.Flags);
        if (joinable) {
            TDrawCall& last = calls.back();
            if (runArray == array && s.U == last.U && s.V == last.V &&
                run.FirstIndex == last.FirstIndex + last.IndexCount &&
                run.FirstVertex == last.FirstVertex + last.VertexCount) {
                last.IndexCount += run.IndexCount;
                last.VertexCount += run.VertexCount;
                last.FaceCount += run.FaceCount;
                last.Blend = last.Blend || s.Blend;
                continue;
            }
        }
        TDrawCall call;
        call.FirstIndex = run.FirstIndex;
        call.IndexCount = run.IndexCount;
        call.FirstVertex = run.FirstVertex;
        call.VertexCount = run.VertexCount;
        call.Texture = run.Texture;
        call.U = s.U;
        call.V = s.V;
        call.Blend = s.Blend;
        call.FaceCount = run.FaceCount;
        calls.push_back(call);
        array = runArray;
        joinable = join;
    }
}

}  // namespace mc
