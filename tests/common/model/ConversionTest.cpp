// The conversion of editable LODs to the held form, selection and proxy
// tags, and the data derived for a converted model.
#include <gtest/gtest.h>

#include <map>

#include "Model/Conversion.h"
#include "Model/DerivedData.h"
#include "Model/Model.h"
#include "TestSupport.h"
#include "Texture/TextureHeaderSource.h"
#include "Texture/TextureTypes.h"

using namespace mc;

namespace {

// Texture headers by name, counting the questions asked.
class TFakeHeaders : public ITextureHeaderSource {
public:
    std::optional<TTextureHeaderInfo> Header(const std::string& name) override
    {
        ++Asked[name];
        const auto it = Known.find(name);
        return it == Known.end() ? std::nullopt : std::optional(it->second);
    }
    std::map<std::string, TTextureHeaderInfo> Known;
    std::map<std::string, int> Asked;
};

const Vector3 kCube[8] = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {0, 0, 1}, {1, 0, 1}, {1, 1, 1}, {0, 1, 1}};
const uint32_t kSides[6][4] = {{0, 3, 2, 1}, {4, 5, 6, 7}, {0, 4, 7, 3}, {1, 2, 6, 5}, {3, 7, 6, 2}, {0, 1, 5, 4}};

// The cube's editable form: with sharedNormals one normal per point, else
// one per side.
TEditableLOD Cube(bool sharedNormals)
{
    TEditableLOD e;
    e.Points.assign(std::begin(kCube), std::end(kCube));
    e.PointFlags.assign(8, 0);
    for (uint32_t i = 0; i < (sharedNormals ? 8u : 6u); ++i) e.Normals.push_back({static_cast<float>(i) + 1, 0, 0});
    for (uint16_t s = 0; s < 6; ++s) {
        TEditableFace f;
        f.Texture = 0;
        f.Count = 4;
        for (size_t k = 0; k < 4; ++k) {
            const uint32_t p = kSides[s][k];
            f.Corners[k] = {p, sharedNormals ? p : s, kCube[p].x, kCube[p].y};
        }
        e.Faces.push_back(f);
    }
    return e;
}

struct TConverted {
    TModel Model;
    TLOD* LOD = Model.AddLOD();
    TTextureFlagCache TextureFlags;
    std::unique_ptr<TLODConversion> Conversion;
    bool Ok = false;

    // headers: where the texture headers come from (none: no flags).
    explicit TConverted(const TEditableLOD& e, std::vector<std::string> textures = {""},
                        ITextureHeaderSource* headers = nullptr)
    {
        for (auto& t : textures) LOD->Textures.push_back({t});
        TextureFlags.Headers = headers;
        Conversion = std::make_unique<TLODConversion>(*LOD, e, &TextureFlags);
        Ok = Conversion->Convert();
    }
    void Select(const TEditableLOD& e, const std::string& name, std::vector<size_t> points, std::vector<size_t> faces)
    {
        std::vector<uint8_t> bytes(e.Points.size() + e.Faces.size(), 0);
        for (size_t p : points) bytes[p] = 1;
        for (size_t f : faces) bytes[e.Points.size() + f] = 1;
        Conversion->AddSelectionTag(name, bytes);
    }
};

}  // namespace

TEST(Conversion, VerticesAreDistinctNormalAndTextureCoordinates)
{
    test::TRecordingServices rec;
    const TEditableLOD own = Cube(false);
    const TConverted sides(own);
    ASSERT_TRUE(sides.Ok);
    ASSERT_EQ(sides.LOD->VertexCount(), 24);
    EXPECT_EQ(sides.LOD->PointCount(), 8);
    // The vertices of a point are consecutive and every map points back.
    for (int v = 0; v < 24; ++v) {
        const uint16_t p = sides.LOD->VertexToPoint[static_cast<size_t>(v)];
        EXPECT_LE(sides.LOD->PointToVertex[p], v);
        EXPECT_EQ(sides.LOD->Positions[static_cast<size_t>(v)], kCube[p]);
        if (v) {
            EXPECT_GE(p, sides.LOD->VertexToPoint[static_cast<size_t>(v) - 1]);
        }
    }
    EXPECT_EQ(sides.LOD->PointToVertex[0], 0);
    EXPECT_EQ(rec.Log, (std::vector<std::string>{"Conversion MLOD to ODOL ...", "...conversion done."}));

    const TEditableLOD shared = Cube(true);
    const TConverted smooth(shared);
    EXPECT_EQ(smooth.LOD->VertexCount(), 8);
    // Held winding: (P, Q, R, S) as (P, S, R, Q).
    EXPECT_EQ(smooth.LOD->Faces[1].Vertices, (std::array<uint16_t, 4>{4, 7, 6, 5}));

    // Point 0 in three faces, with u = 0.5, 0.5 and 0.50000006.
    TEditableLOD close = Cube(true);
    close.Faces[0].Corners[0].U = 0.5f;
    close.Faces[2].Corners[0].U = 0.5f;
    close.Faces[5].Corners[0].U = 0.50000006f;
    const TConverted split(close);
    EXPECT_EQ(split.LOD->VertexCount(), 9);
}

