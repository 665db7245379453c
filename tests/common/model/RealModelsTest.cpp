// Real models made by others: every ODOL one loads and saves back to the
// same bytes and survives the editable form; editable ones load (those of a
// later layout are refused with the reason) and convert to the same ODOL
// bytes every time.
#include <gtest/gtest.h>

#include <set>

#include "Core/Stream.h"
#include "Core/Strings.h"
#include "Model/Mlod.h"
#include "Model/Model.h"
#include "Model/ModelLoader.h"
#include "Model/Odol.h"
#include "TestSupport.h"

using namespace mc;

namespace {

bool IsOdol(const std::vector<uint8_t>& bytes)
{
    return bytes.size() >= 4 && std::equal(bytes.begin(), bytes.begin() + 4, "ODOL");
}

}  // namespace

TEST(RealModels, OdolFilesLoadAndSaveByteIdentical)
{
    const auto files = test::RealFiles("p3d", ".p3d");
    if (files.empty()) GTEST_SKIP() << "no real models here";
    int odol = 0;
    for (const auto& path : files) {
        const auto bytes = test::ReadFileBytes(path);
        if (!IsOdol(bytes)) continue;
        ++odol;
        test::TRecordingServices rec;
        auto model = LoadModelFromMemory(bytes.data(), bytes.size(), path.filename().string());
        ASSERT_TRUE(model) << path << ": " << (rec.Log.empty() ? "" : rec.Log.back());
        EXPECT_TRUE(rec.Log.empty());

        // Special LODs are named from the resolution table. A kind may share
        // another kind's LOD (the Geometry LOD often serves as Fire Geometry).
        for (int k = 0; k < kSpecialLODKindCount; ++k) {
            if (const TLOD* lod = model->SpecialLODPtr(k)) {
                EXPECT_GE(ResolutionRow(lod->Resolution), 0) << path;
            }
        }
        if (const TLOD* geometry = model->SpecialLODPtr(SpecialGeometry)) {
            EXPECT_EQ(geometry->Name(), "Geometry");
        }

        // Placement recomputed from the first face agrees with the stored one.
        for (const auto& lod : model->LODs)
            for (const auto& proxy : lod->Proxies) {
                if (!proxy->HasCorners) continue;
                const auto stored = *proxy->StoredPlacement;
                const auto held = proxy->Placement();
                for (int i = 0; i < 4; ++i) EXPECT_LT(Length(stored[i] - held[i]), 1e-5f) << path << " " << proxy->Name;
            }

        model->SaveFlags = SaveFlags::Animation;
        TMemoryStream out;
        ASSERT_TRUE(SaveOdol(*model, out));
        EXPECT_TRUE(out.Bytes() == bytes) << path << " differs after saving";
    }
    EXPECT_GT(odol, 0);
}

