#include "Export/GltfGeometry.h"

#include <cmath>
#include <map>
#include <tuple>

#include "Model/Model.h"

namespace mc {

namespace {

// Face flags of the texture addressing: clamp instead of wrap.
constexpr uint32_t kClampU = 0x8000;
constexpr uint32_t kClampV = 0x4000;

float Finite(float f) { return IsFinite(f) ? f : 0.0f; }
Vector3 Finite(Vector3 v) { return {Finite(v.x), Finite(v.y), Finite(v.z)}; }

// The direction a face looks at in the model's frame: the side from which
// the preview sees its held corners (V0, V1, V2) clockwise.
Vector3 FaceDirection(const std::vector<Vector3>& p, const TFace& f)
{
    Vector3 n = Cross(p[f.Vertices[1]] - p[f.Vertices[0]], p[f.Vertices[2]] - p[f.Vertices[0]]);
    if (f.Count == 4) n = n + Cross(p[f.Vertices[2]] - p[f.Vertices[0]], p[f.Vertices[3]] - p[f.Vertices[0]]);
    return n;
}

}  // namespace

TGltfAlphaKind AlphaKindOfFace(uint32_t flags)
{
    if (flags & FaceFlags::AlphaOther) return TGltfAlphaKind::Blend;
    if (flags & FaceFlags::AlphaCompact) return TGltfAlphaKind::Mask;
    return TGltfAlphaKind::Opaque;
}

TGltfLODGeometry ConvertLODGeometry(const TLOD& lod)
{
    TGltfLODGeometry g;
    const size_t n = lod.Positions.size();
    std::vector<Vector3> model(n);
    for (size_t i = 0; i < n; ++i) model[i] = Finite(lod.Positions[i]);

    // Faces kept, grouped by what their material needs.
    using TKey = std::tuple<uint16_t, TGltfAlphaKind, bool, bool>;
    std::map<TKey, size_t> groups;
    std::vector<Vector3> faceSum(n);  // for vertices without a usable normal
    for (const TFace& f : lod.Faces) {
        if (f.Flags & FaceFlags::Proxy) continue;
        if (f.Count != 3 && f.Count != 4) continue;
        bool valid = true;
        for (int k = 0; k < f.Count; ++k) valid = valid && f.Vertices[size_t(k)] < n;
        if (!valid) continue;

        const TKey key{f.Texture, AlphaKindOfFace(f.Flags), (f.Flags & kClampU) != 0, (f.Flags & kClampV) != 0};
        auto [it, added] = groups.try_emplace(key, g.Primitives.size());
        if (added) {
            TGltfPrimitive p;
            std::tie(p.Texture, p.Alpha, p.ClampU, p.ClampV) = key;
            g.Primitives.push_back(std::move(p));
        }
        std::vector<uint32_t>& indices = g.Primitives[it->second].Indices;
        // The frame change mirrors the model, so each triangle's corners are
        // taken in reverse: (V0, V2, V1), and for a quad also (V0, V3, V2).
        const auto& v = f.Vertices;
        indices.insert(indices.end(), {v[0], v[2], v[1]});
        ++g.Triangles;
        if (f.Count == 4) {
            indices.insert(indices.end(), {v[0], v[3], v[2]});
            ++g.Triangles;
        }
        const Vector3 look = FaceDirection(model, f);
        for (int k = 0; k < f.Count; ++k) faceSum[v[size_t(k)]] = faceSum[v[size_t(k)]] + look;
    }

    g.Positions.resize(n);
    g.Normals.resize(n);
    g.UVs.resize(n);
    for (size_t i = 0; i < n; ++i) {
        g.Positions[i] = ToGltf(model[i]);
        if (i == 0) g.Min = g.Max = g.Positions[i];
        g.Min = Min(g.Min, g.Positions[i]);
        g.Max = Max(g.Max, g.Positions[i]);

        // Held normals point the way the faces look (the files store them
        // negated); a vertex without a usable one takes its faces' direction.
        Vector3 normal = i < lod.Normals.size() ? Finite(lod.Normals[i]) : Vector3{};
        if (!(Length(normal) > 1e-6f)) normal = faceSum[i];
        if (!(Length(normal) > 1e-12f) || !IsFinite(Length(normal))) normal = {0, 1, 0};
        g.Normals[i] = Normalize(ToGltf(normal));

        const TUV uv = i < lod.UVs.size() ? lod.UVs[i] : TUV{};
        g.UVs[i] = {Finite(uv.u), Finite(uv.v)};
    }
    return g;
}

TGltfPlacement ConvertProxyPlacement(const TProxy& proxy)
{
    TGltfPlacement placement;
    const Vector3 position = ToGltf(Finite(proxy.ProxyPosition));
    placement.Translation = {position.x, position.y, position.z};

    // The placement maps the proxy's own x, y and z axes to ProxyNormal,
    // LongAxis and ShortAxis. Seen in glTF's frame on both sides, x turns
    // into -x: the axes become -ToGltf(ProxyNormal), ToGltf(LongAxis),
    // ToGltf(ShortAxis), whose determinant stays positive.
    const Vector3 x = Normalize(-ToGltf(Finite(proxy.ProxyNormal)));
    const Vector3 z = Normalize(ToGltf(Finite(proxy.ShortAxis)));
    if (!(std::fabs(Length(x) - 1) < 1e-3f) || !(std::fabs(Length(z) - 1) < 1e-3f)) return placement;
    // The short axis is exact, the normal is made square to it; the long
    // axis completes them (it is stored as computed, not squared).
    const Vector3 zz = Normalize(z - x * Dot(x, z));
    const Vector3 y = Cross(zz, x);

    // Rotation matrix with columns x, y, zz to a quaternion.
    const double m00 = x.x, m10 = x.y, m20 = x.z;
    const double m01 = y.x, m11 = y.y, m21 = y.z;
    const double m02 = zz.x, m12 = zz.y, m22 = zz.z;
    const double trace = m00 + m11 + m22;
    double qx, qy, qz, qw;
    if (trace > 0) {
        const double s = std::sqrt(trace + 1.0) * 2;
        qw = 0.25 * s;
        qx = (m21 - m12) / s;
        qy = (m02 - m20) / s;
        qz = (m10 - m01) / s;
    } else if (m00 > m11 && m00 > m22) {
        const double s = std::sqrt(1.0 + m00 - m11 - m22) * 2;
        qw = (m21 - m12) / s;
        qx = 0.25 * s;
        qy = (m01 + m10) / s;
        qz = (m02 + m20) / s;
    } else if (m11 > m22) {
        const double s = std::sqrt(1.0 + m11 - m00 - m22) * 2;
        qw = (m02 - m20) / s;
        qx = (m01 + m10) / s;
        qy = 0.25 * s;
        qz = (m12 + m21) / s;
    } else {
        const double s = std::sqrt(1.0 + m22 - m00 - m11) * 2;
        qw = (m10 - m01) / s;
        qx = (m02 + m20) / s;
        qy = (m12 + m21) / s;
        qz = 0.25 * s;
    }
    const double len = std::sqrt(qx * qx + qy * qy + qz * qz + qw * qw);
    if (!(len > 0) || !std::isfinite(len)) return placement;
    placement.Rotation = {qx / len, qy / len, qz / len, qw / len};
    return placement;
}

}  // namespace mc
