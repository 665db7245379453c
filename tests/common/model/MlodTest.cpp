// The editable form MLOD: reading with its refusals, writing under the
// converter options, and the round trip through both forms.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <map>
#include <optional>

#include "Core/StreamIO.h"
#include "DemoModel.h"
#include "Model/Mlod.h"
#include "Model/Model.h"
#include "Model/ModelLoader.h"
#include "Model/Odol.h"
#include "TestSupport.h"
#include "Texture/TextureHeaderSource.h"

using namespace mc;

namespace {

// Editable files built byte by byte.
struct TCorner {
    uint32_t Point = 0, Normal = 0;
    float U = 0, V = 0;
};

struct TPolygon {
    std::string Texture;
    std::vector<TCorner> Corners;
    uint32_t Flags = 0;
    uint32_t Count = 0;  // 0: the number of corners
};

struct TTag {
    std::string Name;
    std::vector<uint8_t> Data;
};

void Put(std::vector<uint8_t>& b, const void* p, size_t n)
{
    b.insert(b.end(), static_cast<const uint8_t*>(p), static_cast<const uint8_t*>(p) + n);
}
void Put32(std::vector<uint8_t>& b, uint32_t v) { Put(b, &v, 4); }
void PutF(std::vector<uint8_t>& b, float v) { Put(b, &v, 4); }
void PutFixed(std::vector<uint8_t>& b, const std::string& text, size_t width)
{
    std::vector<uint8_t> field(width, 0);
    std::memcpy(field.data(), text.data(), std::min(text.size(), width));
    Put(b, field.data(), width);
}

struct TSp3x {
    uint32_t Signature = kSignatureSP3X, Major = 28, Minor = 153;
    std::vector<Vector3> Points;
    std::vector<uint32_t> PointFlags;
    std::vector<Vector3> Normals;
    std::vector<TPolygon> Polygons;
    std::vector<TTag> Tags;
    uint32_t TagSection = kSignatureTAGG;
    float Resolution = 1;

    void Write(std::vector<uint8_t>& b) const
    {
        for (uint32_t v : {Signature, Major, Minor, static_cast<uint32_t>(Points.size()),
                           static_cast<uint32_t>(Normals.size()), static_cast<uint32_t>(Polygons.size()), 0u})
            Put32(b, v);
        for (size_t i = 0; i < Points.size(); ++i) {
            Put(b, &Points[i], 12);
            Put32(b, i < PointFlags.size() ? PointFlags[i] : 0);
        }
        for (const Vector3& n : Normals) Put(b, &n, 12);
        for (const TPolygon& p : Polygons) {
            PutFixed(b, p.Texture, 32);
            Put32(b, p.Count ? p.Count : static_cast<uint32_t>(p.Corners.size()));
            for (size_t k = 0; k < 4; ++k) {
                const TCorner c = k < p.Corners.size() ? p.Corners[k] : TCorner{};
                Put32(b, c.Point);
                Put32(b, c.Normal);
                PutF(b, c.U);
                PutF(b, c.V);
            }
            Put32(b, p.Flags);
        }
        Put32(b, TagSection);
        for (const TTag& t : Tags) {
            PutFixed(b, t.Name, 64);
            Put32(b, static_cast<uint32_t>(t.Data.size()));
            Put(b, t.Data.data(), t.Data.size());
        }
        PutFixed(b, "#EndOfFile#", 64);
        Put32(b, 0);
        PutF(b, Resolution);
    }
};

std::vector<uint8_t> MlodFile(const std::vector<TSp3x>& lods, size_t trailerBytes = 0)
{
    std::vector<uint8_t> b;
    Put32(b, kSignatureMLOD);
    Put32(b, kMlodVersion);
    Put32(b, static_cast<uint32_t>(lods.size()));
    for (const TSp3x& lod : lods) lod.Write(b);
    b.insert(b.end(), trailerBytes, 'x');
    return b;
}

TTag PropertyTag(const std::string& name, const std::string& value)
{
    TTag t{"#Property#", {}};
    PutFixed(t.Data, name, 64);
    PutFixed(t.Data, value, 64);
    return t;
}

TTag MassTag(const std::vector<float>& masses)
{
    TTag t{"#Mass#", {}};
    for (float m : masses) PutF(t.Data, m);
    return t;
}

TTag SelectionTag(const std::string& name, const TSp3x& lod, std::vector<size_t> points, std::vector<size_t> faces)
{
    TTag t{name, std::vector<uint8_t>(lod.Points.size() + lod.Polygons.size(), 0)};
    for (size_t p : points) t.Data[p] = 1;
    for (size_t f : faces) t.Data[lod.Points.size() + f] = 1;
    return t;
}

// A unit square as one quad: four points sharing one normal, each with its
// own texture coordinates.
TSp3x Square()
{
    TSp3x lod;
    lod.Points = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}};
    lod.Normals = {{0, 0, 1}};
    lod.Polygons = {{"Data\\Square.PAA", {{0, 0, 0, 0}, {1, 0, 1, 0}, {2, 0, 1, 1}, {3, 0, 0, 1}}}};
    return lod;
}

