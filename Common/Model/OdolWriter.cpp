#include "Core/CompressedArray.h"
#include "Core/StreamIO.h"
#include "Model/Model.h"
#include "Model/Odol.h"

namespace mc {

namespace {

void WriteVector(TStream& s, Vector3 v)
{
    WriteSingle(s, v.x);
    WriteSingle(s, v.y);
    WriteSingle(s, v.z);
}

uint32_t FaceRecordSize(const TFace& f) { return 10u + 2u * f.Count; }

// Runs of consecutive faces with equal flags and texture.
std::vector<TOdolSection> ComputeSections(const TLOD& lod)
{
    std::vector<TOdolSection> sections;
    uint32_t offset = 0;
    for (size_t i = 0; i < lod.Faces.size(); ++i) {
        const TFace& f = lod.Faces[i];
        if (i == 0 || f.Flags != lod.Faces[i - 1].Flags || f.Texture != lod.Faces[i - 1].Texture) {
            TOdolSection sec;
            sec.Begin = offset;
            const bool noTexture = lod.Textures.empty() || f.Texture == kNoTexture || f.Texture >= lod.Textures.size() ||
                                   lod.Textures[f.Texture].Name.empty();
            sec.Texture = noTexture ? kNoTexture : f.Texture;
            sec.Flags = f.Flags;
            sections.push_back(sec);
        }
        offset += FaceRecordSize(f);
        sections.back().End = offset;
    }
    return sections;
}

void WriteSelection(const TModelComponent& sel, TStream& s)
{
    static const TOdolSelectionExtras kEmpty;
    const TOdolSelectionExtras& extras = sel.Odol ? *sel.Odol : kEmpty;
    WriteZString(s, sel.Name);
    WriteCompressedArrayOf(s, sel.Faces);
    WriteCardinal(s, extras.Word);
    WriteCompressedArrayOf(s, extras.Array4);
    WriteByte(s, extras.Byte);
    WriteCompressedArrayOf(s, extras.Array6);
    WriteCompressedArrayOf(s, sel.Vertices);
    WriteCompressedArrayOf(s, extras.Bytes);
}

}  // namespace

bool WriteOdolLOD(const TLOD& lod, TStream& s)
{
    const TOdolLODExtras* extras = lod.Odol ? &*lod.Odol : nullptr;
    const size_t n = lod.Positions.size();
    if (lod.Normals.size() != n || lod.UVs.size() != n) return false;
    if (lod.PropertyNames.size() != lod.PropertyValues.size()) return false;
    for (const TFace& f : lod.Faces)
        if (f.Count != 3 && f.Count != 4) return false;

    if (extras && extras->VertexFlags.size() == n)
        WriteCompressedArrayOf(s, extras->VertexFlags);
    else
        WriteCompressedArrayOf(s, std::vector<uint32_t>(n, 0));

    WriteCompressedArrayOf(s, extras && extras->StoredUVs.size() == n ? extras->StoredUVs : lod.UVs);

    WriteCardinal(s, static_cast<uint32_t>(n));
    WriteBuffer(s, lod.Positions.data(), n * sizeof(Vector3));
    WriteCardinal(s, static_cast<uint32_t>(n));
    for (const Vector3& v : lod.Normals) WriteVector(s, -v);

    for (const Vector3& v : lod.LODVectors) WriteVector(s, v);

    WriteCardinal(s, static_cast<uint32_t>(lod.Textures.size()));
    for (const TLODTexture& t : lod.Textures) WriteZString(s, t.Name);

    WriteCompressedArrayOf(s, lod.PointToVertex);
    WriteCompressedArrayOf(s, lod.VertexToPoint);

    WriteCardinal(s, static_cast<uint32_t>(lod.Faces.size()));
    uint32_t dataSize = 0;
    for (const TFace& f : lod.Faces) dataSize += FaceRecordSize(f);
    WriteCardinal(s, dataSize);
    for (const TFace& f : lod.Faces) {
        WriteCardinal(s, f.Flags);
        WriteWord(s, f.Texture);
        WriteByte(s, f.Count);
        for (int k = 0; k < f.Count; ++k) WriteWord(s, f.Vertices[static_cast<size_t>(k)]);
    }

    const std::vector<TOdolSection> sections = extras ? extras->Sections : ComputeSections(lod);
    WriteCardinal(s, static_cast<uint32_t>(sections.size()));
    for (const TOdolSection& sec : sections) {
        WriteCardinal(s, sec.Begin);
        WriteCardinal(s, sec.End);
        WriteCardinal(s, sec.Word);
        WriteWord(s, sec.Texture);
        WriteCardinal(s, sec.Flags);
    }

    WriteCardinal(s, static_cast<uint32_t>(lod.Selections.size()));
    for (const auto& sel : lod.Selections) WriteSelection(*sel, s);

    WriteCardinal(s, static_cast<uint32_t>(lod.PropertyNames.size()));
    for (size_t i = 0; i < lod.PropertyNames.size(); ++i) {
        WriteZString(s, lod.PropertyNames[i]);
        WriteZString(s, lod.PropertyValues[i]);
    }

    const bool withFrames = lod.Model && (lod.Model->SaveFlags & SaveFlags::Animation);
    std::vector<const TFrame*> frames;
    if (withFrames)
        for (const auto& f : lod.Frames)
            if (f->Positions.size() == n) frames.push_back(f.get());
    WriteCardinal(s, static_cast<uint32_t>(frames.size()));
    for (const TFrame* f : frames) {
        WriteSingle(s, f->Time);
        WriteCardinal(s, static_cast<uint32_t>(n));
        WriteBuffer(s, f->Positions.data(), n * sizeof(Vector3));
    }

    WriteCardinal(s, lod.ColorWord1);
    WriteCardinal(s, lod.ColorWord2);
    WriteCardinal(s, extras ? extras->WordAfterColors : 0);

    WriteCardinal(s, static_cast<uint32_t>(lod.Proxies.size()));
    for (const auto& p : lod.Proxies) {
        WriteZString(s, p->Name);
        const std::array<Vector3, 4> placement = extras && p->StoredPlacement ? *p->StoredPlacement : p->Placement();
        for (const Vector3& v : placement) WriteVector(s, v);
        WriteInteger(s, p->ProxyId);
        WriteInteger(s, p->SelectionIndex);
    }
    return true;
}

bool SaveOdol(const TModel& model, TStream& s)
{
    WriteCardinal(s, kSignatureODOL);
    WriteCardinal(s, kOdolVersion);
    WriteCardinal(s, static_cast<uint32_t>(model.LODs.size()));
    for (const auto& lod : model.LODs)
        if (!WriteOdolLOD(*lod, s)) return false;
    for (const auto& lod : model.LODs) WriteSingle(s, lod->Resolution);

    WriteCardinal(s, model.InfoWord);
    WriteSingle(s, model.ExtentX);
    WriteSingle(s, model.ExtentY);
    for (uint32_t w : model.InfoWords) WriteCardinal(s, w);
    WriteVector(s, model.AimPoint);
    WriteCardinal(s, model.MapIconColor);
    WriteCardinal(s, model.MapIconSelectedColor);
    WriteSingle(s, model.OdolInfoFloat);
    WriteVector(s, model.RangeA);
    WriteVector(s, model.RangeB);
    WriteVector(s, model.ModelOffset);
    WriteVector(s, model.GeometryCenter);
    WriteVector(s, model.MassCenter);
    for (const Vector3& row : model.InfoMatrix) WriteVector(s, row);
    WriteBuffer(s, model.InfoFlags.data(), model.InfoFlags.size());
    WriteByte(s, model.MapIcon < kMapIconUnknown ? model.MapIcon : kMapIconHide);

    const TLOD* geometry = model.SpecialLODPtr(SpecialGeometry);
    if (!geometry) {
        WriteInteger(s, 0);
    } else if (geometry->Masses.size() == geometry->PointToVertex.size()) {
        WriteCompressedArrayOf(s, geometry->Masses);
    } else {
        // A Geometry LOD without masses still needs one per point to be read back.
        WriteCompressedArrayOf(s, std::vector<float>(geometry->PointToVertex.size(), 0.0f));
    }
    WriteSingle(s, model.Mass);
    for (float f : model.InfoTail) WriteSingle(s, f);
    for (int8_t k : model.SpecialLODs) WriteByte(s, static_cast<uint8_t>(k));
    return true;
}

}  // namespace mc