namespace {

bool HasSp3xLODs(const std::vector<uint8_t>& bytes)
{
    return bytes.size() >= 16 && std::equal(bytes.begin() + 12, bytes.begin() + 16, "SP3X");
}

std::vector<uint8_t> SaveWith(const TModel& model, bool (*save)(const TModel&, TStream&))
{
    TMemoryStream out;
    EXPECT_TRUE(save(model, out));
    return out.TakeBytes();
}

// Everything a held model keeps, as the ODOL form carries it.
void ExpectSameHeldModel(const TModel& a, const TModel& b, const std::string& what)
{
    ASSERT_EQ(a.LODCount(), b.LODCount()) << what;
    for (int i = 0; i < a.LODCount(); ++i) {
        const TLOD& x = *a.LOD(i);
        const TLOD& y = *b.LOD(i);
        const std::string where = what + " LOD " + std::to_string(i);
        EXPECT_EQ(x.Resolution, y.Resolution) << where;
        EXPECT_EQ(x.Positions, y.Positions) << where;
        EXPECT_EQ(x.Normals, y.Normals) << where;
        EXPECT_EQ(x.UVs, y.UVs) << where;
        EXPECT_EQ(x.Faces, y.Faces) << where;
        ASSERT_EQ(x.TextureCount(), y.TextureCount()) << where;
        for (int t = 0; t < x.TextureCount(); ++t) EXPECT_EQ(x.Textures[t].Name, y.Textures[t].Name) << where;
        EXPECT_EQ(x.PointToVertex, y.PointToVertex) << where;
        EXPECT_EQ(x.VertexToPoint, y.VertexToPoint) << where;
        EXPECT_EQ(x.Masses, y.Masses) << where;
        EXPECT_EQ(x.PropertyNames, y.PropertyNames) << where;
        EXPECT_EQ(x.PropertyValues, y.PropertyValues) << where;
        EXPECT_EQ(x.ColorWord1, y.ColorWord1) << where;
        EXPECT_EQ(x.ColorWord2, y.ColorWord2) << where;
        for (int k = 0; k < 4; ++k) EXPECT_EQ(x.LODVectors[k], y.LODVectors[k]) << where;
        ASSERT_EQ(x.SelectionCount(), y.SelectionCount()) << where;
        for (int s = 0; s < x.SelectionCount(); ++s) {
            EXPECT_EQ(x.Selections[s]->Name, y.Selections[s]->Name) << where;
            EXPECT_EQ(x.Selections[s]->Faces, y.Selections[s]->Faces) << where;
            EXPECT_EQ(x.Selections[s]->Vertices, y.Selections[s]->Vertices) << where;
        }
        ASSERT_EQ(x.ProxyCount(), y.ProxyCount()) << where;
        for (int p = 0; p < x.ProxyCount(); ++p) {
            EXPECT_EQ(x.Proxies[p]->Name, y.Proxies[p]->Name) << where;
            EXPECT_EQ(x.Proxies[p]->ProxyId, y.Proxies[p]->ProxyId) << where;
            EXPECT_EQ(x.Proxies[p]->SelectionIndex, y.Proxies[p]->SelectionIndex) << where;
            EXPECT_EQ(x.Proxies[p]->Placement(), y.Proxies[p]->Placement()) << where;
        }
    }
    EXPECT_EQ(a.SpecialLODs, b.SpecialLODs) << what;
    for (const auto& [u, v] : {std::pair(a.AimPoint, b.AimPoint), std::pair(a.RangeA, b.RangeA),
                               std::pair(a.RangeB, b.RangeB), std::pair(a.ModelOffset, b.ModelOffset),
                               std::pair(a.GeometryCenter, b.GeometryCenter), std::pair(a.MassCenter, b.MassCenter)})
        EXPECT_EQ(u, v) << what;
    EXPECT_EQ(a.Mass, b.Mass) << what;
    EXPECT_EQ(a.BoundingRadius, b.BoundingRadius) << what;
    EXPECT_EQ(a.InfoFlags, b.InfoFlags) << what;
    EXPECT_EQ(a.InfoWord, b.InfoWord) << what;
    EXPECT_EQ(a.InfoWords, b.InfoWords) << what;
    EXPECT_EQ(a.InfoTail, b.InfoTail) << what;
    EXPECT_EQ(a.InfoMatrix, b.InfoMatrix) << what;
    EXPECT_EQ(a.ExtentX, b.ExtentX) << what;
    EXPECT_EQ(a.ExtentY, b.ExtentY) << what;
    EXPECT_EQ(a.MapIconColor, b.MapIconColor) << what;
    // The ODOL form stores icons from 24 on as 22 ("hide").
    EXPECT_EQ(a.MapIcon < kMapIconUnknown ? a.MapIcon : kMapIconHide, b.MapIcon) << what;
}

// The points a selection names, through the vertex-to-point map.
std::set<uint16_t> SelectedPoints(const TLOD& lod, const TModelComponent& sel)
{
    std::set<uint16_t> points;
    for (uint16_t v : sel.Vertices) points.insert(lod.VertexToPoint[v]);
    return points;
}

// What the editable form keeps of an ODOL LOD: per face its texture and its
// corners' positions, normals and texture coordinates, the selections as
// sets of faces and points, the properties and the masses.
void ExpectSameEditableContent(const TLOD& x, const TLOD& y, const std::string& where)
{
    ASSERT_EQ(x.FaceCount(), y.FaceCount()) << where;
    EXPECT_EQ(x.PointCount(), y.PointCount()) << where;
    const auto textureOf = [](const TLOD& lod, const TFace& f) {
        return f.Texture < lod.Textures.size() ? LowerCase(lod.Textures[f.Texture].Name) : std::string();
    };
    int differing = 0;
    for (int f = 0; f < x.FaceCount(); ++f) {
        const TFace& a = x.Faces[f];
        const TFace& b = y.Faces[f];
        bool same = a.Count == b.Count && textureOf(x, a) == textureOf(y, b);
        for (int k = 0; same && k < a.Count; ++k) {
            const uint16_t va = a.Vertices[k], vb = b.Vertices[k];
            same = x.Positions[va] == y.Positions[vb] && x.Normals[va] == y.Normals[vb] && x.UVs[va] == y.UVs[vb];
        }
        differing += !same;
    }
    EXPECT_EQ(differing, 0) << where;
    ASSERT_EQ(x.SelectionCount(), y.SelectionCount()) << where;
    for (int s = 0; s < x.SelectionCount(); ++s) {
        const TModelComponent& a = *x.Selections[s];
        const TModelComponent& b = *y.Selections[s];
        EXPECT_EQ(a.Name, b.Name) << where;
        EXPECT_EQ(std::set<uint16_t>(a.Faces.begin(), a.Faces.end()), std::set<uint16_t>(b.Faces.begin(), b.Faces.end()))
            << where << " " << a.Name;
        EXPECT_EQ(SelectedPoints(x, a), SelectedPoints(y, b)) << where << " " << a.Name;
    }
    EXPECT_EQ(x.PropertyNames, y.PropertyNames) << where;
    EXPECT_EQ(x.PropertyValues, y.PropertyValues) << where;
    EXPECT_EQ(x.Masses, y.Masses) << where;
}

}  // namespace

