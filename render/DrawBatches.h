// The device-independent part of a LOD's buffers: interleaved vertices
// (position, normal, texture coordinates: 32 bytes each) and an index list in
// face order, cut into runs of faces that share texture and flag word, so that
// each run is one draw call with one state. The vertices are laid out run by
// run (a vertex that several runs use is repeated), so that a run's draw call
// touches only the vertices of its own faces: a software rasteriser shades
// every vertex in the index range of a draw call.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "DrawRules.h"
#include "TextureDevice.h"

namespace mc {

class TLOD;

struct TVertex {
    float Position[3];
    float Normal[3];
    float UV[2];
};
static_assert(sizeof(TVertex) == 32, "the vertex layout the shader reads");

struct TDrawRun {
    uint32_t FirstIndex = 0;
    uint32_t IndexCount = 0;
    uint32_t FirstVertex = 0;  // the run's vertices: FirstVertex .. FirstVertex + VertexCount - 1
    uint32_t VertexCount = 0;
    uint16_t Texture = 0xFFFF;  // index into the LOD's textures, 0xFFFF for none
    uint32_t Flags = 0;         // the faces' flag word, its drawing bits only
    uint32_t FaceCount = 0;
};

struct TLodBatches {
    std::vector<TVertex> Vertices;  // run by run
    std::vector<uint32_t> Indices;  // triangles into Vertices; a quad (0,1,2,3) as (0,1,2)(0,2,3)
    std::vector<TDrawRun> Runs;
    uint32_t SkippedFaces = 0;  // faces with a corner outside the vertices or a corner count other than 3 or 4
};

// Where the textures of a LOD are on the device: for each LOD texture the
// array texture that holds it and its layer there; faces without a texture
// (or whose texture could not be made) use NoTexture.
struct TTexturePlaces {
    std::vector<TLayerPlace> ByTexture;
    TLayerPlace NoTexture;
    const TLayerPlace& Of(uint16_t texture) const
    {
        return texture < ByTexture.size() ? ByTexture[texture] : NoTexture;
    }
    friend bool operator==(const TTexturePlaces&, const TTexturePlaces&) = default;
};

// The LOD's vertices in their own order.
std::vector<TVertex> BuildVertices(const TLOD& lod);
// Vertices, indices and runs; consecutive faces with equal texture and flags
// share a run.
TLodBatches BuildBatches(const TLOD& lod);

// What the shader reads of a vertex's face besides the vertex itself: the
// layer of its texture in the bound array, its alpha test and whether it
// blends (4 bytes a vertex, a stream of its own).
struct TFaceStateVertex {
    uint8_t Layer = 0;
    uint8_t AlphaReference = 0;  // the test passes for alpha (0..255) greater than this
    uint8_t AlphaTest = 0;       // 1: tested
    uint8_t Blend = 0;           // 1: blended with what is behind; 0: replaces it
};
static_assert(sizeof(TFaceStateVertex) == 4, "the face state layout the shader reads");

// The face state of every vertex of the runs (vertexCount in all): each run's
// vertices get its texture's layer and its flags' alpha test and blending.
std::vector<TFaceStateVertex> BuildFaceStates(const std::vector<TDrawRun>& runs, size_t vertexCount,
                                              const TTexturePlaces& places);

// One draw call of a frame: consecutive runs whose faces differ only in what
// each vertex carries (texture layer, alpha test, blending).
struct TDrawCall {
    uint32_t FirstIndex = 0, IndexCount = 0;
    uint32_t FirstVertex = 0, VertexCount = 0;
    uint16_t Texture = 0xFFFF;  // the texture of its first run; its array holds every run's texture
    TAddress U = TAddress::Wrap, V = TAddress::Wrap;
    bool Blend = false;  // whether any of its faces blends
    uint32_t FaceCount = 0;
};

// The draw calls of a frame: runs whose faces the draw flags leave out are
// dropped; consecutive runs whose textures sit in the same array and whose
// texture addressing is equal are joined when join is set (faces keep their
// order), otherwise each run is a call. Fills calls, which it clears first.
void JoinRuns(const std::vector<TDrawRun>& runs, uint32_t drawFlags, const TTexturePlaces& places, bool join,
              std::vector<TDrawCall>& calls);

}  // namespace mc
