#include "Model/Conversion.h"

#include <algorithm>
#include <bit>
#include <unordered_map>

#include "Core/AppServices.h"
#include "Core/Strings.h"
#include "Model/Model.h"

namespace mc {

namespace {

constexpr int32_t kNoCorner = -1;

// A point's distinct vertices are kept as a chain of their first corners and
// found by walking it. A chain this long gets an index instead, so that a
// point used by very many different corners costs no more than a lookup.
constexpr uint32_t kLongestChainWalk = 32;

// The held slot of editable corner k: the held form keeps the reverse winding,
// (P, Q, R) as (P, R, Q) and (P, Q, R, S) as (P, S, R, Q).
constexpr int HeldSlot(int corner, int count) { return corner == 0 ? 0 : count - corner; }

bool HasNaN(Vector3 v) { return v.x != v.x || v.y != v.y || v.z != v.z; }

// Equal floats give equal bits (+0 and -0 are one value).
uint32_t CanonicalBits(float f) { return f == 0 ? 0u : std::bit_cast<uint32_t>(f); }

}  // namespace

// The vertices of a point with a long chain, by a key that is equal exactly
// when two corners are the same vertex.
struct TLODConversion::TPointIndex {
    struct TKey {
        uint32_t Kind, A, B, C, U, V;
        friend bool operator==(const TKey&, const TKey&) = default;
    };
    struct THash {
        size_t operator()(const TKey& k) const
        {
            uint64_t h = 0x9E3779B97F4A7C15ull;
            for (uint32_t w : {k.Kind, k.A, k.B, k.C, k.U, k.V}) h = (h ^ w) * 0x100000001B3ull;
            return static_cast<size_t>(h ^ (h >> 29));
        }
    };
    std::unordered_map<TKey, uint32_t, THash> Vertices;
    int32_t Tail = kNoCorner;
};

Vector3 EditableFaceNormal(const TEditableLOD& editable, const TEditableFace& face)
{
    const auto pos = [&](int k) {
        const uint32_t p = face.Corners[static_cast<size_t>(k)].Point;
        return p < editable.Points.size() ? editable.Points[p] : Vector3{};
    };
    // Editable corners run the other way round from the held normals.
    if (face.Count == 4) return Normalize(Cross(pos(3) - pos(1), pos(2) - pos(0)));
    return Normalize(Cross(pos(2) - pos(0), pos(1) - pos(0)));
}

TLODConversion::TLODConversion(TLOD& lod, const TEditableLOD& editable, TTextureFlagCache* textureFlags)
    : lod_(lod), e_(editable), textureFlags_(textureFlags)
{
}
TLODConversion::~TLODConversion() = default;

Vector3 TLODConversion::CornerNormal(size_t face, int corner) const
{
    const uint32_t n = e_.Faces[face].Corners[static_cast<size_t>(corner)].Normal;
    return n < e_.Normals.size() ? e_.Normals[n] : faceNormals_[face];
}

uint16_t TLODConversion::CornerVertex(size_t face, int corner) const
{
    const uint32_t p = e_.Faces[face].Corners[static_cast<size_t>(corner)].Point;
    return static_cast<uint16_t>(lod_.PointToVertex[p] + split_[face * 4 + static_cast<size_t>(corner)]);
}

bool TLODConversion::Convert()
{
    AddLog("Conversion MLOD to ODOL ...");
    const size_t np = e_.Points.size(), nf = e_.Faces.size(), nn = e_.Normals.size();

    // Corners without a stored normal take their face's.
    cornersWithoutNormal_ = 0;
    for (size_t f = 0; f < nf; ++f) {
        const TEditableFace& face = e_.Faces[f];
        bool missing = false;
        for (int k = 0; k < face.Count; ++k) missing |= face.Corners[static_cast<size_t>(k)].Normal >= nn;
        if (!missing) continue;
        if (faceNormals_.empty()) faceNormals_.resize(nf);
        faceNormals_[f] = EditableFaceNormal(e_, face);
        for (int k = 0; k < face.Count; ++k) cornersWithoutNormal_ += face.Corners[static_cast<size_t>(k)].Normal >= nn;
    }
    if (cornersWithoutNormal_)
        AddLog(Format("Warning: %zu polygon corners name no stored normal; their polygons' own normals are used.",
                      cornersWithoutNormal_));

    // Face flags per texture, and how many corners use each point.
    std::vector<uint32_t> textureFlags = TextureFaceFlags(lod_, textureFlags_);
    usage_.assign(np, 0);
    for (const TEditableFace& face : e_.Faces) {
        uint32_t flags = FaceFlags::Always;
        for (int k = 0; k < face.Count; ++k) {
            const uint32_t p = face.Corners[static_cast<size_t>(k)].Point;
            ++usage_[p];
            if (e_.PointFlags[p] & kPointFlagShining) flags |= FaceFlags::Shining;
        }
        if (face.Texture < textureFlags.size()) textureFlags[face.Texture] |= flags;
    }

    // Split each point into its distinct (normal, u, v) corners. Afterwards
    // usage_ counts the distinct vertices of each point.
    split_.assign(nf * 4, 0);
    {
        std::vector<int32_t> first(np, kNoCorner), next(nf * 4, kNoCorner);
        std::vector<uint8_t> indexed(np, 0);
        std::unordered_map<uint32_t, TPointIndex> indexes;

        const auto cornerOf = [&](int32_t c) -> const TEditableCorner& {
            return e_.Faces[static_cast<size_t>(c) / 4].Corners[static_cast<size_t>(c) % 4];
        };
        const auto sameVertex = [&](int32_t a, int32_t b) {
            const TEditableCorner& ca = cornerOf(a);
            const TEditableCorner& cb = cornerOf(b);
            if (ca.U != cb.U || ca.V != cb.V) return false;
            if (ca.Normal == cb.Normal && ca.Normal < nn) return true;
            return CornerNormal(static_cast<size_t>(a) / 4, a % 4) == CornerNormal(static_cast<size_t>(b) / 4, b % 4);
        };
        const auto keyOf = [&](int32_t c) {
            const TEditableCorner& corner = cornerOf(c);
            const Vector3 n = CornerNormal(static_cast<size_t>(c) / 4, c % 4);
            TPointIndex::TKey key{0, CanonicalBits(n.x), CanonicalBits(n.y), CanonicalBits(n.z),
                                  CanonicalBits(corner.U), CanonicalBits(corner.V)};
            if (corner.U != corner.U || corner.V != corner.V) {
                key = {2, static_cast<uint32_t>(c), 0, 0, 0, 0};  // equal to no other corner
            } else if (HasNaN(n)) {
                if (corner.Normal < nn)
                    key.Kind = 1, key.A = corner.Normal, key.B = key.C = 0;  // equal by index only
                else
                    key = {2, static_cast<uint32_t>(c), 0, 0, 0, 0};
            }
            return key;
        };

        for (size_t f = 0; f < nf; ++f) {
            const TEditableFace& face = e_.Faces[f];
            for (int k = 0; k < face.Count; ++k) {
                const int32_t c = static_cast<int32_t>(f * 4 + static_cast<size_t>(k));
                const uint32_t p = face.Corners[static_cast<size_t>(k)].Point;
                if (usage_[p] < 2) continue;
                if (first[p] == kNoCorner) {
                    first[p] = c;
                    continue;
                }
                if (!indexed[p]) {
                    uint32_t walked = 0;
                    int32_t x = first[p];
                    bool placed = false;
                    for (;;) {
                        if (sameVertex(x, c)) {
                            split_[static_cast<size_t>(c)] = split_[static_cast<size_t>(x)];
                            --usage_[p];
                            placed = true;
                            break;
                        }
                        if (next[static_cast<size_t>(x)] == kNoCorner) {
                            next[static_cast<size_t>(x)] = c;
                            split_[static_cast<size_t>(c)] = split_[static_cast<size_t>(x)] + 1;
                            placed = true;
                            break;
                        }
                        x = next[static_cast<size_t>(x)];
                        if (++walked == kLongestChainWalk) break;
                    }
                    if (placed) continue;
                    // A long chain: index it once, then look its vertices up.
                    TPointIndex& index = indexes[p];
                    for (int32_t y = first[p]; y != kNoCorner; y = next[static_cast<size_t>(y)]) {
                        index.Vertices.emplace(keyOf(y), split_[static_cast<size_t>(y)]);
                        index.Tail = y;
                    }
                    indexed[p] = 1;
                }
                TPointIndex& index = indexes[p];
                const auto [it, added] = index.Vertices.emplace(keyOf(c), 0);
                if (added) {
                    it->second = split_[static_cast<size_t>(index.Tail)] + 1;
                    next[static_cast<size_t>(index.Tail)] = c;
                    index.Tail = c;
                } else {
                    --usage_[p];
                }
                split_[static_cast<size_t>(c)] = it->second;
            }
        }
    }

    // Number the vertices: the vertices of a point are consecutive.
    size_t vertexCount = 0;
    for (size_t p = 0; p < np; ++p) vertexCount += std::max<uint32_t>(usage_[p], 1);
    if (vertexCount > kMaxHeldIndexCount) {
        AddLog(Format("LOD too large: %zu vertices, at most %zu can be indexed", vertexCount, kMaxHeldIndexCount));
        return false;
    }
    lod_.PointToVertex.resize(np);
    lod_.VertexToPoint.resize(vertexCount);
    size_t running = 0;
    for (size_t p = 0; p < np; ++p) {
        lod_.PointToVertex[p] = static_cast<uint16_t>(running);
        const size_t n = std::max<uint32_t>(usage_[p], 1);
        std::fill_n(lod_.VertexToPoint.begin() + static_cast<ptrdiff_t>(running), n, static_cast<uint16_t>(p));
        running += n;
    }

    // Vertices and faces. A point no face uses keeps its position with a zero
    // normal and zero texture coordinates.
    lod_.Positions.assign(vertexCount, Vector3{});
    lod_.Normals.assign(vertexCount, Vector3{});
    lod_.UVs.assign(vertexCount, TUV{});
    for (size_t p = 0; p < np; ++p)
        if (usage_[p] == 0) lod_.Positions[lod_.PointToVertex[p]] = e_.Points[p];
    lod_.Faces.resize(nf);
    for (size_t f = 0; f < nf; ++f) {
        const TEditableFace& face = e_.Faces[f];
        TFace& held = lod_.Faces[f];
        held.Texture = face.Texture;
        held.Count = face.Count;
        held.Flags = face.Texture < textureFlags.size() ? textureFlags[face.Texture] : FaceFlags::Always;
        held.Vertices = {};
        for (int k = 0; k < face.Count; ++k) {
            const TEditableCorner& corner = face.Corners[static_cast<size_t>(k)];
            const uint16_t v = CornerVertex(f, k);
            lod_.Positions[v] = e_.Points[corner.Point];
            lod_.Normals[v] = corner.Normal < nn ? e_.Normals[corner.Normal] : faceNormals_[f];
            lod_.UVs[v] = {corner.U, corner.V};
            held.Vertices[static_cast<size_t>(HeldSlot(k, face.Count))] = v;
        }
    }

    AddLog("...conversion done.");
    return true;
}

}  // namespace mc
