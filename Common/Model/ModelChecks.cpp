#include "Model/ModelChecks.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "Core/AppServices.h"
#include "Core/FilePaths.h"
#include "Core/SafeSave.h"
#include "Core/StreamIO.h"
#include "Core/Strings.h"
#include "Model/DerivedData.h"
#include "Model/Mlod.h"
#include "Model/Model.h"

namespace mc {

namespace {

constexpr float kReportBoxStart = 10000.0f;

std::string Vec6(Vector3 v) { return Format("%.6f %.6f %.6f", v.x, v.y, v.z); }
std::string Vec9(Vector3 v) { return Format("%.9f %.9f %.9f", v.x, v.y, v.z); }


bool FaceInRange(const TLOD& lod, const TFace& f)
{
    if (f.Count != 3 && f.Count != 4) return false;
    for (int k = 0; k < f.Count; ++k)
        if (f.Vertices[static_cast<size_t>(k)] >= lod.Positions.size() ||
            f.Vertices[static_cast<size_t>(k)] >= lod.Normals.size())
            return false;
    return true;
}

uint32_t RangeClass(float x, uint32_t below, uint32_t zero, uint32_t one, uint32_t above)
{
    if (x < 0) return below;
    if (x == 0) return zero;
    if (x == 1) return one;
    if (x > 1) return above;
    return 0;
}

// The Geometry LOD the mass report is about, or nullptr when there is none
// with masses and vertices.
const TLOD* MassGeometry(const TModel& model)
{
    const TLOD* geometry = model.SpecialLODPtr(SpecialGeometry);
    return geometry && !geometry->Masses.empty() && !geometry->Positions.empty() ? geometry : nullptr;
}

}  // namespace

const char* ModelCheckFileName(TModelCheck check)
{
    switch (check) {
    case TModelCheck::Mass: return "mass.txt";
    case TModelCheck::Normals: return "normals.txt";
    case TModelCheck::UV: return "uv.txt";
    }
    return "";
}

bool WriteMassReport(const TModel& model, TStream& s)
{
    const TLOD* geometry = MassGeometry(model);
    if (!geometry) return false;
    const TLOD& lod = *geometry;

    WriteTextLine(s, "Mass Center: " + Vec6(model.MassCenter));
    const size_t points = std::min(lod.PointToVertex.size(), lod.Masses.size());
    for (size_t p = 0; p < points; ++p) {
        const uint16_t w = lod.PointToVertex[p];
        const Vector3 position = w < lod.Positions.size() ? lod.Positions[w] : Vector3{};
        const float mass = lod.Masses[p];
        const float distance = Length(model.GeometryCenter - position);
        WriteTextLine(s, Format("%d (%d) M=%.6f L=%.6f F=%.6f", static_cast<int>(p), static_cast<int>(w), mass,
                                distance, distance * mass));
    }
    float total = 0;
    Vector3 center;
    ComputeMassCenter(lod, total, center);
    WriteTextLine(s, Format("Total Mass: %.6f", total));
    WriteTextLine(s, "Calculated Mass Center: " + Vec6(center));
    WriteNewLine(s);

    const Vector3 start{kReportBoxStart, kReportBoxStart, kReportBoxStart};
    Vector3 lo = start, hi = -start;
    for (const Vector3& p : lod.Positions) lo = Min(lo, p), hi = Max(hi, p);
    WriteTextLine(s, "Geometry Center: " + Vec6(model.GeometryCenter));
    WriteTextLine(s, "Calculated Geometry Center: " + Vec6((lo + hi) / 2));
    WriteNewLine(s);

    lo = start, hi = -start;
    for (const auto& l : model.LODs)
        for (const Vector3& p : l->Positions) lo = Min(lo, p), hi = Max(hi, p);
    WriteTextLine(s, "RangeA: " + Vec6(model.RangeA));
    WriteTextLine(s, "RangeB: " + Vec6(model.RangeB));
    WriteTextLine(s, "Calculated RangeA: " + Vec6(lo));
    WriteTextLine(s, "Calculated RangeB: " + Vec6(hi));
    WriteNewLine(s);
    return true;
}

void WriteNormalsReport(const TModel& model, TStream& s)
{
    for (int i = 0; i < model.LODCount(); ++i) {
        const TLOD& lod = *model.LOD(i);
        WriteTextLine(s, Format("LOD%d", i));
        std::vector<uint8_t> marked(lod.PointToVertex.size(), 0);
        const auto mark = [&](uint16_t v, Vector3 faceNormal) {
            if (!IsFlatCornerNormal(lod.Normals[v], faceNormal) || v >= lod.VertexToPoint.size()) return;
            const uint16_t p = lod.VertexToPoint[v];
            if (p < marked.size()) marked[p] = 1;
        };
        for (int f = 0; f < lod.FaceCount(); ++f) {
            WriteTextLine(s, Format("P%d", f));
            const TFace& face = lod.Faces[static_cast<size_t>(f)];
            if (!FaceInRange(lod, face)) continue;
            const auto& v = face.Vertices;
            const auto pos = [&](int k) { return lod.Positions[v[static_cast<size_t>(k)]]; };
            const Vector3 f1 = Normalize(Cross(pos(1) - pos(0), pos(2) - pos(0)));
            WriteTextLine(s, "*N1: " + Vec9(f1));
            WriteTextLine(s, "N1: " + Vec9(lod.Normals[v[0]]));
            WriteTextLine(s, "N2: " + Vec6(lod.Normals[v[1]]));
            WriteTextLine(s, "N3: " + Vec6(lod.Normals[v[2]]));
            for (int k : {0, 1, 2}) mark(v[static_cast<size_t>(k)], f1);
            if (face.Count == 4) {
                const Vector3 f2 = Normalize(Cross(pos(3) - pos(2), pos(0) - pos(2)));
                WriteTextLine(s, "*N2: " + Vec6(f2));
                WriteTextLine(s, "N4: " + Vec6(lod.Normals[v[3]]));
                for (int k : {2, 3, 0}) mark(v[static_cast<size_t>(k)], f2);
            }
        }
        for (size_t p = 0; p < marked.size(); ++p)
            if (marked[p]) WriteTextLine(s, Format("G%d", static_cast<int>(p)));
        WriteNewLine(s);
    }
}

void WriteUVReport(const TModel& model, TStream& s)
{
    for (int i = 0; i < model.LODCount(); ++i) {
        const TLOD& lod = *model.LOD(i);
        WriteTextLine(s, Format("LOD%d", i));
        std::vector<uint32_t> words(lod.Textures.size(), 0);
        for (const TFace& face : lod.Faces) {
            if (face.Texture >= words.size()) continue;
            for (int k = 0; k < face.Count && k < 4; ++k) {
                const uint16_t v = face.Vertices[static_cast<size_t>(k)];
                if (v >= lod.UVs.size()) continue;
                const TUV uv = lod.UVs[v];
                words[face.Texture] = RangeClass(uv.u, 0x1, 0x2, 0x4, 0x8) | RangeClass(uv.v, 0x1000, 0x2000, 0x4000, 0x8000);
            }
        }
        for (size_t t = 0; t < words.size(); ++t)
            WriteTextLine(s, Format("T%d %08X", static_cast<int>(t), words[t]));
    }
}

TCheckResult WriteModelCheck(const TModel& model, TModelCheck check, const std::string& folder, std::string* error)
{
    if (check == TModelCheck::Mass && !MassGeometry(model)) return TCheckResult::NothingToCheck;
    const std::string path = PathToUtf8(PathFromUtf8(folder) / ModelCheckFileName(check));
    try {
        const bool saved = SaveFileSafely(
            path,
            [&](TStream& s) {
                switch (check) {
                case TModelCheck::Mass: WriteMassReport(model, s); break;
                case TModelCheck::Normals: WriteNormalsReport(model, s); break;
                case TModelCheck::UV: WriteUVReport(model, s); break;
                }
                return true;
            },
            error);
        return saved ? TCheckResult::Written : TCheckResult::Failed;
    } catch (const std::exception& e) {
        if (error) *error = e.what();
        return TCheckResult::Failed;
    }
}

void RunModelCheck(const TModel& model, TModelCheck check)
{
    std::error_code ec;
    const std::string folder = PathToUtf8(std::filesystem::current_path(ec));
    TCheckResult result;
    {
        TWaitCursor wait;
        result = WriteModelCheck(model, check, folder);
    }
    if (result == TCheckResult::NothingToCheck) return;
    ShowMessage(TMessageKind::Information, result == TCheckResult::Written ? "Ok" : "Error");
}

}  // namespace mc
