// Editing an animation frame by frame and bone by bone: what each operation
// does, which ones mark the animation modified, re-timing and Total Move.
#include <gtest/gtest.h>

#include "Animation/Animation.h"
#include "Core/Stream.h"
#include "RtmBytes.h"

using namespace mc;
using mc::test::TRtmBytes;

namespace {

// Bones "arm" and "leg"; frames at 0.25 and 0.7, arm translated by the
// frame number + 1 in x, leg by 10 × (frame number + 1).
std::unique_ptr<TAnimation> Loaded()
{
    TRtmBytes f;
    f.Header(2, 0, -4, 2, 2).Name("arm").Name("leg");
    f.Float(0.25f).Bone("arm", 1, 0, 0).Bone("leg", 10, 0, 0);
    f.Float(0.7f).Bone("arm", 2, 0, 0).Bone("leg", 20, 0, 0);
    auto a = std::make_unique<TAnimation>();
    TMemoryReader in(f.bytes.data(), f.bytes.size());
    if (!a->LoadFromStream(in)) return nullptr;
    return a;
}

float ArmX(const TAnimation& a, int frame) { return a.Frame(frame)->Matrices[0].Translation().x; }

}  // namespace

TEST(AnimationEdit, AddingAndDeletingFramesReTimesThem)
{
    TAnimation a;
    a.AddFrame();
    EXPECT_EQ(a.FrameText(0), "0.000000");
    a.AddFrame();
    a.AddFrame();
    ASSERT_EQ(a.FrameCount(), 3);
    EXPECT_EQ(a.Frame(1)->Time, 0.5f);
    EXPECT_EQ(a.Frame(2)->Time, 1.0f);
    EXPECT_EQ(a.FrameText(1), "0.500000");

    // One frame left: its time becomes 0 but its text stays.
    auto b = Loaded();
    ASSERT_NE(b, nullptr);
    b->DeleteFrame(0);
    ASSERT_EQ(b->FrameCount(), 1);
    EXPECT_EQ(b->Frame(0)->Time, 0.0f);
    EXPECT_EQ(b->FrameText(0), "0.700000");
    EXPECT_EQ(ArmX(*b, 0), 2.0f);
}

TEST(AnimationEdit, OnlyRealEditsMarkTheAnimationModified)
{
    auto a = Loaded();
    ASSERT_NE(a, nullptr);
    EXPECT_FALSE(a->Modified);
    a->AddFrame();
    a->AddBone("hand");
    a->CurrentFrameIndex = 0;
    EXPECT_TRUE(a->SetBoneMatrix(0, TMatrix4::Translation({9, 9, 9})));
    // Out of range: nothing happens.
    a->DeleteFrame(7);
    a->ResetFrame(-1);
    a->CopyFrame(0, 9);
    a->CopyBoneMatrix("foot", 0, 1);
    a->DeleteBone("foot");
    EXPECT_FALSE(a->Modified);

    const std::vector<void (*)(TAnimation&)> edits = {
        [](TAnimation& x) { x.DeleteFrame(0); },       [](TAnimation& x) { x.ClearFrames(); },
        [](TAnimation& x) { x.ResetFrame(0); },        [](TAnimation& x) { x.CopyFrame(0, 1); },
        [](TAnimation& x) { x.CopyBoneMatrix("ARM", 0, 1); }, [](TAnimation& x) { x.DeleteBone("leg"); },
        [](TAnimation& x) { x.ClearBones(); },
    };
    for (size_t i = 0; i < edits.size(); ++i) {
        auto b = Loaded();
        edits[i](*b);
        EXPECT_TRUE(b->Modified) << "edit " << i;
    }
}

