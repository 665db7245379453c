#include <gtest/gtest.h>

#include "DrawBatches.h"
#include "DrawRules.h"
#include "Model/LOD.h"
#include "Model/Model.h"
#include "RenderFixtures.h"

namespace mc {
namespace {

TDrawParameters AutoAt(float distance)
{
    TDrawParameters p;
    p.Flags = DrawFlag::AutoLOD;
    p.Distance = distance;
    return p;
}

TEST(DrawRules, AutoLODTakesTheFirstLODCoarserThanTheDistanceAsks)
{
    auto model = test::ModelWithLODs({1, 2, 5, 1e13f});
    EXPECT_EQ(ChooseLOD(*model, AutoAt(10)), 0);    // 0.19: LOD 0 (1) already exceeds it
    EXPECT_EQ(ChooseLOD(*model, AutoAt(100)), 1);   // 1.9: LOD 1 (2)
    EXPECT_EQ(ChooseLOD(*model, AutoAt(1000)), 2);  // 19: the last graphical LOD, not the special one
}

TEST(DrawRules, AutoLODChoosesNothingAmongSpecialLODsOnly)
{
    auto model = test::ModelWithLODs({1e13f, 1e15f});
    EXPECT_EQ(ChooseLOD(*model, AutoAt(10)), -1);
    EXPECT_EQ(ChooseLOD(*test::ModelWithLODs({}), AutoAt(10)), -1);
}

TEST(DrawRules, GivenLODOrFirst)
{
    auto model = test::ModelWithLODs({1, 2, 1e13f});
    TDrawParameters p;
    EXPECT_EQ(ChooseLOD(*model, p), 0);
    p.Flags = DrawFlag::GivenLOD;
    p.LODIndex = 2;
    EXPECT_EQ(ChooseLOD(*model, p), 2);  // a special LOD is drawn when asked for
    p.LODIndex = 3;
    EXPECT_EQ(ChooseLOD(*model, p), -1);
    p.LODIndex = -1;
    EXPECT_EQ(ChooseLOD(*model, p), -1);
}

TEST(DrawRules, FaceFilter)
{
    const uint32_t proxy = 0x30000000, shining = 0x10000, sorted = 0x20000;
    // Proxy faces only with "Proxy" (0x100).
    EXPECT_FALSE(FaceDrawn(proxy, 0));
    EXPECT_TRUE(FaceDrawn(proxy, DrawFlag::Optional));
    EXPECT_FALSE(FaceDrawn(0x10000000, 0));  // either bit marks a proxy face
    // Shining faces only with "Shining" (0x200).
    EXPECT_FALSE(FaceDrawn(shining, DrawFlag::Optional));
    EXPECT_TRUE(FaceDrawn(shining, DrawFlag::Shining));
    // Alpha-sorted faces vanish with "Hide Alpha-Sorted" (0x400).
    EXPECT_TRUE(FaceDrawn(sorted, 0));
    EXPECT_FALSE(FaceDrawn(sorted, DrawFlag::HideSorted | DrawFlag::Optional | DrawFlag::Shining));
    EXPECT_TRUE(FaceDrawn(0xC000, DrawFlag::HideSorted));
    EXPECT_FALSE(FaceDrawn(shining | proxy, DrawFlag::Shining));
}

TEST(DrawRules, AddressingPerFlagBit)
{
    EXPECT_EQ(FaceStateFor(0).U, TAddress::Wrap);
    EXPECT_EQ(FaceStateFor(0).V, TAddress::Wrap);
    // 0x4000 clamps V only, 0x8000 U only.
    EXPECT_EQ(FaceStateFor(0x4000).U, TAddress::Wrap);
    EXPECT_EQ(FaceStateFor(0x4000).V, TAddress::Clamp);
    EXPECT_EQ(FaceStateFor(0x8000).U, TAddress::Clamp);
    EXPECT_EQ(FaceStateFor(0x8000).V, TAddress::Wrap);
    EXPECT_EQ(FaceStateFor(0xC000).U, TAddress::Clamp);
    EXPECT_EQ(FaceStateFor(0xC000).V, TAddress::Clamp);
}

TEST(DrawRules, TransparencyFlagsChooseBlendingOrAlphaTest)
{
    const TFaceState blended = FaceStateFor(0x100);
    EXPECT_TRUE(blended.Blend);
    EXPECT_TRUE(blended.AlphaTest);
    EXPECT_EQ(blended.AlphaReference, 1);
    const TFaceState tested = FaceStateFor(0x200);
    EXPECT_FALSE(tested.Blend);
    EXPECT_TRUE(tested.AlphaTest);
    EXPECT_EQ(tested.AlphaReference, 0xC0);
    const TFaceState opaque = FaceStateFor(0xC000);
    EXPECT_FALSE(opaque.Blend);
    EXPECT_FALSE(opaque.AlphaTest);
    // Both bits: blending wins.
    EXPECT_TRUE(FaceStateFor(0x300).Blend);
}

TEST(DrawBatches, RunsFollowFaceOrderAndSplitOnTextureOrFlags)
{
    auto model = test::ModelWithLODs({1});
    TLOD& lod = *model->LOD(0);
    test::AddQuad(lod, 0, 0);
    test::AddQuad(lod, 0, 0);
    test::AddQuad(lod, 0, 1);
    test::AddQuad(lod, 0x100, 1);
    test::AddQuad(lod, 0, 0);
    const TLodBatches b = BuildBatches(lod);
    ASSERT_EQ(b.Vertices.size(), 20u);
    ASSERT_EQ(b.Runs.size(), 4u);
    EXPECT_EQ(b.Runs[0].FaceCount, 2u);
    EXPECT_EQ(b.Runs[0].IndexCount, 12u);
    EXPECT_EQ(b.Runs[1].Texture, 1);
    EXPECT_EQ(b.Runs[2].Flags, 0x100u);
    EXPECT_EQ(b.Runs[3].FirstIndex, 24u);  // the same state as run 0 later on stays a run of its own
    // A quad (0,1,2,3) becomes (0,1,2)(0,2,3).
    const std::vector<uint16_t> first(b.Indices.begin(), b.Indices.begin() + 6);
    EXPECT_EQ(first, (std::vector<uint16_t>{0, 1, 2, 0, 2, 3}));
    EXPECT_FLOAT_EQ(b.Vertices[2].UV[0], 1.0f);
    EXPECT_FLOAT_EQ(b.Vertices[2].Normal[2], -1.0f);
}

TEST(DrawBatches, FlagBitsThatDrawTheSameShareARun)
{
    auto model = test::ModelWithLODs({1});
    TLOD& lod = *model->LOD(0);
    test::AddQuad(lod, 0xC000, 0);
    test::AddQuad(lod, 0xC000 | 0x20 | 0x01000000, 0);  // lighting and user bits: the same state
    test::AddQuad(lod, 0x4000, 0);                        // U wraps now
    test::AddQuad(lod, 0x4000 | 0x00010000, 0);           // shining: may be hidden on its own
    const TLodBatches b = BuildBatches(lod);
    ASSERT_EQ(b.Runs.size(), 3u);
    EXPECT_EQ(b.Runs[0].FaceCount, 2u);
    EXPECT_EQ(b.Runs[0].Flags, 0xC000u);
    EXPECT_EQ(b.Runs[2].Flags, 0x00014000u);
}

TEST(DrawBatches, FacesOutsideTheVerticesAreLeftOut)
{
    auto model = test::ModelWithLODs({1});
    TLOD& lod = *model->LOD(0);
    test::AddQuad(lod, 0, 0);
    TFace bad;
    bad.Count = 3;
    bad.Vertices = {0, 1, 9, 0};
    lod.Faces.push_back(bad);
    TFace five;
    five.Count = 5;
    lod.Faces.push_back(five);
    lod.Normals.resize(2);  // fewer normals than positions
    const TLodBatches b = BuildBatches(lod);
    EXPECT_EQ(b.SkippedFaces, 2u);
    EXPECT_EQ(b.Indices.size(), 6u);
    EXPECT_FLOAT_EQ(b.Vertices[3].Normal[2], 0.0f);
}

}  // namespace
}  // namespace mc
