// Posing whole models with an animation: the generated two-bone arm and
// every real model, posed and returned to rest.
#include <gtest/gtest.h>

#include "Animation/Animation.h"
#include "DemoAnimation.h"
#include "Model/Model.h"
#include "Model/ModelLoader.h"
#include "Model/Pose.h"
#include "TestSupport.h"

using namespace mc;

namespace {

void ExpectNear(Vector3 a, Vector3 b, float tolerance = 1e-5f)
{
    EXPECT_NEAR(a.x, b.x, tolerance);
    EXPECT_NEAR(a.y, b.y, tolerance);
    EXPECT_NEAR(a.z, b.z, tolerance);
}

struct TRestPose {
    std::vector<std::vector<Vector3>> Positions, Normals;
    std::array<Vector3, 6> Derived;
};

TRestPose Snapshot(const TModel& m)
{
    TRestPose r;
    for (const auto& lod : m.LODs) {
        r.Positions.push_back(lod->Positions);
        r.Normals.push_back(lod->Normals);
    }
    r.Derived = {m.AimPoint, m.RangeA, m.RangeB, m.ModelOffset, m.GeometryCenter, m.MassCenter};
    return r;
}

void ExpectRest(const TModel& m, const TRestPose& rest)
{
    for (size_t i = 0; i < m.LODs.size(); ++i) {
        EXPECT_EQ(m.LODs[i]->Positions, rest.Positions[i]) << "LOD " << i;
        EXPECT_EQ(m.LODs[i]->Normals, rest.Normals[i]) << "LOD " << i;
        EXPECT_FALSE(HasPoseBackup(*m.LODs[i]));
    }
    const std::array<Vector3, 6> derived{m.AimPoint, m.RangeA, m.RangeB, m.ModelOffset, m.GeometryCenter, m.MassCenter};
    EXPECT_EQ(derived, rest.Derived);
    EXPECT_FALSE(m.AnimationActive);
}

}  // namespace

TEST(ApplyToModel, PosesTheTwoBoneArmFrameByFrame)
{
    auto model = demo::MakeTwoBoneModel();
    auto animation = demo::MakeTwoBoneAnimation();
    const TRestPose rest = Snapshot(*model);
    EXPECT_FALSE(animation->ApplyToModel(nullptr));

    const TLOD& lod = *model->LOD(0);
    const auto pointOf = [&](int v) { return lod.VertexToPoint[static_cast<size_t>(v)]; };
    const Vector3 restPoint[6] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}, {0, 2, 0}, {1, 2, 0}};

    animation->CurrentFrameIndex = 1;
    ASSERT_TRUE(animation->ApplyToModel(model.get()));
    EXPECT_TRUE(model->AnimationActive);
    const float dz[6] = {1, 1, 2, 2, 3, 3};  // shared points at the average
    for (int v = 0; v < lod.VertexCount(); ++v)
        ExpectNear(lod.Positions[static_cast<size_t>(v)], restPoint[pointOf(v)] + Vector3{0, 0, dz[pointOf(v)]});
    EXPECT_NEAR(model->RangeB.z, 3.0f, 1e-5f);  // derived data follows the pose

    // Total Move adds the vector times the frame's time (0.5 here).
    animation->ApplyTotalMove = true;
    ASSERT_TRUE(animation->ApplyToModel(model.get()));
    ExpectNear(lod.Positions[0], {0, 0, 3});

    // Frame 2 turns bone2 a quarter about +Y: x goes to -z.
    animation->ApplyTotalMove = false;
    animation->CurrentFrameIndex = 2;
    ASSERT_TRUE(animation->ApplyToModel(model.get()));
    for (int v = 0; v < lod.VertexCount(); ++v) {
        const int p = pointOf(v);
        const Vector3 r = restPoint[p];
        const Vector3 turned{0, r.y, -r.x};
        ExpectNear(lod.Positions[static_cast<size_t>(v)], p < 2 ? r : p < 4 ? (r + turned) / 2 : turned);
    }

    // Without a current frame nothing moves: every point is at rest.
    animation->CurrentFrameIndex = -1;
    ASSERT_TRUE(animation->ApplyToModel(model.get()));
    EXPECT_EQ(lod.Positions, rest.Positions[0]);

    EndAnimation(*model);
    ExpectRest(*model, rest);
}

// Every selection of every LOD moved by the same translation: each vertex of
// a selected point moves by it, whichever vertex of the point is listed.
TEST(ApplyToModel, RealModelsMoveEveryVertexOfAPointAndReturnToRest)
{
    const auto files = test::RealFiles("p3d", ".p3d");
    if (files.empty()) GTEST_SKIP() << "no real models";
    int posed = 0;
    for (const auto& path : files) {
        test::TRecordingServices services;
        auto model = LoadModelFromFile(path.string());
        if (!model) continue;  // refused forms are tested with the loader
        SCOPED_TRACE(path.filename().string());
        services.Log.clear();  // what loading had to say
        const TRestPose rest = Snapshot(*model);

        TAnimation animation;
        for (const auto& lod : model->LODs)
            for (const auto& s : lod->Selections) animation.AddBone(s->Name);
        animation.AddFrame();
        const Vector3 shift{0, 10, 0};
        for (TMatrix4& m : animation.Frame(0)->Matrices) m = TMatrix4::Translation(shift);
        animation.CurrentFrameIndex = 0;
        ASSERT_TRUE(animation.ApplyToModel(model.get()));

        const Vector3 offset = model->SavedDerived[3];
        for (size_t i = 0; i < model->LODs.size(); ++i) {
            const TLOD& lod = *model->LODs[i];
            std::vector<bool> selected(static_cast<size_t>(lod.PointCount()));
            // A bone poses the first selection of its name only.
            for (const auto& s : lod.Selections)
                if (lod.SelectionByName(s->Name) == s.get())
                    for (uint16_t v : s->Vertices) selected[lod.VertexToPoint[v]] = true;
            for (size_t v = 0; v < lod.Positions.size(); ++v) {
                const Vector3 expected = rest.Positions[i][v] + offset + (selected[lod.VertexToPoint[v]] ? shift : Vector3{});
                ASSERT_NEAR(lod.Positions[v].y, expected.y, 1e-3f) << "LOD " << i << " vertex " << v;
            }
        }
        EndAnimation(*model);
        ExpectRest(*model, rest);
        EXPECT_TRUE(services.Log.empty());
        ++posed;
    }
    EXPECT_GT(posed, 0);
}
