#include <bit>
#include <cmath>

#include "Core/CompressedArray.h"
#include "Core/StreamIO.h"
#include "Model/Model.h"
#include "Model/Odol.h"

namespace mc {

namespace {

// Smallest number of bytes a record of each kind occupies in the file: a
// count read from the file is refused when the remaining bytes cannot hold
// that many records.
constexpr uint64_t kMinFaceBytes = 4 + 2 + 1 + 3 * 2;
constexpr uint64_t kSectionBytes = 18;
constexpr uint64_t kMinSelectionBytes = 1 + 4 + 4 + 4 + 1 + 4 + 4 + 4;
constexpr uint64_t kMinPropertyBytes = 2;
constexpr uint64_t kMinFrameBytes = 8;
constexpr uint64_t kProxyBytesWithoutName = 1 + 48 + 4 + 4;

uint32_t ReadCount(TStream& s, uint64_t minRecordBytes)
{
    const uint32_t n = ReadCardinal(s);
    RequireRemaining(s, n * minRecordBytes);
    return n;
}

Vector3 ReadVector(TStream& s)
{
    Vector3 v;
    v.x = ReadSingle(s);
    v.y = ReadSingle(s);
    v.z = ReadSingle(s);
    return v;
}

void ReadVectors(TStream& s, std::vector<Vector3>& out, uint32_t count)
{
    RequireRemaining(s, uint64_t{count} * sizeof(Vector3));
    out.resize(count);
    ReadBuffer(s, out.data(), out.size() * sizeof(Vector3));
}


bool ReadSelection(TModelComponent& sel, TStream& s)
{
    TOdolSelectionExtras extras;
    sel.Name = ReadZString(s);
    if (!ReadCompressedArrayOf(s, sel.Faces)) return false;
    extras.Word = ReadCardinal(s);
    if (!ReadCompressedArrayOf(s, extras.Array4)) return false;
    extras.Byte = ReadByte(s);
    if (!ReadCompressedArrayOf(s, extras.Array6)) return false;
    if (!ReadCompressedArrayOf(s, sel.Vertices)) return false;
    if (!ReadCompressedArrayOf(s, extras.Bytes)) return false;
    sel.Odol = std::move(extras);
    return true;
}

// Every index must point inside the arrays it names.
bool IndicesInRange(const TLOD& lod)
{
    const size_t vertices = lod.Positions.size();
    const size_t points = lod.PointToVertex.size();
    for (const TFace& f : lod.Faces) {
        for (int k = 0; k < f.Count; ++k)
            if (f.Vertices[static_cast<size_t>(k)] >= vertices) return false;
        if (f.Texture != kNoTexture && f.Texture >= lod.Textures.size()) return false;
    }
    for (uint16_t v : lod.PointToVertex)
        if (v >= vertices) return false;
    for (uint16_t p : lod.VertexToPoint)
        if (p >= points) return false;
    for (const auto& sel : lod.Selections) {
        for (uint16_t f : sel->Faces)
            if (f >= lod.Faces.size()) return false;
        for (uint16_t v : sel->Vertices)
            if (v >= vertices) return false;
    }
    return true;
}

}  // namespace

bool ReadOdolLOD(TLOD& lod, TStream& s)
{
    TOdolLODExtras extras;

    if (!ReadCompressedArrayOf(s, extras.VertexFlags)) return false;
    const uint32_t n = static_cast<uint32_t>(extras.VertexFlags.size());

    if (!ReadCompressedArrayOf(s, lod.UVs) || lod.UVs.size() != n) return false;
    for (size_t i = 0; i < lod.UVs.size(); ++i) {
        TUV& uv = lod.UVs[i];
        if (IsFinite(uv.u) && IsFinite(uv.v)) continue;
        if (extras.StoredUVs.empty()) extras.StoredUVs = lod.UVs;
        if (!IsFinite(uv.u)) uv.u = 0;
        if (!IsFinite(uv.v)) uv.v = 0;
    }

    if (ReadCardinal(s) != n) return false;
    ReadVectors(s, lod.Positions, n);
    if (ReadCardinal(s) != n) return false;
    ReadVectors(s, lod.Normals, n);
    for (Vector3& v : lod.Normals) v = -v;

    for (Vector3& v : lod.LODVectors) v = ReadVector(s);

    const uint32_t textureCount = ReadCount(s, 1);
    lod.Textures.resize(textureCount);
    for (TLODTexture& t : lod.Textures) t.Name = ReadZString(s);

    if (!ReadCompressedArrayOf(s, lod.PointToVertex)) return false;
    if (!ReadCompressedArrayOf(s, lod.VertexToPoint)) return false;
    if (lod.VertexToPoint.size() != n) return false;

    const uint32_t faceCount = ReadCount(s, kMinFaceBytes);
    ReadCardinal(s);  // face data size, recomputed when written
    lod.Faces.resize(faceCount);
    for (TFace& f : lod.Faces) {
        f.Flags = ReadCardinal(s);
        f.Texture = ReadWord(s);
        f.Count = ReadByte(s);
        if (f.Count != 3 && f.Count != 4) return false;
        for (int k = 0; k < f.Count; ++k) f.Vertices[static_cast<size_t>(k)] = ReadWord(s);
    }

    extras.Sections.resize(ReadCount(s, kSectionBytes));
    for (TOdolSection& sec : extras.Sections) {
        sec.Begin = ReadCardinal(s);
        sec.End = ReadCardinal(s);
        sec.Word = ReadCardinal(s);
        sec.Texture = ReadWord(s);
        sec.Flags = ReadCardinal(s);
    }

    const uint32_t selectionCount = ReadCount(s, kMinSelectionBytes);
    for (uint32_t i = 0; i < selectionCount; ++i) {
        auto sel = std::make_unique<TModelComponent>(&lod);
        if (!ReadSelection(*sel, s)) return false;
        lod.Selections.push_back(std::move(sel));
    }

    const uint32_t propertyCount = ReadCount(s, kMinPropertyBytes);
    for (uint32_t i = 0; i < propertyCount; ++i) {
        std::string name = ReadZString(s);
        std::string value = ReadZString(s);
        lod.AddProperty(std::move(name), std::move(value));
    }

    const uint32_t frameCount = ReadCount(s, kMinFrameBytes);
    for (uint32_t i = 0; i < frameCount; ++i) {
        auto frame = std::make_unique<TFrame>(&lod);
        frame->Time = ReadSingle(s);
        if (ReadCardinal(s) != n) return false;
        ReadVectors(s, frame->Positions, n);
        lod.Frames.push_back(std::move(frame));
    }

    lod.ColorWord1 = ReadCardinal(s);
    lod.ColorWord2 = ReadCardinal(s);
    extras.WordAfterColors = ReadCardinal(s);

    if (!IndicesInRange(lod)) return false;

    const uint32_t proxyCount = ReadCount(s, kProxyBytesWithoutName);
    for (uint32_t i = 0; i < proxyCount; ++i) {
        auto proxy = std::make_unique<TProxy>(&lod);
        proxy->Name = ReadZString(s);
        std::array<Vector3, 4> placement;
        for (Vector3& v : placement) v = ReadVector(s);
        proxy->SetPlacement(placement);
        proxy->StoredPlacement = placement;
        proxy->ProxyId = ReadInteger(s);
        proxy->SelectionIndex = ReadInteger(s);
        if (proxy->SelectionIndex < 0 || proxy->SelectionIndex >= lod.SelectionCount()) return false;
        lod.Selections[static_cast<size_t>(proxy->SelectionIndex)]->BindProxy(proxy.get());
        lod.Proxies.push_back(std::move(proxy));
    }

    lod.Odol = std::move(extras);
    return true;
}

bool ReadOdolBody(TModel& model, TStream& s)
{
    const uint32_t lodCount = ReadCardinal(s);
    RequireRemaining(s, uint64_t{lodCount} * 4);
    for (uint32_t i = 0; i < lodCount; ++i) {
        auto lod = std::make_unique<TLOD>(&model);
        if (!ReadOdolLOD(*lod, s)) return false;
        model.LODs.push_back(std::move(lod));
    }
    for (auto& lod : model.LODs) lod->Resolution = ReadSingle(s);

    model.InfoWord = ReadCardinal(s);
    model.ExtentX = ReadSingle(s);
    model.ExtentY = ReadSingle(s);
    for (uint32_t& w : model.InfoWords) w = ReadCardinal(s);
    model.AimPoint = ReadVector(s);
    model.MapIconColor = ReadCardinal(s);
    model.MapIconSelectedColor = ReadCardinal(s);
    model.OdolInfoFloat = ReadSingle(s);
    model.RangeA = ReadVector(s);
    model.RangeB = ReadVector(s);
    model.ModelOffset = ReadVector(s);
    model.GeometryCenter = ReadVector(s);
    model.MassCenter = ReadVector(s);
    for (Vector3& row : model.InfoMatrix) row = ReadVector(s);
    model.BoundingRadius = std::max(Length(model.RangeA), Length(model.RangeB));
    ReadBuffer(s, model.InfoFlags.data(), model.InfoFlags.size());
    model.InfoFlags[0] = model.InfoFlags[0] != 0;
    model.MapIcon = ReadByte(s);

    std::vector<float> masses;
    if (!ReadCompressedArrayOf(s, masses)) return false;
    model.Mass = ReadSingle(s);
    for (float& f : model.InfoTail) f = ReadSingle(s);

    if (s.Remaining() != static_cast<int64_t>(model.SpecialLODs.size())) return false;
    for (int8_t& k : model.SpecialLODs) k = static_cast<int8_t>(ReadByte(s));

    TLOD* geometry = model.SpecialLODPtr(SpecialGeometry);
    if (!masses.empty()) {
        if (!geometry || geometry->PointCount() != static_cast<int>(masses.size())) return false;
        geometry->Masses = std::move(masses);
    } else if (geometry && geometry->PointCount() != 0) {
        return false;
    }
    return true;
}

}  // namespace mc