TEST(RealModels, EditableFilesLoadOrAreRefusedWithTheReason)
{
    const auto files = test::RealFiles("p3d", ".p3d");
    if (files.empty()) GTEST_SKIP() << "no real models here";
    int loaded = 0;
    for (const auto& path : files) {
        const auto bytes = test::ReadFileBytes(path);
        if (IsOdol(bytes)) continue;
        test::TRecordingServices rec;
        auto model = LoadModelFromMemory(bytes.data(), bytes.size(), "x.p3d");
        ASSERT_FALSE(rec.Log.empty());
        EXPECT_EQ(rec.Log[0], "Warning: MLOD (demo) model format!");
        if (!HasSp3xLODs(bytes)) {
            EXPECT_EQ(model, nullptr) << path;
            // The later game's editable form (P3DM LODs) is named, in one line.
            EXPECT_EQ(std::find(rec.Log.begin(), rec.Log.end(), "LOD signature mismatch"), rec.Log.end()) << path;
            EXPECT_EQ(rec.Log.back(), "Cannot load model \"x.p3d\": editable model of a later game (P3DM), not supported")
                << path;
            const auto result = ReadModelFromMemory(bytes.data(), bytes.size(), "x.p3d");
            EXPECT_EQ(result.Reason, "editable model of a later game (P3DM), not supported") << path;
            continue;
        }
        ASSERT_TRUE(model) << path << ": " << rec.Log.back();
        ++loaded;
        for (const auto& lod : model->LODs) {
            EXPECT_GT(lod->VertexCount(), 0) << path;
            for (const TFace& f : lod->Faces) EXPECT_EQ(f.Flags & FaceFlags::Always, FaceFlags::Always);
        }
    }
    EXPECT_GT(loaded, 0);
}

TEST(RealModels, EditableModelsConvertToTheSameOdolTwice)
{
    const auto files = test::RealFiles("p3d", ".p3d");
    if (files.empty()) GTEST_SKIP() << "no real models here";
    for (const auto& path : files) {
        const auto bytes = test::ReadFileBytes(path);
        if (!HasSp3xLODs(bytes)) continue;
        test::TRecordingServices rec;
        auto first = LoadModelFromMemory(bytes.data(), bytes.size(), "x.p3d");
        auto second = LoadModelFromMemory(bytes.data(), bytes.size(), "x.p3d");
        ASSERT_TRUE(first && second) << path;
        const auto odol = SaveWith(*first, SaveOdol);
        EXPECT_EQ(odol, SaveWith(*second, SaveOdol)) << path;
        auto back = LoadModelFromMemory(odol.data(), odol.size(), "x.p3d");
        ASSERT_TRUE(back) << path;
        ExpectSameHeldModel(*first, *back, path.filename().string());
    }
}

TEST(RealModels, OdolModelsSurviveTheEditableForm)
{
    const auto files = test::RealFiles("p3d", ".p3d");
    if (files.empty()) GTEST_SKIP() << "no real models here";
    for (const auto& path : files) {
        const auto bytes = test::ReadFileBytes(path);
        if (!IsOdol(bytes)) continue;
        test::TRecordingServices rec;
        auto model = LoadModelFromMemory(bytes.data(), bytes.size(), "x.p3d");
        ASSERT_TRUE(model) << path;
        model->SaveFlags = SaveFlags::GroupedVertices | SaveFlags::SharpEdges | SaveFlags::CorrectShining |
                           SaveFlags::CorrectShadow;
        const auto mlod = SaveWith(*model, SaveMlod);
        auto back = LoadModelFromMemory(mlod.data(), mlod.size(), "x.p3d");
        ASSERT_TRUE(back) << path << ": " << rec.Log.back();
        ASSERT_EQ(back->LODCount(), model->LODCount()) << path;

        // The LODs come back in ascending resolution, each matched to its original.
        const auto order = MlodLODOrder(*model);
        for (int i = 0; i < back->LODCount(); ++i) {
            if (i) {
                EXPECT_LE(back->LOD(i - 1)->Resolution, back->LOD(i)->Resolution) << path;
            }
            const TLOD& original = *order[static_cast<size_t>(i)];
            EXPECT_EQ(original.Resolution, back->LOD(i)->Resolution);
            ExpectSameEditableContent(original, *back->LOD(i),
                                      path.filename().string() + " LOD " + std::to_string(i) + " " + original.Name());
        }
        const auto odol = SaveWith(*back, SaveOdol);
        EXPECT_TRUE(LoadModelFromMemory(odol.data(), odol.size(), "x.p3d")) << path;
    }
}

TEST(RealModels, TruncatedRealModelIsRefused)
{
    const auto files = test::RealFiles("p3d", ".p3d");
    if (files.empty()) GTEST_SKIP() << "no real models here";
    for (const auto& path : files) {
        const auto bytes = test::ReadFileBytes(path);
        if (!IsOdol(bytes) || bytes.size() > 600000) continue;
        for (size_t cut : {bytes.size() - 1, bytes.size() / 2, bytes.size() / 3, size_t{100}}) {
            test::TRecordingServices rec;
            EXPECT_EQ(LoadModelFromMemory(bytes.data(), cut, "x.p3d"), nullptr) << path << " cut at " << cut;
        }
    }
}
