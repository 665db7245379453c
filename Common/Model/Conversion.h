// Turning one editable LOD (points, normals, polygons whose corners name a
// point, a normal and texture coordinates) into the held form: one vertex per
// distinct (position, normal, u, v), texture-derived face flags, named
// selections as vertex and face lists, proxies.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "Core/Vector3.h"
#include "Model/ModelTypes.h"

namespace mc {

class ITextureHeaderSource;

class TLOD;

// Indices of the held form are 16-bit: a LOD holds at most this many
// points, vertices and faces.
constexpr size_t kMaxHeldIndexCount = 65536;

struct TEditableCorner {
    uint32_t Point = 0;
    uint32_t Normal = 0;  // may name no normal: the face's own normal is used then
    float U = 0, V = 0;
};

struct TEditableFace {
    uint16_t Texture = kNoTexture;  // index into the LOD's Textures
    uint8_t Count = 3;              // 3 or 4 corners
    std::array<TEditableCorner, 4> Corners{};
};

// One LOD as an MLOD file stores it. Point indices of the corners are below
// the point count; normal indices may be anything.
struct TEditableLOD {
    std::vector<Vector3> Points;
    std::vector<uint32_t> PointFlags;
    std::vector<Vector3> Normals;  // held orientation: the file's signs flipped
    std::vector<TEditableFace> Faces;
};

// Where the texture headers of one model's conversion come from (none: every
// texture counts as unknown), and the face flags already looked up, by name:
// a texture shared by several LODs is looked up (and a missing one reported)
// once.
struct TTextureFlagCache {
    ITextureHeaderSource* Headers = nullptr;
    std::unordered_map<std::string, uint32_t> Flags;
};

// The face flags each texture gives its faces: the transparency bits read
// from the texture headers (kTextureTypeARGB1555 and DXT1 textures get
// AlphaCompact, others AlphaOther), 0 for an empty name or a texture whose
// header cannot be had (logged once per texture). Names found in known are
// taken from there; the others are looked up in known->Headers and added.
std::vector<uint32_t> TextureFaceFlags(const TLOD& lod, TTextureFlagCache* known = nullptr);

// The normal of an editable face in held orientation, from its positions;
// zero for a degenerate face.
Vector3 EditableFaceNormal(const TEditableLOD& editable, const TEditableFace& face);

// What a named-selection tag whose name starts with "proxy:" (any case) names.
enum class TProxyName { NotProxy, Valid, Invalid };
// "proxy:ladder.3" gives ladder and 3, "proxy:ladder" gives ladder and 0;
// an empty name or a number that is not an integer is Invalid.
TProxyName ParseProxyName(std::string_view selectionName, std::string& name, int32_t& id);

// The conversion of one LOD. Lives while the LOD is read: the selection tags
// that follow the geometry need the corner-to-vertex map it builds.
class TLODConversion {
public:
    // textureFlags, when given, is shared by the conversions of one model.
    TLODConversion(TLOD& lod, const TEditableLOD& editable, TTextureFlagCache* textureFlags = nullptr);
    ~TLODConversion();
    TLODConversion(const TLODConversion&) = delete;
    TLODConversion& operator=(const TLODConversion&) = delete;

    // Fills the LOD's vertices, faces and point maps. False, with a log line,
    // when the LOD needs more vertices than 16-bit indices hold.
    bool Convert();

    // One named-selection tag: point bytes then face bytes (non-zero
    // selects), NP + NF of them; the bytes are used up (cleared) here. Adds a
    // selection, and a proxy for a "proxy:" name; an invalid proxy name adds
    // nothing.
    void AddSelectionTag(const std::string& name, std::vector<uint8_t>& bytes);

    // The held vertex of corner k of editable face f (after Convert).
    uint16_t CornerVertex(size_t face, int corner) const;

    // How many corners named no stored normal (after Convert).
    size_t CornersWithoutNormal() const { return cornersWithoutNormal_; }

private:
    struct TPointIndex;

    Vector3 CornerNormal(size_t face, int corner) const;

    TLOD& lod_;
    const TEditableLOD& e_;
    TTextureFlagCache* textureFlags_;
    std::vector<uint32_t> split_;  // per corner slot face * 4 + k: the vertex of the point it uses
    std::vector<uint32_t> usage_;  // per point: corners, then distinct vertices
    std::vector<Vector3> faceNormals_;  // only when a corner names no stored normal
    size_t cornersWithoutNormal_ = 0;
};

}  // namespace mc