struct TLoaded {
    std::unique_ptr<TModel> Model;
    std::vector<std::string> Log;
};

// headers: where the conversion looks its textures up (none: no flags).
TLoaded Load(const std::vector<uint8_t>& bytes, ITextureHeaderSource* headers = nullptr)
{
    test::TRecordingServices rec;
    TLoaded r;
    r.Model = LoadModelFromMemory(bytes.data(), bytes.size(), "m.p3d", headers);
    r.Log = rec.Log;
    return r;
}

bool Logged(const TLoaded& r, const std::string& line)
{
    return std::find(r.Log.begin(), r.Log.end(), line) != r.Log.end();
}

const std::string kCorrupted = "Cannot load \"m.p3d\": file possible corrupted";

std::vector<uint8_t> SaveMlodBytes(const TModel& m)
{
    TMemoryStream s;
    EXPECT_TRUE(SaveMlod(m, s));
    return s.TakeBytes();
}

// The tags of the first LOD of a written file, in order.
std::vector<TTag> WrittenTags(const std::vector<uint8_t>& file)
{
    TMemoryReader r(file.data(), file.size());
    SkipBytes(r, 12 + 12);
    const uint32_t np = ReadCardinal(r), nn = ReadCardinal(r), nf = ReadCardinal(r);
    SkipBytes(r, 4 + np * 16 + nn * 12 + nf * 104);
    EXPECT_EQ(ReadCardinal(r), kSignatureTAGG);
    std::vector<TTag> tags;
    for (;;) {
        TTag t{ReadString64(r), {}};
        t.Data.resize(ReadCardinal(r));
        ReadBuffer(r, t.Data.data(), t.Data.size());
        tags.push_back(t);
        if (t.Name == "#EndOfFile#") return tags;
    }
}

std::vector<std::string> TagNames(const std::vector<TTag>& tags)
{
    std::vector<std::string> names;
    for (const TTag& t : tags) names.push_back(t.Name);
    return names;
}

}  // namespace

TEST(MlodRead, SquareIsHeldWithReverseWindingAndFlippedNormals)
{
    TSp3x lod = Square();
    lod.Tags = {PropertyTag("class", "thing"), SelectionTag("corner", lod, {2}, {})};
    const TLoaded r = Load(MlodFile({lod}));
    ASSERT_TRUE(r.Model);
    EXPECT_EQ(r.Log, (std::vector<std::string>{
                         "Warning: MLOD (demo) model format!", "Conversion MLOD to ODOL ...",
                         "Texture \"data\\square.paa\" not loaded. Cannot create right texture flags.",
                         "...conversion done."}));
    const TLOD& held = *r.Model->LOD(0);
    EXPECT_EQ(r.Model->Signature, kSignatureMLOD);
    ASSERT_EQ(held.VertexCount(), 4);
    ASSERT_EQ(held.FaceCount(), 1);
    EXPECT_EQ(held.Faces[0].Vertices, (std::array<uint16_t, 4>{0, 3, 2, 1}));
    EXPECT_EQ(held.Faces[0].Flags, FaceFlags::Always);
    EXPECT_EQ(held.Normals[1], (Vector3{0, 0, -1}));
    EXPECT_EQ(held.UVs[2], (TUV{1, 1}));
    EXPECT_EQ(held.Textures[0].Name, "data\\square.paa");
    EXPECT_EQ(held.PropertyValue("class"), "thing");
    ASSERT_EQ(held.SelectionCount(), 1);
    EXPECT_EQ(held.Selections[0]->Vertices, std::vector<uint16_t>{2});
    EXPECT_EQ(held.ColorWord1, 0xFF000000u);
    EXPECT_EQ(r.Model->InfoWord, 256u);
}