TEST(AnimationEdit, FrameEdits)
{
    auto a = Loaded();
    a->CopyFrame(1, 0);
    EXPECT_EQ(ArmX(*a, 0), 2.0f);
    EXPECT_EQ(a->Frame(0)->Time, 0.25f);  // the time is not copied
    a->ResetFrame(1);
    EXPECT_EQ(a->Frame(1)->Matrices[1], TMatrix4::Identity());

    auto b = Loaded();
    b->CopyBoneMatrix("Leg", 1, 0);
    EXPECT_EQ(b->Frame(0)->Matrices[1].Translation().x, 20.0f);
    EXPECT_EQ(ArmX(*b, 0), 1.0f);

    // Deleting the current frame leaves none current; deleting one before
    // it keeps the same frame current.
    auto c = Loaded();
    c->CurrentFrameIndex = 1;
    c->DeleteFrame(0);
    EXPECT_EQ(c->CurrentFrameIndex, 0);
    EXPECT_EQ(c->CurrentFrame()->Matrices[0].Translation().x, 2.0f);
    c->DeleteFrame(0);
    EXPECT_EQ(c->CurrentFrameIndex, -1);

    c->CurrentFrameIndex = 0;
    c->ClearFrames();
    EXPECT_EQ(c->FrameCount(), 0);
    EXPECT_EQ(c->CurrentFrameIndex, -1);
}

TEST(AnimationEdit, BoneEditsKeepOneMatrixPerBoneInEveryFrame)
{
    auto a = Loaded();
    a->AddBone("LEG");  // present already
    EXPECT_EQ(a->BoneCount(), 2);
    a->AddBone("hand");
    ASSERT_EQ(a->BoneCount(), 3);
    for (int f = 0; f < a->FrameCount(); ++f) {
        ASSERT_EQ(a->Frame(f)->Matrices.size(), 3u);
        EXPECT_EQ(a->Frame(f)->Matrices[2], TMatrix4::Identity());
    }
    a->AddFrame();
    EXPECT_EQ(a->Frame(2)->Matrices.size(), 3u);

    a->DeleteBone("ARM");
    ASSERT_EQ(a->BoneCount(), 2);
    EXPECT_EQ(a->BoneName(0), "leg");
    EXPECT_EQ(a->BoneIndex("hand"), 1);
    EXPECT_EQ(a->Frame(1)->Matrices[0].Translation().x, 20.0f);
    EXPECT_EQ(a->Frame(1)->Matrices.size(), 2u);

    a->ClearBones();
    EXPECT_EQ(a->BoneCount(), 0);
    EXPECT_EQ(a->FrameCount(), 3);
    EXPECT_TRUE(a->Frame(0)->Matrices.empty());
}

TEST(AnimationEdit, BoneMatrixOfTheCurrentFrameWithTotalMove)
{
    TAnimation a;
    a.TotalMove = {2, 0, -4};
    a.AddBone("arm");
    a.AddFrame();
    a.AddFrame();
    a.AddFrame();
    TMatrix4 m;
    EXPECT_FALSE(a.GetBoneMatrix(0, m));
    a.CurrentFrameIndex = 3;
    EXPECT_FALSE(a.GetBoneMatrix(0, m));
    EXPECT_FALSE(a.SetBoneMatrix(0, m));

    a.CurrentFrameIndex = 2;
    EXPECT_FALSE(a.GetBoneMatrix(1, m));
    EXPECT_FALSE(a.GetBoneMatrix(-1, m));
    ASSERT_TRUE(a.SetBoneMatrix(0, TMatrix4::Translation({1, 1, 1})));
    ASSERT_TRUE(a.GetBoneMatrix(0, m));
    EXPECT_EQ(m.Translation(), (Vector3{1, 1, 1}));

    a.ApplyTotalMove = true;
    ASSERT_TRUE(a.GetBoneMatrix(0, m));
    EXPECT_EQ(m.Translation(), (Vector3{3, 1, -3}));  // time 1: the whole vector
    EXPECT_EQ(a.Frame(2)->Matrices[0].Translation(), (Vector3{1, 1, 1}));
    a.CurrentFrameIndex = 1;
    ASSERT_TRUE(a.GetBoneMatrix(0, m));
    EXPECT_EQ(m.Translation(), (Vector3{1, 0, -2}));
    a.CurrentFrameIndex = 0;
    ASSERT_TRUE(a.GetBoneMatrix(0, m));
    EXPECT_EQ(m.Translation(), (Vector3{0, 0, 0}));  // time 0: none of it

    // What is set is stored as given, without the correction.
    a.CurrentFrameIndex = 1;
    ASSERT_TRUE(a.GetBoneMatrix(0, m));
    ASSERT_TRUE(a.SetBoneMatrix(0, m));
    EXPECT_EQ(a.Frame(1)->Matrices[0].Translation(), (Vector3{1, 0, -2}));
}
