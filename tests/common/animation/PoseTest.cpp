// Posing a model through the pose support: averaging, the saved offset,
// usage counting, backups and their restore.
#include <gtest/gtest.h>

#include "Model/Model.h"
#include "Model/Pose.h"
#include "TestSupport.h"

using namespace mc;

namespace {

const Vector3 kOffset{0.5f, 0, 0.25f};
const Vector3 kRest[4] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {2, 2, 2}};

// Four points, five vertices. Point 0 has vertices 0 and 2 (not consecutive,
// and PointToVertex names the second); point 3 is in no selection.
std::unique_ptr<TModel> MakeModel()
{
    auto model = std::make_unique<TModel>();
    TLOD& lod = *model->AddLOD();
    lod.VertexToPoint = {0, 1, 0, 2, 3};
    lod.PointToVertex = {2, 1, 3, 4};
    for (uint16_t p : lod.VertexToPoint) lod.Positions.push_back(kRest[p]);
    lod.Normals = {{0, 1, 0}, {1, 0, 0}, {0, 0, 1}, {0, 1, 0}, {0, 1, 0}};
    lod.UVs.resize(5);
    const auto add = [&](const char* name, std::vector<uint16_t> vertices) {
        auto s = std::make_unique<TModelComponent>(&lod);
        s->Name = name;
        s->Vertices = std::move(vertices);
        lod.Selections.push_back(std::move(s));
    };
    add("a", {0, 1});
    add("b", {2, 3});
    add("dup", {0, 2});
    add("apart", {0, 1, 2});
    model->ModelOffset = kOffset;
    model->AimPoint = {1, 2, 3};
    model->RangeA = {-1, -2, -3};
    model->RangeB = {4, 5, 6};
    model->GeometryCenter = {7, 8, 9};
    model->MassCenter = {10, 11, 12};
    return model;
}

const TModelComponent& Sel(const TModel& m, const char* name) { return *m.LOD(0)->SelectionByName(name); }

void ExpectNear(Vector3 a, Vector3 b)
{
    EXPECT_NEAR(a.x, b.x, 1e-5f);
    EXPECT_NEAR(a.y, b.y, 1e-5f);
    EXPECT_NEAR(a.z, b.z, 1e-5f);
}

// The derived vectors as the recomputation after a pose would change them.
void DisturbDerived(TModel& m)
{
    m.AimPoint = m.RangeA = m.RangeB = m.ModelOffset = m.GeometryCenter = m.MassCenter = {99, 99, 99};
}

}  // namespace

TEST(Pose, SelectionsSharingAPointAverageAndSumTheirNormals)
{
    auto model = MakeModel();
    TLOD& lod = *model->LOD(0);
    BeginAnimation(*model);
    const TMatrix4 turn = RotationAboutAxis({0, 0, 1}, 1.5707964f) * TMatrix4::Translation({2, 0, 0});
    const TMatrix4 shift = TMatrix4::Translation({4, 0, 0});
    TPoseStep step(lod);
    ASSERT_TRUE(step.Transform(Sel(*model, "a"), turn));
    ASSERT_TRUE(step.Transform(Sel(*model, "b"), shift));
    step.Finish();

    const Vector3 p0 = (turn.TransformPoint(kRest[0] + kOffset) + shift.TransformPoint(kRest[0] + kOffset)) / 2;
    // Both vertices of point 0 moved, though another point's vertex lies between them.
    ExpectNear(lod.Positions[0], p0);
    ExpectNear(lod.Positions[2], p0);
    ExpectNear(lod.Positions[1], turn.TransformPoint(kRest[1] + kOffset));
    ExpectNear(lod.Positions[3], kRest[2] + kOffset + Vector3{4, 0, 0});
    // Normals of point 0: the normalised sums of both transforms.
    ExpectNear(lod.Normals[0], Normalize(Vector3{1, 0, 0} + Vector3{0, 1, 0}));
    ExpectNear(lod.Normals[2], Vector3{0, 0, 1});
    // Point 1 was moved once: its normal is transformed, not normalised again.
    ExpectNear(lod.Normals[1], Vector3{0, -1, 0});
}

TEST(Pose, TranslationsOfPlusTwoAndPlusFourMeetAtPlusThree)
{
    auto model = MakeModel();
    TLOD& lod = *model->LOD(0);
    BeginAnimation(*model);
    TPoseStep step(lod);
    step.Transform(Sel(*model, "a"), TMatrix4::Translation({2, 0, 0}));
    step.Transform(Sel(*model, "b"), TMatrix4::Translation({4, 0, 0}));
    step.Finish();
    EXPECT_EQ(lod.Positions[0], (kRest[0] + kOffset + Vector3{3, 0, 0}));
    EXPECT_EQ(lod.AnimUsage[0], 2);
    // The untouched point gets the saved offset, and its own normal back.
    EXPECT_EQ(lod.Positions[4], kRest[3] + kOffset);
    EXPECT_EQ(lod.Normals[4], (Vector3{0, 1, 0}));
}

TEST(Pose, RepeatedVerticesOfOnePointCountOnceOnlyWhenAdjacent)
{
    auto model = MakeModel();
    TLOD& lod = *model->LOD(0);
    BeginAnimation(*model);
    {
        TPoseStep step(lod);
        step.Transform(Sel(*model, "dup"), TMatrix4::Translation({2, 0, 0}));
        EXPECT_EQ(lod.AnimUsage[0], 1);
        step.Finish();
    }
    {
        TPoseStep step(lod);  // a new step starts counting afresh
        EXPECT_EQ(lod.AnimUsage[0], 0);
        step.Transform(Sel(*model, "apart"), TMatrix4::Translation({2, 0, 0}));
        EXPECT_EQ(lod.AnimUsage[0], 2);
        EXPECT_EQ(lod.AnimUsage[1], 1);
        step.Finish();
        EXPECT_EQ(lod.Positions[2], (kRest[0] + kOffset + Vector3{2, 0, 0}));
        EXPECT_EQ(lod.Normals[2], (Vector3{0, 0, 1}));  // sum of two, normalised
    }
}