TEST(Conversion, PointsNoFaceUsesKeepOneVertex)
{
    TEditableLOD e = Cube(true);
    e.Points.push_back({5, 5, 5});
    e.PointFlags.push_back(0);
    e.Normals.assign(8, Vector3{1, 0, 0});
    e.Faces.resize(1);  // only points 0..3 are used
    const TConverted c(e);
    ASSERT_TRUE(c.Ok);
    EXPECT_EQ(c.LOD->VertexCount(), 9);
    EXPECT_EQ(c.LOD->VertexToPoint[8], 8);
    EXPECT_EQ(c.LOD->Positions[8], (Vector3{5, 5, 5}));
    EXPECT_EQ(c.LOD->Normals[8], Vector3{});
    EXPECT_EQ(c.LOD->Normals[4], Vector3{});  // point 4, unused
    EXPECT_EQ(c.LOD->UVs[4], TUV{});
}

TEST(Conversion, PointWithManyVerticesIsIndexedTheSame)
{
    // One point used by 300 corners with 90 different texture coordinates,
    // met in a scrambled order: its vertices are numbered by first use.
    TEditableLOD e;
    e.Points = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    e.PointFlags.assign(3, 0);
    e.Normals = {{0, 0, 1}, {0, 0, 1}};
    std::vector<int> firstUse;
    for (int i = 0; i < 300; ++i) {
        const int uv = (i * 37) % 90;
        TEditableFace f;
        f.Texture = 0;
        // The normal index alternates over equal normals: still one vertex.
        f.Corners[0] = {0, static_cast<uint32_t>(i % 2), static_cast<float>(uv), 0};
        f.Corners[1] = {1, 0, 0, 0};
        f.Corners[2] = {2, 0, 0, 0};
        e.Faces.push_back(f);
        if (std::find(firstUse.begin(), firstUse.end(), uv) == firstUse.end()) firstUse.push_back(uv);
    }
    const TConverted c(e);
    ASSERT_TRUE(c.Ok);
    EXPECT_EQ(c.LOD->VertexCount(), 92);
    for (size_t f = 0; f < e.Faces.size(); ++f) {
        const int uv = static_cast<int>(e.Faces[f].Corners[0].U);
        const auto order = std::find(firstUse.begin(), firstUse.end(), uv) - firstUse.begin();
        EXPECT_EQ(c.Conversion->CornerVertex(f, 0), order) << f;
        EXPECT_EQ(c.LOD->UVs[static_cast<size_t>(order)].u, static_cast<float>(uv));
    }
}

TEST(Conversion, TextureFlagsFromHeaders)
{
    TFakeHeaders headers;
    headers.Known["alpha.paa"] = {0x4444, true};
    headers.Known["flat.paa"] = {0x4444, false};
    headers.Known["a1555.paa"] = {kTextureTypeARGB1555, true};
    headers.Known["a5515.paa"] = {kTextureTypeARGB1555Alt, true};
    headers.Known["dxt1.paa"] = {kTextureTypeDXT1, true};
    test::TRecordingServices rec;

    TEditableLOD e = Cube(true);
    const std::vector<std::string> names = {"alpha.paa", "flat.paa", "a1555.paa", "a5515.paa", "dxt1.paa", "gone.paa", ""};
    for (size_t f = 0; f < 6; ++f) e.Faces[f].Texture = static_cast<uint16_t>(f);
    TEditableFace extra = e.Faces[0];
    extra.Texture = 5;
    e.Faces.push_back(extra);  // a second face of the missing texture
    e.Faces.push_back(e.Faces[0]);
    e.Faces.back().Texture = 1;  // a second face of "flat.paa", on side 0's points
    const TConverted plain(e, names, &headers);
    ASSERT_TRUE(plain.Ok);
    const auto flagsOf = [&](const TConverted& c, size_t f) { return c.LOD->Faces[f].Flags; };
    EXPECT_EQ(flagsOf(plain, 0), 0x2C100u);
    EXPECT_EQ(flagsOf(plain, 1), 0xC000u);
    EXPECT_EQ(flagsOf(plain, 2), 0x2C200u);
    EXPECT_EQ(flagsOf(plain, 3), 0x2C200u);
    EXPECT_EQ(flagsOf(plain, 4), 0x2C200u);
    EXPECT_EQ(flagsOf(plain, 5), 0xC000u);
    EXPECT_EQ(headers.Asked["gone.paa"], 2);   // a failed lookup is tried a second time
    EXPECT_EQ(headers.Asked["alpha.paa"], 1);  // found at once
    EXPECT_EQ(std::count(rec.Log.begin(), rec.Log.end(),
                         "Texture \"gone.paa\" not loaded. Cannot create right texture flags."),
              1);
    EXPECT_EQ(headers.Asked.count(""), 0u);

    // A shining point marks every face of its texture.
    e.PointFlags[0] = kPointFlagShining;  // on sides 0, 2, 5 and faces 6, 7
    const TConverted shining(e, names, &headers);
    EXPECT_EQ(flagsOf(shining, 0), 0x3C100u);
    EXPECT_EQ(flagsOf(shining, 1), 0x1C000u);  // side 1 has no shining point, face 7 of its texture has
    EXPECT_EQ(flagsOf(shining, 4), 0x2C200u);
    EXPECT_EQ(flagsOf(shining, 5), 0x1C000u);
}

