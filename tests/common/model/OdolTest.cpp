// The ODOL form: load dispatch and its messages, layout rules of the
// writer, refusal of inconsistent files.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <limits>

#include "Core/StreamIO.h"
#include "Core/Strings.h"
#include "DemoModel.h"
#include "Model/Model.h"
#include "Model/ModelLoader.h"
#include "Model/Odol.h"
#include "TestSupport.h"

using namespace mc;

namespace {

std::vector<uint8_t> Save(const TModel& m)
{
    TMemoryStream s;
    EXPECT_TRUE(SaveOdol(m, s));
    return s.TakeBytes();
}

std::unique_ptr<TModel> Load(const std::vector<uint8_t>& bytes, test::TRecordingServices* rec = nullptr)
{
    test::TRecordingServices local;
    auto model = LoadModelFromMemory(bytes.data(), bytes.size(), "m.p3d");
    if (rec) rec->Log = local.Log;
    return model;
}

std::string LoadFailure(const std::vector<uint8_t>& bytes)
{
    test::TRecordingServices rec;
    auto model = LoadModelFromMemory(bytes.data(), bytes.size(), "m.p3d");
    if (model) return "loaded";
    return rec.Log.empty() ? "no message" : rec.Log.back();
}

const std::string kCorrupted = "Cannot load \"m.p3d\": file possible corrupted";

// A LOD of n separate triangles on a grid, without special meaning.
void FillGrid(TLOD& lod, int n)
{
    lod.Resolution = 2;
    for (int i = 0; i < n; ++i) {
        lod.Positions.push_back({static_cast<float>(i % 17), static_cast<float>(i / 17), 0.25f * (i % 3)});
        lod.Normals.push_back({0, 0, 1});
        lod.UVs.push_back({(i % 17) / 16.0f, (i / 17) / 16.0f});
        lod.PointToVertex.push_back(static_cast<uint16_t>(i));
        lod.VertexToPoint.push_back(static_cast<uint16_t>(i));
    }
    for (int i = 0; i + 2 < n; i += 3) {
        TFace f;
        f.Vertices = {static_cast<uint16_t>(i), static_cast<uint16_t>(i + 1), static_cast<uint16_t>(i + 2), 0};
        lod.Faces.push_back(f);
    }
}

}  // namespace

TEST(OdolDispatch, MessagesOfRefusedFiles)
{
    EXPECT_EQ(LoadFailure({'O', 'D', 'O'}), "Cannot load \"m.p3d\": invalid file size");
    EXPECT_EQ(LoadFailure({'O', 'D', 'O', 'L'}),
              "Cannot load model \"m.p3d\": Error read operation due to file possibly corrupted.");
    EXPECT_EQ(LoadFailure({'O', 'D', 'O', 'L', 6, 0, 0, 0}), "Cannot load \"m.p3d\": version mismatch (ODOL version 6)");
    EXPECT_EQ(LoadFailure({'P', '3', 'D', 'M', 1, 1, 0, 0}), "Cannot load \"m.p3d\": unknown model format");

    test::TRecordingServices rec;
    const std::vector<uint8_t> mlod = {'M', 'L', 'O', 'D', 1, 1, 0, 0, 'S', 'P', '3', 'X'};
    EXPECT_EQ(LoadModelFromMemory(mlod.data(), mlod.size(), "m.p3d"), nullptr);
    ASSERT_EQ(rec.Log.size(), 2u);
    EXPECT_EQ(rec.Log[0], "Warning: MLOD (demo) model format!");
    EXPECT_NE(rec.Log[1].find("Cannot load \"m.p3d\""), std::string::npos);

    const std::vector<uint8_t> mlodVersion = {'M', 'L', 'O', 'D', 2, 1, 0, 0};
    EXPECT_EQ(LoadFailure(mlodVersion), "Cannot load \"m.p3d\": version mismatch");
}