TEST(MlodRead, RefusedRecordsWithTheirReasons)
{
    const auto refusal = [](const TSp3x& lod) { return Load(MlodFile({lod})); };
    TSp3x lod = Square();

    // A LOD of the later game's editable form is refused by name.
    lod.Signature = kSignatureP3DM;
    TLoaded r = refusal(lod);
    EXPECT_FALSE(r.Model);
    // One line for the one problem: the refusal names the form.
    EXPECT_FALSE(Logged(r, "LOD signature mismatch"));
    const std::string later = "editable model of a later game (P3DM), not supported";
    EXPECT_EQ(r.Log.back(), "Cannot load model \"m.p3d\": " + later);
    {
        test::TRecordingServices rec;
        const auto bytes = MlodFile({Square(), lod});  // the second LOD of the form
        const auto result = ReadModelFromMemory(bytes.data(), bytes.size(), "m.p3d");
        EXPECT_FALSE(result);
        EXPECT_EQ(result.Reason, later);
        EXPECT_EQ(std::count(rec.Log.begin(), rec.Log.end(), "Cannot load model \"m.p3d\": " + later), 1);
    }
    // Any other signature is a corrupted file.
    lod.Signature = 0x4D443351;
    r = refusal(lod);
    EXPECT_TRUE(Logged(r, "LOD signature mismatch"));
    EXPECT_EQ(r.Log.back(), kCorrupted);
    lod = Square(), lod.Major = 27;
    EXPECT_TRUE(Logged(refusal(lod), "LOD major version mismatch"));
    lod = Square(), lod.Minor = 154;
    EXPECT_TRUE(Logged(refusal(lod), "LOD minor version mismatch"));

    // Each of these is a plain corrupted file.
    std::vector<TSp3x> corrupted;
    lod = Square(), lod.Polygons[0].Corners[2].Point = 4;
    corrupted.push_back(lod);
    lod = Square(), lod.TagSection = 0x47474155;
    corrupted.push_back(lod);
    lod = Square(), lod.Tags = {PropertyTag("a", "b")}, lod.Tags[0].Data.pop_back();
    corrupted.push_back(lod);
    lod = Square(), lod.Tags = {MassTag({1, 2, 3})};
    corrupted.push_back(lod);
    lod = Square(), lod.Tags = {SelectionTag("sel", lod, {0}, {})}, lod.Tags[0].Data.push_back(0);
    corrupted.push_back(lod);
    lod = Square(), lod.Resolution = ResolutionValue(ResGeometry);
    corrupted.push_back(lod);
    for (const TSp3x& c : corrupted) {
        r = refusal(c);
        EXPECT_FALSE(r.Model);
        EXPECT_EQ(r.Log.back(), kCorrupted);
    }

    lod = Square(), lod.Polygons[0].Count = 5;
    r = refusal(lod);
    EXPECT_FALSE(r.Model);
    EXPECT_TRUE(Logged(r, "Polygon 0 has 5 corners: only 3 or 4 are possible"));

    // A LOD count the file cannot hold.
    std::vector<uint8_t> file = MlodFile({Square()});
    file[8] = 200;
    r = Load(file);
    EXPECT_FALSE(r.Model);
    EXPECT_EQ(r.Log.back(), kCorrupted);

    // Cut anywhere: refused, never loaded.
    file = MlodFile({Square()});
    for (size_t cut = 8; cut < file.size(); cut += 7) EXPECT_FALSE(Load({file.begin(), file.begin() + cut}).Model) << cut;
}

