#include <cstring>
#include <string_view>

#include "Core/AppServices.h"
#include "Core/StreamIO.h"
#include "Core/Strings.h"
#include "Model/Mlod.h"
#include "Model/Model.h"

namespace mc {

namespace {

constexpr uint8_t kMaterialIndex[16] = {0x33, 0x4B, 0x37, 0x00, 0x00, 0x00, 0x00, 0x00,
                                        0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
constexpr uint8_t kSelectedPoint = 2;
constexpr uint8_t kSelectedFace = 1;
constexpr size_t kTextureNameWidth = 32;
constexpr size_t kTagNameWidth = 64;

// Little-endian values gathered in memory and written in one piece.
class TBlock {
public:
    void U32(uint32_t v) { Raw(&v, 4); }
    void F32(float v) { Raw(&v, 4); }
    void Vec(Vector3 v) { Raw(&v, sizeof v); }
    void Zeros(size_t n) { bytes_.insert(bytes_.end(), n, 0); }
    void Fixed(std::string_view text, size_t width)
    {
        const size_t n = std::min(text.size(), width - 1);
        Raw(text.data(), n);
        Zeros(width - n);
    }
    void Raw(const void* p, size_t n)
    {
        const auto* b = static_cast<const uint8_t*>(p);
        bytes_.insert(bytes_.end(), b, b + n);
    }
    void Reserve(size_t n) { bytes_.reserve(n); }
    void WriteTo(TStream& s) const { WriteBuffer(s, bytes_.data(), bytes_.size()); }

private:
    std::vector<uint8_t> bytes_;
};

// The field has room for width - 1 characters; a longer text is cut, and
// the user is told.
void WarnWhenCut(std::string_view text, size_t width, const char* what)
{
    if (text.size() < width) return;
    AddLog(Format("Warning: %s \"%.*s\" is longer than %zu characters and is saved cut", what,
                  static_cast<int>(text.size()), text.data(), width - 1));
}

// Names between two "#" are the tags' own: a selection so named would be
// read back as a tag, or skipped, or end the LOD early.

void WriteTagHeader(TStream& s, std::string_view name, uint32_t size)
{
    WriteString64(s, name);
    WriteCardinal(s, size);
}

// The held form a writer may rely on: counts that agree and indices inside
// the arrays they name.
bool IsWritable(const TLOD& lod)
{
    const size_t nv = lod.Positions.size(), np = lod.PointToVertex.size();
    if (lod.Normals.size() != nv || lod.UVs.size() != nv || lod.VertexToPoint.size() != nv) return false;
    if (lod.PropertyNames.size() != lod.PropertyValues.size()) return false;
    for (uint16_t v : lod.PointToVertex)
        if (v >= nv) return false;
    for (uint16_t p : lod.VertexToPoint)
        if (p >= np) return false;
    for (const TFace& f : lod.Faces) {
        if (f.Count != 3 && f.Count != 4) return false;
        for (int k = 0; k < f.Count; ++k)
            if (f.Vertices[static_cast<size_t>(k)] >= nv) return false;
    }
    return true;
}

// Editable corner k of a held face: the held form keeps the reverse winding.
uint16_t EditableCornerVertex(const TFace& face, int k)
{
    return face.Vertices[static_cast<size_t>(k == 0 ? 0 : face.Count - k)];
}

}  // namespace

std::vector<const TLOD*> MlodLODOrder(const TModel& model)
{
    // Each LOD goes before the first placed one of greater resolution.
    std::vector<const TLOD*> order;
    for (const auto& lod : model.LODs) {
        auto at = order.begin();
        while (at != order.end() && !((*at)->Resolution > lod->Resolution)) ++at;
        order.insert(at, lod.get());
    }
    return order;
}

bool WriteMlodLOD(const TLOD& lod, TStream& s)
{
    if (!IsWritable(lod)) return false;
    const uint32_t saveFlags = lod.Model ? lod.Model->SaveFlags : 0;
    const bool grouped = saveFlags & SaveFlags::GroupedVertices;
    const size_t nv = lod.Positions.size(), nf = lod.Faces.size();
    const size_t np = grouped ? lod.PointToVertex.size() : nv;
    // With grouped vertices a point is written once, from its first vertex.
    const auto pointOf = [&](uint16_t v) -> size_t { return grouped ? lod.VertexToPoint[v] : v; };

    std::vector<uint32_t> pointFlags(np, 0);
    for (const TFace& f : lod.Faces)
        if (f.Flags & FaceFlags::Shining)
            for (int k = 0; k < f.Count; ++k) pointFlags[pointOf(f.Vertices[static_cast<size_t>(k)])] |= kPointFlagShining;
    if (saveFlags & SaveFlags::CorrectShining)
        for (const char* lights : {"p svetlo", "l svetlo"})
            if (const TModelComponent* sel = lod.SelectionByName(lights))
                for (uint16_t v : sel->Vertices)
                    if (v < nv) pointFlags[pointOf(v)] |= kPointFlagShining;

    std::vector<uint32_t> faceFlags(nf, 0);
    if (saveFlags & SaveFlags::CorrectShadow)
        if (const TModelComponent* sel = lod.SelectionByName("zasleh"))
            for (uint16_t f : sel->Faces)
                if (f < nf) faceFlags[f] |= kFaceFlagShadow;

    TBlock block;
    block.Reserve(28 + np * 16 + nv * 12 + nf * 104);
    block.U32(kSignatureSP3X);
    block.U32(kSp3xMajorVersion);
    block.U32(kSp3xMinorVersion);
    block.U32(static_cast<uint32_t>(np));
    block.U32(static_cast<uint32_t>(nv));
    block.U32(static_cast<uint32_t>(nf));
    block.U32(0);
    for (size_t p = 0; p < np; ++p) {
        block.Vec(lod.Positions[grouped ? lod.PointToVertex[p] : p]);
        block.U32(pointFlags[p]);
    }
    for (const Vector3& n : lod.Normals) block.Vec(-n);
    for (size_t f = 0; f < nf; ++f) {
        const TFace& face = lod.Faces[f];
        const bool textured = face.Texture != kNoTexture && face.Texture < lod.Textures.size();
        const std::string_view texture = textured ? std::string_view(lod.Textures[face.Texture].Name) : "";
        block.Fixed(texture, kTextureNameWidth);
        block.U32(face.Count);
        for (int k = 0; k < face.Count; ++k) {
            const uint16_t v = EditableCornerVertex(face, k);
            block.U32(static_cast<uint32_t>(pointOf(v)));
            block.U32(v);
            block.F32(lod.UVs[v].u);
            block.F32(lod.UVs[v].v);
        }
        if (face.Count == 3) block.Zeros(16);
        block.U32(faceFlags[f]);
    }
    block.WriteTo(s);
    for (const TLODTexture& t : lod.Textures) WarnWhenCut(t.Name, kTextureNameWidth, "texture name");

    WriteCardinal(s, kSignatureTAGG);

    const auto sharpEdges = (saveFlags & SaveFlags::SharpEdges) ? ComputeSharpEdges(lod, grouped)
                                                                 : std::vector<std::pair<uint32_t, uint32_t>>();
    WriteTagHeader(s, "#SharpEdges#", static_cast<uint32_t>(8 * sharpEdges.size()));
    for (const auto& [p, q] : sharpEdges) {
        WriteCardinal(s, p);
        WriteCardinal(s, q);
    }

    std::vector<uint8_t> bytes;
    for (const auto& sel : lod.Selections) {
        if (IsTagName(std::string_view(sel->Name).substr(0, kTagNameWidth - 1))) {
            AddLog(Format("Warning: selection \"%s\" is named like a tag and is not saved", sel->Name.c_str()));
            continue;
        }
        WarnWhenCut(sel->Name, kTagNameWidth, "selection name");
        bytes.assign(np + nf, 0);
        for (uint16_t v : sel->Vertices)
            if (v < nv) bytes[pointOf(v)] = kSelectedPoint;
        for (uint16_t f : sel->Faces)
            if (f < nf) bytes[np + f] = kSelectedFace;
        WriteTagHeader(s, sel->Name, static_cast<uint32_t>(bytes.size()));
        WriteBuffer(s, bytes.data(), bytes.size());
    }

    for (size_t i = 0; i < lod.PropertyNames.size(); ++i) {
        WarnWhenCut(lod.PropertyNames[i], kTagNameWidth, "property name");
        WarnWhenCut(lod.PropertyValues[i], kTagNameWidth, "property value");
        WriteTagHeader(s, "#Property#", 128);
        WriteString64(s, lod.PropertyNames[i]);
        WriteString64(s, lod.PropertyValues[i]);
    }

    WriteTagHeader(s, "#MaterialIndex#", sizeof kMaterialIndex);
    WriteBuffer(s, kMaterialIndex, sizeof kMaterialIndex);

    // A Geometry LOD is read back only with its masses. Without grouped
    // vertices each point's mass goes to its first vertex.
    if (IsGeometryResolution(lod.Resolution)) {
        std::vector<float> masses(np, 0.0f);
        if (lod.Masses.size() == lod.PointToVertex.size()) {
            if (grouped)
                masses = lod.Masses;
            else
                for (size_t p = 0; p < lod.Masses.size(); ++p) masses[lod.PointToVertex[p]] = lod.Masses[p];
        }
        WriteTagHeader(s, "#Mass#", static_cast<uint32_t>(4 * masses.size()));
        WriteBuffer(s, masses.data(), 4 * masses.size());
    }

    WriteTagHeader(s, "#EndOfFile#", 0);
    WriteSingle(s, lod.Resolution);
    return true;
}

bool SaveMlod(const TModel& model, TStream& s)
{
    WriteCardinal(s, kSignatureMLOD);
    WriteCardinal(s, kMlodVersion);
    WriteCardinal(s, static_cast<uint32_t>(model.LODs.size()));
    for (const TLOD* lod : MlodLODOrder(model))
        if (!WriteMlodLOD(*lod, s)) return false;
    return true;
}

}  // namespace mc