TEST(OdolDispatch, LaterGamesModelsAreRefusedByName)
{
    // The later game's game-ready models carry a higher version; the
    // refusal says what the file is, once in the log and in the result.
    test::TRecordingServices rec;
    for (uint8_t version : {8, 28, 73}) {
        rec.Log.clear();
        const std::vector<uint8_t> bytes = {'O', 'D', 'O', 'L', version, 0, 0, 0, 0, 0, 0, 0};
        const auto result = ReadModelFromMemory(bytes.data(), bytes.size(), "m.p3d");
        EXPECT_FALSE(result);
        const std::string reason = Format(
            "version mismatch: game-ready model of a later game (ODOL version %u), not supported", unsigned(version));
        EXPECT_EQ(result.Reason, reason);
        EXPECT_EQ(rec.Log, std::vector<std::string>{"Cannot load \"m.p3d\": " + reason});
    }
    // A model of this game has no reason.
    const auto bytes = Save(*demo::MakeCrateModel());
    const auto loaded = ReadModelFromMemory(bytes.data(), bytes.size(), "m.p3d");
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded.Reason, "");
}

TEST(ModelFile, FoldersAndMissingPathsAreRefusedByName)
{
    test::TRecordingServices rec;
    const auto dir = test::TempDir("model-file-refusals");
    const std::string folder = (dir / "tank.p3d").string();
    std::filesystem::create_directories(folder);
    const std::string missing = (dir / "missing.p3d").string();
    for (const auto& [path, reason] : {std::pair{folder, "\"" + folder + "\" is a folder"},
                                       std::pair{missing, "\"" + missing + "\" does not exist"}}) {
        rec.Log.clear();
        const auto result = ReadModelFromFile(path);
        EXPECT_FALSE(result);
        EXPECT_EQ(result.Reason, reason);
        EXPECT_EQ(rec.Log, std::vector<std::string>{"Cannot load \"" + path + "\": " + reason});
        EXPECT_EQ(LoadModelFromFile(path), nullptr);
    }

    // A model file beside them loads.
    const std::string file = (dir / "crate.p3d").string();
    {
        TFileStream out;
        ASSERT_TRUE(out.Open(file, TFileStream::Mode::Create));
        ASSERT_TRUE(SaveOdol(*demo::MakeCrateModel(), out));
    }
    const auto loaded = ReadModelFromFile(file);
    ASSERT_TRUE(loaded) << loaded.Reason;
    EXPECT_EQ(loaded->FileName, file);
}

TEST(Odol, DemoModelRoundTrips)
{
    auto m = demo::MakeCrateModel();
    const auto bytes = Save(*m);
    auto back = Load(bytes);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->Signature, kSignatureODOL);
    EXPECT_EQ(back->FileName, "m.p3d");
    ASSERT_EQ(back->LODCount(), 3);
    const TLOD& a = *m->LOD(0);
    const TLOD& b = *back->LOD(0);
    EXPECT_EQ(a.Positions, b.Positions);
    EXPECT_EQ(a.Normals, b.Normals);
    EXPECT_EQ(a.UVs, b.UVs);
    EXPECT_EQ(a.Faces, b.Faces);
    EXPECT_EQ(b.Textures[0].Name, "data\\crate_co.paa");
    EXPECT_EQ(b.PropertyValue("CLASS"), "thing");
    EXPECT_EQ(back->LOD(1)->Masses, m->LOD(1)->Masses);
    EXPECT_EQ(back->SpecialLODs, m->SpecialLODs);
    EXPECT_EQ(back->LOD(1)->Name(), "Geometry");
    EXPECT_EQ(back->LOD(2)->Name(), "Memory");
    EXPECT_FLOAT_EQ(back->BoundingRadius, std::max(Length(m->RangeA), Length(m->RangeB)));
    // Saved again: the same bytes.
    EXPECT_EQ(Save(*back), bytes);
}