TEST(Conversion, ProxyNames)
{
    std::string name;
    int32_t id = -5;
    EXPECT_EQ(ParseProxyName("Proxy:ladder.3", name, id), TProxyName::Valid);
    EXPECT_EQ(name, "ladder");
    EXPECT_EQ(id, 3);
    EXPECT_EQ(ParseProxyName("proxy:ladder", name, id), TProxyName::Valid);
    EXPECT_EQ(id, 0);
    EXPECT_EQ(ParseProxyName("PROXY:a\\b.-12", name, id), TProxyName::Valid);
    EXPECT_EQ(name, "a\\b");
    EXPECT_EQ(id, -12);
    EXPECT_EQ(ParseProxyName("proxy:.1", name, id), TProxyName::Invalid);
    EXPECT_EQ(ParseProxyName("proxy:ladder.x", name, id), TProxyName::Invalid);
    EXPECT_EQ(ParseProxyName("proxy:ladder.1.2", name, id), TProxyName::Invalid);
    EXPECT_EQ(ParseProxyName("proxy:ladder.99999999999", name, id), TProxyName::Invalid);
    EXPECT_EQ(ParseProxyName("proxy", name, id), TProxyName::NotProxy);
    EXPECT_EQ(ParseProxyName("proxyx:a", name, id), TProxyName::NotProxy);
}

TEST(Conversion, SelectionAndProxyTags)
{
    const TEditableLOD e = Cube(false);
    TConverted c(e);
    ASSERT_TRUE(c.Ok);
    // Point 0 is reached by face 2 first; point 6 by no selected face.
    c.Select(e, "side", {0, 4, 6}, {2});
    c.Select(e, "Proxy:ladder.3", {}, {5});
    c.Select(e, "proxy:.1", {1}, {0});
    c.Select(e, "proxy:empty", {1}, {});
    const TLOD& lod = *c.LOD;
    ASSERT_EQ(lod.SelectionCount(), 3);
    const TModelComponent& side = *lod.Selections[0];
    EXPECT_EQ(side.Faces, std::vector<uint16_t>{2});
    EXPECT_EQ(side.Vertices, (std::vector<uint16_t>{c.Conversion->CornerVertex(2, 0), c.Conversion->CornerVertex(2, 1),
                                                   lod.PointToVertex[6]}));
    EXPECT_EQ(side.Proxy, nullptr);

    ASSERT_EQ(lod.ProxyCount(), 2);
    const TProxy& ladder = *lod.Proxies[0];
    EXPECT_EQ(ladder.Name, "ladder");
    EXPECT_EQ(ladder.ProxyId, 3);
    EXPECT_EQ(ladder.SelectionIndex, 1);
    EXPECT_EQ(lod.Selections[1]->Name, "Proxy:ladder.3");
    EXPECT_EQ(lod.Selections[1]->Proxy, &ladder);
    EXPECT_TRUE(ladder.HasCorners);
    EXPECT_EQ(lod.Faces[5].Flags & FaceFlags::Proxy, FaceFlags::Proxy);
    EXPECT_EQ(lod.Faces[4].Flags & FaceFlags::Proxy, 0u);
    // A proxy selection without faces places nothing.
    EXPECT_EQ(lod.Proxies[1]->SelectionIndex, 2);
    EXPECT_EQ(lod.Selections[2]->Proxy, nullptr);
}

