#include <algorithm>
#include <cmath>
#include <unordered_set>

#include "Model/Model.h"
#include "Model/Mlod.h"

namespace mc {

namespace {

// Marks the corners of triangle (a, b, c) whose normals equal its own. A
// degenerate triangle has no normal and marks nothing.
void MarkFlatCorners(const TLOD& lod, uint16_t a, uint16_t b, uint16_t c, std::vector<uint8_t>& marked)
{
    const Vector3 pa = lod.Positions[a];
    const Vector3 n = Normalize(Cross(lod.Positions[b] - pa, lod.Positions[c] - pa));
    if (n == Vector3{}) return;
    for (uint16_t v : {a, b, c})
        if (IsFlatCornerNormal(lod.Normals[v], n)) marked[v] = 1;
}

}  // namespace

std::vector<std::pair<uint32_t, uint32_t>> ComputeSharpEdges(const TLOD& lod, bool grouped)
{
    const size_t nv = lod.Positions.size();
    std::vector<uint8_t> marked(nv, 0);
    const auto inRange = [&](const TFace& f) {
        for (int k = 0; k < f.Count && k < 4; ++k)
            if (f.Vertices[static_cast<size_t>(k)] >= nv || f.Vertices[static_cast<size_t>(k)] >= lod.Normals.size())
                return false;
        return f.Count == 3 || f.Count == 4;
    };
    for (const TFace& f : lod.Faces) {
        if (!inRange(f)) continue;
        const auto& v = f.Vertices;
        MarkFlatCorners(lod, v[0], v[1], v[2], marked);
        if (f.Count == 4) MarkFlatCorners(lod, v[2], v[3], v[0], marked);
    }

    const auto pointOf = [&](uint16_t v) -> uint32_t {
        return grouped && v < lod.VertexToPoint.size() ? lod.VertexToPoint[v] : v;
    };
    const auto key = [](uint32_t p, uint32_t q) { return p * 65536u + q; };
    std::unordered_set<uint32_t> seen;
    std::vector<std::pair<uint32_t, uint32_t>> edges;
    const auto visit = [&](uint16_t a, uint16_t b) {
        if (!marked[a] || !marked[b]) return;
        const uint32_t p = pointOf(a), q = pointOf(b);
        if (p == q) return;  // both ends on one point: no edge
        if (seen.count(key(q, p)) || !seen.insert(key(p, q)).second) return;
        edges.emplace_back(p, q);
    };
    for (const TFace& f : lod.Faces) {
        if (!inRange(f)) continue;
        const auto& v = f.Vertices;
        visit(v[0], v[1]);
        visit(v[1], v[2]);
        visit(v[2], v[0]);
        if (f.Count == 4) {
            visit(v[2], v[3]);
            visit(v[3], v[0]);
        }
    }
    std::sort(edges.begin(), edges.end(), [&](const auto& a, const auto& b) {
        return key(a.first, a.second) < key(b.first, b.second);
    });
    return edges;
}

}  // namespace mc