TEST(Odol, MapIconRule)
{
    for (uint8_t icon : {uint8_t{24}, uint8_t{30}, uint8_t{200}}) {
        auto m = demo::MakeCrateModel();
        m->MapIcon = icon;
        auto back = Load(Save(*m));
        ASSERT_TRUE(back);
        EXPECT_EQ(back->MapIcon, 22) << int(icon);
    }
    auto road = demo::MakeCrateModel();
    road->LOD(0)->ChangeProperty("class", "road");
    road->MapIcon = 30;
    auto back = Load(Save(*road));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->MapIcon, 30);
    road->LOD(0)->ChangeProperty("class", "Road");
    EXPECT_EQ(Load(Save(*road))->MapIcon, 22);
}

TEST(Odol, ArraysAreCompressedFrom1024Bytes)
{
    // 100 vertices: flags (400 B) and UVs (800 B) raw; 300: both compressed.
    std::vector<int64_t> sizes;
    for (int n : {100, 300}) {
        TModel m;
        FillGrid(*m.AddLOD(), n);
        TMemoryStream s;
        ASSERT_TRUE(WriteOdolLOD(*m.LOD(0), s));
        s.Seek(0);
        const int32_t flagCount = ReadInteger(s);
        EXPECT_EQ(flagCount, n);
        if (n == 100) {
            SkipBytes(s, 400);
            EXPECT_EQ(ReadInteger(s), 100);
            SkipBytes(s, 800);
            EXPECT_EQ(ReadCardinal(s), 100u);  // position count right after raw UVs
        }
        sizes.push_back(s.Size());
        s.Seek(0);
        TModel back;
        TLOD lod(&back);
        ASSERT_TRUE(ReadOdolLOD(lod, s));
        EXPECT_EQ(lod.UVs, m.LOD(0)->UVs);
        EXPECT_EQ(lod.Odol->VertexFlags, std::vector<uint32_t>(static_cast<size_t>(n), 0));
    }
    // 300 zero flags compress to a few dozen bytes.
    EXPECT_LT(sizes[1], sizes[0] * 3);
}

TEST(Odol, SectionsAreRunsOfFlagsAndTexture)
{
    TModel m;
    TLOD& lod = *m.AddLOD();
    FillGrid(lod, 12);
    lod.Textures = {{"a.paa"}};
    const uint32_t A = 0xC000, B = 0x1C000;
    for (size_t i = 0; i < 4; ++i) {
        lod.Faces[i].Texture = 0;
        lod.Faces[i].Flags = i == 2 ? B : A;
    }
    lod.Faces[3].Count = 4;
    lod.Faces[3].Vertices[3] = 0;
    TMemoryStream s;
    ASSERT_TRUE(WriteOdolLOD(lod, s));
    s.Seek(0);
    TLOD back(&m);
    ASSERT_TRUE(ReadOdolLOD(back, s));
    const auto& sec = back.Odol->Sections;
    ASSERT_EQ(sec.size(), 3u);
    EXPECT_EQ(sec[0].Begin, 0u);
    EXPECT_EQ(sec[0].End, 32u);  // two triangles of 10 + 2·3
    EXPECT_EQ(sec[1].Begin, 32u);
    EXPECT_EQ(sec[1].End, 48u);
    EXPECT_EQ(sec[1].Flags, B);
    EXPECT_EQ(sec[2].End, 66u);  // a quad: 10 + 2·4
    EXPECT_EQ(sec[0].Texture, 0);

    // An empty texture name is written as no texture.
    lod.Textures[0].Name.clear();
    TMemoryStream s2;
    ASSERT_TRUE(WriteOdolLOD(lod, s2));
    s2.Seek(0);
    TLOD back2(&m);
    ASSERT_TRUE(ReadOdolLOD(back2, s2));
    EXPECT_EQ(back2.Odol->Sections[0].Texture, kNoTexture);
}