TEST(MlodRead, LODsBeyondSixteenBitIndicesAreRefused)
{
    TSp3x points;
    points.Points.resize(65537);
    TLoaded r = Load(MlodFile({points}));
    EXPECT_FALSE(r.Model);
    EXPECT_TRUE(Logged(r, "LOD too large: 65537 points, at most 65536 can be indexed"));

    // Three points whose corners all differ in their texture coordinates:
    // one vertex per corner, 65538 in all.
    TSp3x corners;
    corners.Points = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    corners.Normals = {{0, 0, 1}};
    for (int i = 0; i < 21846; ++i) {
        const float u = static_cast<float>(i);
        corners.Polygons.push_back({"", {{0, 0, u, 0}, {1, 0, u, 1}, {2, 0, u, 2}}});
    }
    r = Load(MlodFile({corners}));
    EXPECT_FALSE(r.Model);
    EXPECT_TRUE(Logged(r, "LOD too large: 65538 vertices, at most 65536 can be indexed"));

    corners.Polygons.resize(21845);  // 65535 vertices fit
    r = Load(MlodFile({corners}));
    ASSERT_TRUE(r.Model);
    EXPECT_EQ(r.Model->LOD(0)->VertexCount(), 65535);
    EXPECT_EQ(r.Model->LOD(0)->Faces.back().Vertices, (std::array<uint16_t, 4>{21844, 65534, 43689, 0}));
}

TEST(MlodRead, TagsOfLaterToolsAreSkippedAndTrailerIgnored)
{
    TSp3x lod = Square();
    lod.Tags = {{"#UVSet#", std::vector<uint8_t>(37, 0xAB)},
                {"#Selected#", std::vector<uint8_t>(5, 1)},
                {"#Lock#", {}},
                SelectionTag("#not a tag", lod, {1}, {0})};
    for (size_t trailer : {0, 32, 40}) {
        const TLoaded r = Load(MlodFile({lod}, trailer));
        ASSERT_TRUE(r.Model) << trailer;
        ASSERT_EQ(r.Model->LOD(0)->SelectionCount(), 1);
        EXPECT_EQ(r.Model->LOD(0)->Selections[0]->Name, "#not a tag");
    }
}

TEST(MlodRead, EachTextureHeaderIsAskedForOncePerModel)
{
    // Texture headers by name, counting the questions asked.
    struct THeaders : ITextureHeaderSource {
        std::optional<TTextureHeaderInfo> Header(const std::string& name) override
        {
            ++Asked[name];
            if (name == "alpha.paa") return TTextureHeaderInfo{0x4444, true};
            return std::nullopt;
        }
        std::map<std::string, int> Asked;
    } headers;

    // Three LODs sharing their textures: each header is looked up (and a
    // missing one reported) while the first LOD is read, not again.
    TSp3x lod = Square();
    lod.Polygons[0].Texture = "alpha.paa";
    lod.Polygons.push_back(lod.Polygons[0]);
    lod.Polygons.back().Texture = "gone.paa";
    std::vector<TSp3x> lods(3, lod);
    lods[1].Resolution = 2, lods[2].Resolution = 3;
    const TLoaded r = Load(MlodFile(lods), &headers);
    ASSERT_TRUE(r.Model);
    EXPECT_EQ(headers.Asked["alpha.paa"], 1);
    EXPECT_EQ(headers.Asked["gone.paa"], 2);  // a failed lookup is tried a second time
    EXPECT_EQ(std::count(r.Log.begin(), r.Log.end(),
                         "Texture \"gone.paa\" not loaded. Cannot create right texture flags."),
              1);
    for (int i = 0; i < 3; ++i) {
        const TLOD& held = *r.Model->LOD(i);
        ASSERT_EQ(held.FaceCount(), 2);
        EXPECT_EQ(held.Faces[0].Flags, FaceFlags::Always | FaceFlags::Transparent | FaceFlags::AlphaOther) << i;
        EXPECT_EQ(held.Faces[1].Flags, FaceFlags::Always) << i;
    }
}

