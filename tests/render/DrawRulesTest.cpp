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

// Textures 0 and 1 share array 10 (layers 0 and 3), texture 2 is in array 20;
// faces without a texture use the white array 30.
TTexturePlaces ThreeTexturesInTwoArrays()
{
    TTexturePlaces places;
    places.ByTexture = {{10, 0}, {10, 3}, {20, 0}};
    places.NoTexture = {30, 0};
    return places;
}

TEST(DrawBatches, RunsJoinWhileTheirArrayAndAddressingAgree)
{
    auto model = test::ModelWithLODs({1});
    TLOD& lod = *model->LOD(0);
    test::AddQuad(lod, 0xC000, 0);
    test::AddQuad(lod, 0xC000 | 0x100, 1);  // another texture of the array, blended: joins
    test::AddQuad(lod, 0xC000 | 0x200, 0);  // alpha-tested: joins
    test::AddQuad(lod, 0x4000, 0);          // U wraps now: a call of its own
    test::AddQuad(lod, 0x4000, 2);          // another array
    test::AddQuad(lod, 0x4000, 0xFFFF);     // no texture: the white array
    test::AddQuad(lod, 0x4000 | 0x00010000, 0xFFFF);  // shining, hidden by default
    test::AddQuad(lod, 0x4000, 0xFFFF);               // after a hidden run: not joined across the gap
    const TLodBatches b = BuildBatches(lod);
    ASSERT_EQ(b.Runs.size(), 8u);
    const TTexturePlaces places = ThreeTexturesInTwoArrays();

    std::vector<TDrawCall> calls;
    JoinRuns(b.Runs, DrawFlag::GivenLOD, places, true, calls);
    ASSERT_EQ(calls.size(), 5u);
    EXPECT_EQ(calls[0].FaceCount, 3u);
    EXPECT_EQ(calls[0].IndexCount, 18u);
    EXPECT_EQ(calls[0].VertexCount, 12u);
    EXPECT_EQ(calls[0].Texture, 0);
    EXPECT_TRUE(calls[0].Blend);  // one of its faces blends
    EXPECT_EQ(calls[0].U, TAddress::Clamp);
    EXPECT_EQ(calls[1].U, TAddress::Wrap);
    EXPECT_FALSE(calls[1].Blend);
    EXPECT_EQ(calls[2].Texture, 2);
    EXPECT_EQ(calls[3].Texture, 0xFFFF);
    EXPECT_EQ(calls[4].FirstIndex, b.Runs[7].FirstIndex);
    // The calls cover the drawn faces in order, each index once.
    for (size_t i = 1; i < calls.size(); ++i) EXPECT_GE(calls[i].FirstIndex, calls[i - 1].FirstIndex + calls[i - 1].IndexCount);

    // Shining faces shown: the white runs join across them.
    JoinRuns(b.Runs, DrawFlag::GivenLOD | DrawFlag::Shining, places, true, calls);
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_EQ(calls[3].FaceCount, 3u);

    // Not joined: a call per drawn run.
    JoinRuns(b.Runs, DrawFlag::GivenLOD, places, false, calls);
    ASSERT_EQ(calls.size(), 7u);
    EXPECT_TRUE(calls[1].Blend);
    EXPECT_FALSE(calls[0].Blend);
}

TEST(DrawBatches, EachVertexCarriesItsFacesLayerAlphaTestAndBlending)
{
    auto model = test::ModelWithLODs({1});
    TLOD& lod = *model->LOD(0);
    test::AddQuad(lod, 0, 1);
    test::AddQuad(lod, 0x100, 1);
    test::AddQuad(lod, 0x200, 0xFFFF);
    const TLodBatches b = BuildBatches(lod);
    TTexturePlaces places = ThreeTexturesInTwoArrays();
    places.NoTexture = {30, 5};
    const std::vector<TFaceStateVertex> states = BuildFaceStates(b.Runs, b.Vertices.size(), places);
    ASSERT_EQ(states.size(), 12u);
    // Opaque: no test, no blending; its texture's layer.
    EXPECT_EQ(states[0].Layer, 3);
    EXPECT_EQ(states[0].AlphaTest, 0);
    EXPECT_EQ(states[0].Blend, 0);
    // 0x100: blended and tested against 1.
    EXPECT_EQ(states[4].Layer, 3);
    EXPECT_EQ(states[7].Blend, 1);
    EXPECT_EQ(states[7].AlphaTest, 1);
    EXPECT_EQ(states[7].AlphaReference, 1);
    // 0x200 without a texture: tested against 0xC0, on the white layer.
    EXPECT_EQ(states[8].Layer, 5);
    EXPECT_EQ(states[11].AlphaTest, 1);
    EXPECT_EQ(states[11].AlphaReference, 0xC0);
    EXPECT_EQ(states[11].Blend, 0);
}

}  // namespace
}  // namespace mc