TEST(Odol, FramesOnlyUnderSaveAnimation)
{
    auto m = demo::MakeCrateModel();
    auto frame = std::make_unique<TFrame>(m->LOD(0));
    frame->Time = 0.25f;
    frame->Positions = m->LOD(0)->Positions;
    m->LOD(0)->Frames.push_back(std::move(frame));

    EXPECT_EQ(Load(Save(*m))->LOD(0)->FrameCount(), 0);
    m->SaveFlags = SaveFlags::Animation;
    auto back = Load(Save(*m));
    ASSERT_EQ(back->LOD(0)->FrameCount(), 1);
    EXPECT_EQ(back->LOD(0)->Frame(0)->TimeText(), "0.250000");
    EXPECT_EQ(back->LOD(0)->Frame(0)->Positions, m->LOD(0)->Positions);
}

TEST(Odol, MassesMustMatchTheGeometryLOD)
{
    auto noGeometry = demo::MakeCrateModel();
    noGeometry->SetSpecialLOD(SpecialGeometry, -1);
    EXPECT_TRUE(Load(Save(*noGeometry)));

    // Written by hand: a Geometry LOD with points and an empty masses array.
    auto m = demo::MakeCrateModel();
    auto bytes = Save(*m);
    auto good = Load(bytes);
    ASSERT_TRUE(good);
    // Make the masses count 0 by patching: find the compressed count (8) followed by 8 floats of 12.5.
    std::vector<uint8_t> pattern = {8, 0, 0, 0};
    for (int i = 0; i < 8; ++i) pattern.insert(pattern.end(), {0, 0, 0x48, 0x41});
    auto at = std::search(bytes.begin(), bytes.end(), pattern.begin(), pattern.end());
    ASSERT_NE(at, bytes.end());
    const auto offset = at - bytes.begin();
    bytes.erase(bytes.begin() + offset + 4, bytes.begin() + offset + 4 + 32);
    bytes[static_cast<size_t>(offset)] = 0;
    EXPECT_EQ(LoadFailure(bytes), kCorrupted);
}

TEST(Odol, TrailingBytesAreRefused)
{
    auto bytes = Save(*demo::MakeCrateModel());
    bytes.push_back(0);
    EXPECT_EQ(LoadFailure(bytes), kCorrupted);
}

TEST(Odol, ProxyPlacementIsRecomputedButWrittenAsRead)
{
    auto m = demo::MakeCrateModel();
    auto bytes = Save(*m);
    // Disturb the stored placement: the first float after "flag\0".
    const std::string name("flag\0", 5);
    auto at = std::search(bytes.begin(), bytes.end(), name.begin(), name.end());
    ASSERT_NE(at, bytes.end());
    const size_t placement = static_cast<size_t>(at - bytes.begin()) + 5;
    bytes[placement + 3] ^= 0x40;
    auto back = Load(bytes);
    ASSERT_TRUE(back);
    const TProxy& p = *back->LOD(2)->Proxy(0);
    EXPECT_EQ(p.Placement(), m->LOD(2)->Proxy(0)->Placement());
    EXPECT_NE((*p.StoredPlacement)[0], p.ProxyNormal);
    EXPECT_EQ(Save(*back), bytes);

    // A proxy whose selection has no face keeps the stored bytes.
    auto noFace = demo::MakeCrateModel();
    noFace->LOD(2)->Selection(1)->Faces.clear();
    noFace->LOD(2)->Proxy(0)->LongAxis = {7, 8, 9};
    auto back2 = Load(Save(*noFace));
    ASSERT_TRUE(back2);
    EXPECT_EQ(back2->LOD(2)->Proxy(0)->LongAxis, (Vector3{7, 8, 9}));
    EXPECT_EQ(back2->LOD(2)->Selection(1)->Proxy, nullptr);
}