TEST(MlodRead, CornersWithoutStoredNormalsTakeTheirFaceNormal)
{
    // Two triangles folded along the edge 0-1, no normals stored.
    TSp3x lod;
    lod.Points = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    lod.Polygons = {{"", {{0, 0}, {1, 0}, {2, 0}}}, {"", {{1, 0}, {0, 0}, {3, 0}}}};
    const TLoaded r = Load(MlodFile({lod}));
    ASSERT_TRUE(r.Model);
    EXPECT_EQ(std::count_if(r.Log.begin(), r.Log.end(), [](const std::string& l) { return l.starts_with("Warning: 6"); }), 1);
    const TLOD& held = *r.Model->LOD(0);
    EXPECT_EQ(held.VertexCount(), 6);  // points 0 and 1 get one vertex per face
    // Held normals point the way the file's would: opposite to the editable
    // winding's right-hand normal.
    EXPECT_EQ(held.Normals[held.Faces[0].Vertices[0]], (Vector3{0, 0, -1}));
    EXPECT_EQ(held.Normals[held.Faces[1].Vertices[0]], (Vector3{0, -1, 0}));
}

TEST(MlodRead, OnlyTextureCoordinatesAreCleaned)
{
    TSp3x lod = Square();
    lod.Points[3].x = std::numeric_limits<float>::infinity();
    lod.Polygons[0].Corners[1].U = std::numeric_limits<float>::quiet_NaN();
    lod.Polygons[0].Corners[2].V = -std::numeric_limits<float>::infinity();
    const TLoaded r = Load(MlodFile({lod}));
    ASSERT_TRUE(r.Model);
    const TLOD& held = *r.Model->LOD(0);
    EXPECT_EQ(held.UVs[1], (TUV{0, 0}));
    EXPECT_EQ(held.UVs[2], (TUV{1, 0}));
    EXPECT_TRUE(std::isinf(held.Positions[3].x));
}

TEST(MlodWrite, LayoutOfAPlainLOD)
{
    TModel m;
    TLOD& lod = *m.AddLOD();
    lod.Resolution = 3;
    lod.Positions = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    lod.Normals = {{0, 0, 1}, {0, 0, 1}, {0, 0, 1}};
    lod.UVs = {{0, 0}, {0.5f, 0}, {0, 0.25f}};
    lod.PointToVertex = {0, 1, 2};
    lod.VertexToPoint = {0, 1, 2};
    lod.Faces = {TFace{0, kNoTexture, 3, {0, 2, 1, 0}}};
    lod.Textures = {{"unused.paa"}};
    m.SaveFlags = SaveFlags::GroupedVertices | SaveFlags::SharpEdges;
    const auto file = SaveMlodBytes(m);

    const auto tags = WrittenTags(file);
    EXPECT_EQ(TagNames(tags), (std::vector<std::string>{"#SharpEdges#", "#MaterialIndex#", "#EndOfFile#"}));
    EXPECT_TRUE(tags[0].Data.empty());  // the normals point away from the face's own
    EXPECT_EQ(tags[1].Data, (std::vector<uint8_t>{0x33, 0x4B, 0x37, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                                                  0xFF, 0xFF, 0xFF}));
    // The face: no texture name, corners back in editable order, an empty fourth corner.
    const size_t face = 12 + 28 + 3 * 16 + 3 * 12;
    EXPECT_EQ(file[face], 0);
    uint32_t corners[16];
    std::memcpy(corners, &file[face + 36], sizeof corners);
    EXPECT_EQ(corners[0], 0u);
    EXPECT_EQ(corners[4], 1u);
    EXPECT_EQ(corners[5], 1u);
    EXPECT_EQ(corners[8], 2u);
    for (int i = 12; i < 16; ++i) EXPECT_EQ(corners[i], 0u);
    float normalZ;
    std::memcpy(&normalZ, &file[12 + 28 + 3 * 16 + 8], 4);
    EXPECT_EQ(normalZ, -1.0f);

    const TLoaded back = Load(file);
    ASSERT_TRUE(back.Model);
    EXPECT_EQ(back.Model->LOD(0)->Faces[0].Vertices, lod.Faces[0].Vertices);
    EXPECT_EQ(back.Model->LOD(0)->Normals, lod.Normals);
    EXPECT_EQ(back.Model->LOD(0)->UVs, lod.UVs);
}

