// A LOD's geometry in glTF's frame and layout: vertex arrays, and the faces
// grouped into primitives by texture and transparency kind. The model's
// frame is left-handed (+X right, +Y up, +Z forward); glTF's is right-handed
// with +X left, so x changes sign, and the winding turns with it so that
// the faces the preview draws stay front faces (counter-clockwise in glTF).
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "Core/Vector3.h"

namespace mc {

class TLOD;
class TProxy;

enum class TGltfAlphaKind {
    Opaque,
    Mask,   // 1-bit transparency: ARGB1555 or DXT1 (face flag 0x200)
    Blend,  // any other transparency (face flag 0x100)
};

// Faces that share one texture, transparency kind and addressing.
struct TGltfPrimitive {
    uint16_t Texture = 0xFFFF;  // index into the LOD's textures; 0xFFFF for none
    TGltfAlphaKind Alpha = TGltfAlphaKind::Opaque;
    bool ClampU = false, ClampV = false;
    std::vector<uint32_t> Indices;  // three per triangle, counter-clockwise
};

struct TGltfLODGeometry {
    // One entry per vertex of the LOD, in glTF's frame.
    std::vector<Vector3> Positions;
    std::vector<Vector3> Normals;  // unit length
    std::vector<std::array<float, 2>> UVs;
    Vector3 Min, Max;  // bounds of Positions (zero without vertices)
    // In the order of each group's first face; faces in face order.
    std::vector<TGltfPrimitive> Primitives;
    int Triangles = 0;
};

// The frame change of a point or a direction.
inline Vector3 ToGltf(Vector3 v) { return {-v.x, v.y, v.z}; }

// The transparency kind of a face's flags.
TGltfAlphaKind AlphaKindOfFace(uint32_t flags);

// Converts the LOD. Faces of proxy selections are left out (their proxies
// become nodes of their own), as are faces naming vertices the LOD lacks.
// Values that are not finite become 0.
TGltfLODGeometry ConvertLODGeometry(const TLOD& lod);

// The proxy's placement in glTF's frame: translation, and the rotation as a
// quaternion (x, y, z, w) of the placement axes made orthonormal.
struct TGltfPlacement {
    std::array<double, 3> Translation{};
    std::array<double, 4> Rotation{0, 0, 0, 1};
};
TGltfPlacement ConvertProxyPlacement(const TProxy& proxy);

}  // namespace mc