TEST(Pose, EndAnimationRestoresTheRestPoseExactly)
{
    auto model = MakeModel();
    TLOD& lod = *model->LOD(0);
    const auto positions = lod.Positions;
    const auto normals = lod.Normals;
    const Vector3 aim = model->AimPoint, offset = model->ModelOffset, mass = model->MassCenter;

    BeginAnimation(*model);
    model->AimPoint = {5, 5, 5};
    BeginAnimation(*model);  // the second begin keeps the rest values
    TPoseStep step(lod);
    step.Transform(Sel(*model, "apart"), RotationAboutAxis({0, 1, 0}, 0.3f));
    step.Finish();
    DisturbDerived(*model);
    ASSERT_NE(lod.Positions, positions);

    EndAnimation(*model);
    EXPECT_FALSE(model->AnimationActive);
    EXPECT_EQ(lod.Positions, positions);
    EXPECT_EQ(lod.Normals, normals);
    EXPECT_EQ(model->AimPoint, aim);
    EXPECT_EQ(model->ModelOffset, offset);
    EXPECT_EQ(model->MassCenter, mass);
    EXPECT_EQ(model->RangeA, (Vector3{-1, -2, -3}));
    EXPECT_EQ(model->RangeB, (Vector3{4, 5, 6}));
    EXPECT_EQ(model->GeometryCenter, (Vector3{7, 8, 9}));
    EXPECT_FALSE(HasPoseBackup(lod));
    EXPECT_FALSE(RestorePose(lod));

    // Ending again changes nothing.
    model->AimPoint = {1, 1, 1};
    EndAnimation(*model);
    EXPECT_EQ(model->AimPoint, (Vector3{1, 1, 1}));
}

TEST(Pose, TheTwoHundredFiftySixthMoveOfAPointOverflows)
{
    test::TRecordingServices services;
    auto model = MakeModel();
    TLOD& lod = *model->LOD(0);
    BeginAnimation(*model);
    TPoseStep step(lod);
    for (int i = 0; i < 255; ++i) ASSERT_TRUE(step.Transform(Sel(*model, "a"), TMatrix4::Translation({1, 0, 0})));
    EXPECT_TRUE(services.Log.empty());
    EXPECT_EQ(lod.AnimUsage[0], 255);

    // Point 2 comes first and is moved; point 0 then stops the call.
    TModelComponent both(&lod);
    both.Vertices = {3, 0, 1};
    EXPECT_FALSE(step.Transform(both, TMatrix4::Translation({7, 0, 0})));
    ASSERT_EQ(services.Log.size(), 1u);
    EXPECT_EQ(services.Log[0], "AnimVertexUsage Buffer overflow");
    EXPECT_EQ(lod.AnimUsage[2], 1);
    EXPECT_EQ(lod.Positions[3], (kRest[2] + kOffset + Vector3{7, 0, 0}));
    EXPECT_EQ(lod.AnimUsage[1], 255);
}

TEST(Pose, StoredFramesReplacePositionsUntilRestored)
{
    auto model = MakeModel();
    TLOD& lod = *model->LOD(0);
    const auto positions = lod.Positions;
    auto frame = std::make_unique<TFrame>(&lod);
    frame->Positions.assign(5, {3, 3, 3});
    auto wrong = std::make_unique<TFrame>(&lod);
    wrong->Positions.assign(4, {3, 3, 3});
    lod.Frames.push_back(std::move(frame));
    lod.Frames.push_back(std::move(wrong));

    EXPECT_FALSE(ApplyStoredFrame(lod, 1));
    EXPECT_FALSE(ApplyStoredFrame(lod, 2));
    EXPECT_FALSE(HasPoseBackup(lod));
    EXPECT_EQ(lod.Positions, positions);

    ASSERT_TRUE(ApplyStoredFrame(lod, 0));
    EXPECT_EQ(lod.Positions[4], (Vector3{3, 3, 3}));
    EndAnimation(*model);  // without a begin: the LOD still comes back
    EXPECT_EQ(lod.Positions, positions);
    EXPECT_EQ(model->AimPoint, (Vector3{1, 2, 3}));
}

TEST(Pose, ProxiesFollowTheirSelection)
{
    auto model = MakeModel();
    TLOD& lod = *model->LOD(0);
    TFace tri;
    tri.Count = 3;
    tri.Vertices = {0, 1, 3, 0};
    lod.Faces.push_back(tri);
    auto sel = std::make_unique<TModelComponent>(&lod);
    sel->Name = "proxy:flag";
    sel->Faces = {0};
    sel->Vertices = {0, 1, 3};
    auto proxy = std::make_unique<TProxy>(&lod);
    sel->BindProxy(proxy.get());
    const TModelComponent& s = *sel;
    lod.Selections.push_back(std::move(sel));
    TProxy& p = *proxy;
    lod.Proxies.push_back(std::move(proxy));
    const auto rest = p.Placement();

    BeginAnimation(*model);
    TPoseStep step(lod);
    step.Transform(s, TMatrix4::Translation({0, 1, 0}));
    EXPECT_EQ(p.ProxyPosition, lod.Positions[p.CornerVertex]);
    EXPECT_EQ(p.ProxyPosition, (rest[3] + kOffset + Vector3{0, 1, 0}));
    step.Finish();
    EndAnimation(*model);
    EXPECT_EQ(p.Placement(), rest);
}