TEST(MlodWrite, GroupedVerticesDecidePointsAndCorners)
{
    auto m = demo::MakeCrateModel();  // visual LOD: 8 points, 24 vertices
    for (uint32_t flags : {0u, uint32_t{SaveFlags::GroupedVertices}}) {
        m->SaveFlags = flags;
        const auto file = SaveMlodBytes(*m);
        TMemoryReader r(file.data(), file.size());
        SkipBytes(r, 12 + 12);
        const uint32_t np = ReadCardinal(r), nn = ReadCardinal(r), nf = ReadCardinal(r);
        EXPECT_EQ(np, flags ? 8u : 24u);
        EXPECT_EQ(nn, 24u);
        SkipBytes(r, 4 + np * 16 + nn * 12);
        for (uint32_t f = 0; f < nf; ++f) {
            SkipBytes(r, 36);
            for (int k = 0; k < 4; ++k) {
                const uint32_t point = ReadCardinal(r), normal = ReadCardinal(r);
                SkipBytes(r, 8);
                if (flags)
                    EXPECT_EQ(point, m->LOD(0)->VertexToPoint[normal]);
                else
                    EXPECT_EQ(point, normal);
            }
            SkipBytes(r, 4);
        }
        // Both forms read back, the Geometry LOD with its masses.
        const TLoaded back = Load(file);
        ASSERT_TRUE(back.Model) << flags;
        EXPECT_FLOAT_EQ(back.Model->Mass, 100.0f);
        EXPECT_EQ(back.Model->LOD(0)->VertexCount(), 24);
    }
}

TEST(MlodWrite, LODsInAscendingResolutionModelOrderKept)
{
    TModel m;
    for (float res : {5.0f, ResolutionValue(ResMemory), 1.0f, 5.0f, 0.5f}) m.AddLOD()->Resolution = res;
    m.LOD(0)->AddProperty("first", "5");
    const auto order = MlodLODOrder(m);
    ASSERT_EQ(order.size(), 5u);
    EXPECT_EQ(order[0], m.LOD(4));
    EXPECT_EQ(order[1], m.LOD(2));
    EXPECT_EQ(order[2], m.LOD(0));
    EXPECT_EQ(order[3], m.LOD(3));
    EXPECT_EQ(order[4], m.LOD(1));
    const TLoaded back = Load(SaveMlodBytes(m));
    ASSERT_TRUE(back.Model);
    EXPECT_EQ(back.Model->LOD(2)->PropertyValue("first"), "5");
    EXPECT_EQ(back.Model->SpecialLOD(SpecialMemory), 4);
}

TEST(MlodWrite, SharpEdgesOfFlatCorners)
{
    // The crate with each vertex given its face's own normal: every corner
    // is flat, every edge sharp.
    auto m = demo::MakeCrateModel();
    TLOD& crate = *m->LOD(0);
    for (const TFace& f : crate.Faces) {
        const auto& v = f.Vertices;
        const Vector3 n = Normalize(Cross(crate.Positions[v[1]] - crate.Positions[v[0]], crate.Positions[v[2]] - crate.Positions[v[0]]));
        for (int k = 0; k < 4; ++k) crate.Normals[v[static_cast<size_t>(k)]] = n;
    }
    const auto grouped = ComputeSharpEdges(crate, true);
    // 12 cube edges and one diagonal (V2, V0) per side.
    EXPECT_EQ(grouped.size(), 18u);
    for (size_t i = 1; i < grouped.size(); ++i)
        EXPECT_LT(grouped[i - 1].first * 65536 + grouped[i - 1].second, grouped[i].first * 65536 + grouped[i].second);
    EXPECT_EQ(ComputeSharpEdges(crate, false).size(), 30u);

    // (3, 7) and (7, 3) are one edge, kept as first met.
    TLOD lod(nullptr);
    lod.Positions = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}};
    lod.Normals.assign(4, Vector3{0, 0, 1});
    lod.Faces = {TFace{0, 0, 3, {0, 1, 2, 0}}, TFace{0, 0, 3, {2, 1, 3, 0}}};
    lod.Normals[0] = {0, 0, -1};  // the only corner off its face's normal
    EXPECT_EQ(ComputeSharpEdges(lod, false), (std::vector<std::pair<uint32_t, uint32_t>>{{1, 2}, {1, 3}, {3, 2}}));
}