TEST(Odol, OutOfRangeIndicesAreRefused)
{
    const std::vector<std::function<void(TModel&)>> corruptions = {
        [](TModel& m) { m.LOD(0)->Faces[0].Vertices[1] = 24; },
        [](TModel& m) { m.LOD(0)->Faces[0].Texture = 1; },
        [](TModel& m) { m.LOD(0)->PointToVertex[3] = 24; },
        [](TModel& m) { m.LOD(0)->VertexToPoint[3] = 8; },
        [](TModel& m) { m.LOD(0)->Selection(0)->Faces.push_back(6); },
        [](TModel& m) { m.LOD(0)->Selection(0)->Vertices.push_back(24); },
        [](TModel& m) { m.LOD(2)->Proxy(0)->SelectionIndex = 2; },
        [](TModel& m) { m.LOD(2)->Proxy(0)->SelectionIndex = -1; },
        [](TModel& m) { m.LOD(0)->VertexToPoint.pop_back(); },
    };
    for (size_t i = 0; i < corruptions.size(); ++i) {
        auto m = demo::MakeCrateModel();
        corruptions[i](*m);
        EXPECT_EQ(LoadFailure(Save(*m)), kCorrupted) << "corruption " << i;
    }
    // Texture 0xFFFF is no texture, not an index.
    auto m = demo::MakeCrateModel();
    m->LOD(0)->Faces[0].Texture = kNoTexture;
    EXPECT_TRUE(Load(Save(*m)));
}

TEST(Odol, InvalidFacesAndPropertiesAreNotWritten)
{
    auto m = demo::MakeCrateModel();
    m->LOD(0)->Faces[0].Count = 5;
    TMemoryStream s;
    EXPECT_FALSE(SaveOdol(*m, s));

    auto p = demo::MakeCrateModel();
    p->LOD(0)->PropertyValues.pop_back();
    TMemoryStream s2;
    EXPECT_FALSE(SaveOdol(*p, s2));
}

TEST(Odol, NonFiniteTextureCoordinatesReadAsZeroAndWrittenAsStored)
{
    auto m = demo::MakeCrateModel();
    m->LOD(0)->UVs[1].u = std::numeric_limits<float>::infinity();
    m->LOD(0)->UVs[2].v = std::numeric_limits<float>::quiet_NaN();
    const auto bytes = Save(*m);
    auto back = Load(bytes);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->LOD(0)->UVs[1].u, 0);
    EXPECT_EQ(back->LOD(0)->UVs[2].v, 0);
    EXPECT_EQ(Save(*back), bytes);
}

TEST(Odol, EveryTruncationIsRefusedCleanly)
{
    const auto bytes = Save(*demo::MakeCrateModel());
    for (size_t len = 0; len < bytes.size(); ++len) {
        std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<long>(len));
        test::TRecordingServices rec;
        EXPECT_EQ(LoadModelFromMemory(cut.data(), cut.size(), "m.p3d"), nullptr) << len;
        EXPECT_EQ(rec.Log.size(), 1u) << len;
    }
}

TEST(Odol, PatchedCountsAreHandledWithoutCrashing)
{
    // Each count in the first LOD record replaced by a huge value: the file
    // is refused without a large allocation (the test would run out of memory).
    const auto bytes = Save(*demo::MakeCrateModel());
    for (size_t at = 12; at + 4 <= bytes.size(); at += 1) {
        std::vector<uint8_t> bad = bytes;
        bad[at] = 0xF0;
        bad[at + 1] = 0xFF;
        bad[at + 2] = 0xFF;
        bad[at + 3] = 0x7F;
        test::TRecordingServices rec;
        auto m = LoadModelFromMemory(bad.data(), bad.size(), "m.p3d");
        (void)m;
    }
    SUCCEED();
}

TEST(Odol, SavingToAFileReplacesItOnlyWhenComplete)
{
    const auto dir = test::TempDir("odol-save");
    const std::string path = (dir / "crate.p3d").string();
    auto m = demo::MakeCrateModel();
    ASSERT_TRUE(SaveModelOdolFile(*m, path));
    const auto first = test::ReadFileBytes(path);
    EXPECT_EQ(first, Save(*m));

    m->LOD(0)->Faces[0].Count = 7;
    std::string error;
    EXPECT_FALSE(SaveModelOdolFile(*m, path, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(test::ReadFileBytes(path), first);
    auto loaded = LoadModelFromFile(path);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->FileName, path);
    EXPECT_EQ(LoadModelFromFile((dir / "missing.p3d").string()), nullptr);
}