TEST(DerivedData, CompletionOfAConvertedModel)
{
    TModel m;
    TLOD& visual = *m.AddLOD();
    visual.Resolution = 1;
    visual.Positions = {{-2, 1, 0}, {4, 3, 2}};
    TLOD& geometry = *m.AddLOD();
    geometry.Resolution = ResolutionValue(ResGeometry);
    geometry.Positions = {{0, -1, 0}, {2, 1, 0}, {2, 1, 0}, {0, 3, 4}};
    geometry.PointToVertex = {0, 1, 3};
    geometry.Masses = {0, 5, 0};
    geometry.AddProperty("map", "church");
    geometry.AddProperty("autocenter", "0");
    CompleteConvertedModel(m);

    EXPECT_EQ(m.SpecialLOD(SpecialGeometry), 1);
    EXPECT_EQ(m.SpecialLOD(SpecialMemory), -1);
    EXPECT_EQ(m.MapIcon, MapIconCode("church"));
    EXPECT_EQ(m.MapIconColor, 0xFF000000u);
    EXPECT_EQ(m.RangeA, (Vector3{-2, -1, 0}));
    EXPECT_EQ(m.RangeB, (Vector3{4, 3, 4}));
    EXPECT_EQ(m.GeometryCenter, (Vector3{1, 1, 2}));
    EXPECT_EQ(m.AimPoint, m.GeometryCenter);
    // Point 0 weighs nothing: the centre lands on point 1's first vertex.
    EXPECT_EQ(m.Mass, 5.0f);
    EXPECT_EQ(m.MassCenter, (Vector3{2, 1, 0}));
    EXPECT_EQ(m.ModelOffset, (Vector3{-1, 1, -2}));
    EXPECT_EQ(m.InfoFlags, (std::array<uint8_t, 5>{0, 0, 0, 1, 0}));
    EXPECT_FLOAT_EQ(m.BoundingRadius, Length({4, 3, 4}));
    EXPECT_EQ(m.ExtentX, 6.0f);
    EXPECT_EQ(m.ExtentY, 4.0f);
    EXPECT_EQ(m.InfoTail, (std::array<float, 3>{0.1f, 200.0f, 0.005f}));
    EXPECT_EQ(m.InfoMatrix[1].z, 0.000124f);

    // LODVectors: -1 or 0, the same for every completion.
    std::vector<float> first;
    for (const auto& lod : m.LODs)
        for (const Vector3& v : lod->LODVectors)
            for (float f : {v.x, v.y, v.z}) {
                EXPECT_TRUE(f == -1.0f || f == 0.0f);
                first.push_back(f);
            }
    CompleteConvertedModel(m);
    std::vector<float> second;
    for (const auto& lod : m.LODs)
        for (const Vector3& v : lod->LODVectors) second.insert(second.end(), {v.x, v.y, v.z});
    EXPECT_EQ(first, second);
    EXPECT_NE(std::count(first.begin(), first.end(), 0.0f), 0);
    EXPECT_NE(std::count(first.begin(), first.end(), -1.0f), 0);
}

TEST(DerivedData, LandContactMemoryAndNoGeometry)
{
    TModel m;
    TLOD& visual = *m.AddLOD();
    visual.Positions = {{1, 2, 3}};
    TLOD& memory = *m.AddLOD();
    memory.Resolution = ResolutionValue(ResMemory);
    memory.Positions = {{0, 0, 0}, {7, 8, 9}};
    auto aim = std::make_unique<TModelComponent>(&memory);
    aim->Name = "Zamerny";
    aim->Vertices = {1};
    memory.Selections.push_back(std::move(aim));
    TLOD& contact = *m.AddLOD();
    contact.Resolution = ResolutionValue(ResLandContact);
    contact.Positions = {{3, -0.5f, 1}};
    CompleteConvertedModel(m);
    EXPECT_EQ(m.Mass, 0.0f);
    EXPECT_EQ(m.MassCenter, Vector3{});
    EXPECT_EQ(m.GeometryCenter, Vector3{});
    EXPECT_EQ(m.AimPoint, (Vector3{7, 8, 9}));
    EXPECT_EQ(m.ModelOffset, (Vector3{0, 0.5f, 0}));
    EXPECT_EQ(m.MapIcon, kMapIconHide);
    EXPECT_EQ(m.InfoFlags[0], 1);

    TModel empty;
    ComputeDerivedData(empty);
    EXPECT_EQ(empty.RangeA, Vector3{});
    EXPECT_EQ(empty.RangeB, Vector3{});
}