TEST(MlodWrite, ShiningAndShadowFlags)
{
    auto m = demo::MakeCrateModel();
    TLOD& crate = *m->LOD(0);
    crate.Faces[1].Flags |= FaceFlags::Shining;
    auto light = std::make_unique<TModelComponent>(&crate);
    light->Name = "P Svetlo";
    light->Vertices = {crate.Faces[2].Vertices[1]};
    crate.Selections.push_back(std::move(light));
    auto flash = std::make_unique<TModelComponent>(&crate);
    flash->Name = "zasleh";
    flash->Faces = {5};
    crate.Selections.push_back(std::move(flash));

    const auto flagsOf = [&](uint32_t saveFlags, std::vector<uint32_t>& points, std::vector<uint32_t>& faces) {
        m->SaveFlags = saveFlags;
        const auto file = SaveMlodBytes(*m);
        TMemoryReader r(file.data(), file.size());
        SkipBytes(r, 24);
        const uint32_t np = ReadCardinal(r), nn = ReadCardinal(r), nf = ReadCardinal(r);
        SkipBytes(r, 4);
        points.clear(), faces.clear();
        for (uint32_t p = 0; p < np; ++p) SkipBytes(r, 12), points.push_back(ReadCardinal(r));
        SkipBytes(r, nn * 12);
        for (uint32_t f = 0; f < nf; ++f) SkipBytes(r, 100), faces.push_back(ReadCardinal(r));
    };
    std::vector<uint32_t> points, faces;
    flagsOf(SaveFlags::GroupedVertices, points, faces);
    std::vector<uint32_t> expected(8, 0);
    for (int k = 0; k < 4; ++k) expected[crate.VertexToPoint[crate.Faces[1].Vertices[static_cast<size_t>(k)]]] = 0x10;
    EXPECT_EQ(points, expected);
    EXPECT_EQ(faces, std::vector<uint32_t>(6, 0));

    flagsOf(SaveFlags::GroupedVertices | SaveFlags::CorrectShining | SaveFlags::CorrectShadow, points, faces);
    expected[crate.VertexToPoint[crate.Faces[2].Vertices[1]]] = 0x10;
    EXPECT_EQ(points, expected);
    EXPECT_EQ(faces, (std::vector<uint32_t>{0, 0, 0, 0, 0, 0x10}));
}

TEST(MlodWrite, SelectionsNamedLikeTagsAreLeftOut)
{
    // An ODOL file may name a selection anything; in the editable form a
    // name between two "#" would be taken for a tag when read back.
    TModel m;
    TLOD& lod = *m.AddLOD();
    lod.Positions = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    lod.Normals = {{0, 0, 1}, {0, 0, 1}, {0, 0, 1}};
    lod.UVs.resize(3);
    lod.PointToVertex = {0, 1, 2};
    lod.VertexToPoint = {0, 1, 2};
    lod.Faces = {TFace{0, kNoTexture, 3, {0, 2, 1, 0}}};
    for (const char* name : {"#EndOfFile#", "kept", "#Property#", "#"}) {
        auto sel = std::make_unique<TModelComponent>(&lod);
        sel->Name = name;
        sel->Vertices = {1};
        sel->Faces = {0};
        lod.Selections.push_back(std::move(sel));
    }
    test::TRecordingServices rec;
    const auto file = SaveMlodBytes(m);
    EXPECT_EQ(std::count_if(rec.Log.begin(), rec.Log.end(),
                            [](const std::string& l) { return l.find("is named like a tag") != std::string::npos; }),
              2);
    const TLoaded back = Load(file);
    ASSERT_TRUE(back.Model) << back.Log.back();
    const TLOD& read = *back.Model->LOD(0);
    ASSERT_EQ(read.SelectionCount(), 2);
    EXPECT_EQ(read.Selections[0]->Name, "kept");
    EXPECT_EQ(read.Selections[1]->Name, "#");
    EXPECT_EQ(read.Selections[0]->Faces, (std::vector<uint16_t>{0}));
}

TEST(MlodRoundTrip, DemoModelKeepsItsContent)
{
    auto m = demo::MakeCrateModel();
    m->SaveFlags = SaveFlags::GroupedVertices | SaveFlags::SharpEdges | SaveFlags::CorrectShining |
                   SaveFlags::CorrectShadow;
    const TLoaded back = Load(SaveMlodBytes(*m));
    ASSERT_TRUE(back.Model);
    ASSERT_EQ(back.Model->LODCount(), 3);
    for (int i = 0; i < 3; ++i) {
        const TLOD& a = *m->LOD(i);
        const TLOD& b = *back.Model->LOD(i);
        EXPECT_EQ(a.Resolution, b.Resolution);
        ASSERT_EQ(a.FaceCount(), b.FaceCount());
        for (int f = 0; f < a.FaceCount(); ++f)
            for (int k = 0; k < a.Faces[static_cast<size_t>(f)].Count; ++k) {
                const uint16_t va = a.Faces[static_cast<size_t>(f)].Vertices[static_cast<size_t>(k)];
                const uint16_t vb = b.Faces[static_cast<size_t>(f)].Vertices[static_cast<size_t>(k)];
                EXPECT_EQ(a.Positions[va], b.Positions[vb]);
                EXPECT_EQ(a.Normals[va], b.Normals[vb]);
                EXPECT_EQ(a.UVs[va], b.UVs[vb]);
            }
        EXPECT_EQ(a.PropertyNames, b.PropertyNames);
        EXPECT_EQ(a.PropertyValues, b.PropertyValues);
        ASSERT_EQ(a.SelectionCount(), b.SelectionCount());
        for (int s = 0; s < a.SelectionCount(); ++s) {
            EXPECT_EQ(a.Selections[static_cast<size_t>(s)]->Name, b.Selections[static_cast<size_t>(s)]->Name);
            EXPECT_EQ(a.Selections[static_cast<size_t>(s)]->Faces, b.Selections[static_cast<size_t>(s)]->Faces);
        }
        EXPECT_EQ(a.Masses, b.Masses);
    }
    // The proxy comes back from its selection, placed on the same face.
    const TLOD& memory = *back.Model->LOD(2);
    ASSERT_EQ(memory.ProxyCount(), 1);
    EXPECT_EQ(memory.Proxies[0]->Name, "flag");
    EXPECT_EQ(memory.Proxies[0]->ProxyId, 1);
    EXPECT_EQ(memory.Faces[0].Flags & FaceFlags::Proxy, FaceFlags::Proxy);
    const auto placed = m->LOD(2)->Proxies[0]->Placement();
    for (int i = 0; i < 4; ++i) EXPECT_LT(Length(placed[static_cast<size_t>(i)] - memory.Proxies[0]->Placement()[static_cast<size_t>(i)]), 1e-6f);
    EXPECT_EQ(back.Model->MapIcon, kMapIconHide);  // its "map" property is not the Geometry LOD's
    EXPECT_EQ(back.Model->InfoFlags[0], 0);        // "autocenter" = "0"
    EXPECT_EQ(back.Model->AimPoint, (Vector3{0, 0.5f, 0}));

    // Converted to ODOL twice: the same bytes, which load.
    TMemoryStream one, two;
    ASSERT_TRUE(SaveOdol(*back.Model, one));
    const TLoaded again = Load(SaveMlodBytes(*m));
    ASSERT_TRUE(SaveOdol(*again.Model, two));
    EXPECT_EQ(one.Bytes(), two.Bytes());
    EXPECT_TRUE(Load(one.Bytes()).Model);
}
