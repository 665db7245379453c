// The fly-through camera: rotation limits, orbiting, motion, mouse look,
// and the transforms it sends to its surface.
#include <gtest/gtest.h>

#include <cmath>

#include "Camera/Camera.h"

using namespace mc;

namespace {

constexpr float kPi = 3.14159265f;

// Records what the camera sends.
class TFakeSurface : public ICameraSurface {
public:
    int Width() const override { return width; }
    int Height() const override { return height; }
    void SetViewport(const TViewport& v) override { viewports.push_back(v); }
    void SetProjection(const TMatrix4& m) override { projections.push_back(m); }
    void SetView(const TMatrix4& m) override { views.push_back(m); }

    int width = 800, height = 600;
    std::vector<TViewport> viewports;
    std::vector<TMatrix4> projections, views;
};

void ExpectNear(Vector3 a, Vector3 b, float tolerance = 1e-4f)
{
    EXPECT_NEAR(a.x, b.x, tolerance);
    EXPECT_NEAR(a.y, b.y, tolerance);
    EXPECT_NEAR(a.z, b.z, tolerance);
}

bool Finite(Vector3 v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

float Elevation(const TCamera& c) { return std::asin(c.Direction().y); }

// The 3D preview's settings.
TCamera PreviewCamera(ICameraSurface* surface)
{
    TCamera c(surface, {0, 0, -10});
    c.LockTarget({0, 0, 0});
    c.SetSpeed(0.2f);
    c.SetFarPlane(1200);
    c.SetNearPlane(0.1f);
    c.SetFieldOfView(kPi / 6);
    return c;
}

}  // namespace

TEST(Camera, PitchStopsAtEightySevenDegrees)
{
    TCamera c(nullptr, {0, 0, 0});
    for (int i = 0; i < 20; ++i) {
        c.Rotate(0.3f, 0);
        EXPECT_LE(Elevation(c), TCamera::kPitchLimit + 1e-5f);
        EXPECT_NEAR(Length(c.Direction()), 1.0f, 1e-5f);
    }
    EXPECT_NEAR(Elevation(c), TCamera::kPitchLimit, 1e-5f);
    for (int i = 0; i < 40; ++i) c.Rotate(-0.3f, 0.1f);
    EXPECT_NEAR(Elevation(c), -TCamera::kPitchLimit, 1e-5f);
    EXPECT_EQ(c.Right().y, 0.0f);

    // Positive pitch looks up, positive yaw turns right.
    TCamera d(nullptr, {0, 0, 0});
    d.Rotate(0.1f, 0);
    EXPECT_GT(d.Direction().y, 0);
    d.Rotate(0, 0.1f);
    EXPECT_GT(d.Direction().x, 0);
}

TEST(Camera, LockedTargetIsOrbitedAtConstantDistance)
{
    EXPECT_EQ(TCamera(nullptr, {1, 2, 3}).Target(), (Vector3{0, 0, 4}));
    TFakeSurface surface;
    TCamera c = PreviewCamera(&surface);
    for (int i = 0; i < 50; ++i) {
        c.Rotate(0.05f * static_cast<float>(i % 7) - 0.1f, 0.37f);
        EXPECT_NEAR(c.DistanceTo({0, 0, 0}), 10.0f, 1e-3f);
        ExpectNear(c.Position() + c.Direction() * 10, {0, 0, 0}, 1e-3f);
    }
    // Flying forward shortens the distance; turning keeps the new one.
    TCameraInput forward;
    forward.Forward = true;
    c.ApplyInput(forward);
    c.Apply();
    EXPECT_NEAR(c.DistanceTo({0, 0, 0}), 9.8f, 1e-3f);
    c.Rotate(0, 1.0f);
    EXPECT_NEAR(c.DistanceTo({0, 0, 0}), 9.8f, 1e-3f);

    c.UnlockTarget();
    const Vector3 before = c.Position();
    c.Rotate(0, 1.0f);
    EXPECT_EQ(c.Position(), before);
}

TEST(Camera, SpeedBounds)
{
    TCamera c(nullptr, {});
    c.SetSpeed(40);
    c.SpeedUp();
    EXPECT_EQ(c.Speed(), 50.0f);
    c.SetSpeed(0.015f);
    c.SpeedDown();
    EXPECT_EQ(c.Speed(), 0.01f);
    c.SetSpeed(1);
    TCameraInput keys;
    keys.SpeedUp = true;
    c.ApplyInput(keys);
    EXPECT_EQ(c.Speed(), 2.0f);
}

TEST(Camera, MouseDeltasAreScaledAndRoundedHalfToEven)
{
    EXPECT_EQ(TCamera::RoundHalfEven(1.25f), 1);
    EXPECT_EQ(TCamera::RoundHalfEven(2.5f), 2);
    EXPECT_EQ(TCamera::RoundHalfEven(3.5f), 4);
    EXPECT_EQ(TCamera::RoundHalfEven(3.75f), 4);
    EXPECT_EQ(TCamera::RoundHalfEven(-2.5f), -2);
    EXPECT_EQ(TCamera::RoundHalfEven(-3.5f), -4);
    EXPECT_EQ(TCamera::RoundHalfEven(-0.6f), -1);

    // With the cursor free on the whole surface the view does not turn and
    // the cursor moves by the rounded deltas.
    TFakeSurface surface;
    TCamera c(&surface, {});
    c.SetCursorMode(2);
    c.Apply();
    EXPECT_EQ(c.CursorBox(), (TCursorBox{0, 0, 799, 599}));
    EXPECT_EQ(c.CursorX(), 399);  // it jumped into the new box
    const Vector3 direction = c.Direction();
    int x = c.CursorX();
    for (const auto& [raw, moved] : {std::pair{1, 1}, std::pair{2, 2}, std::pair{3, 4}, std::pair{-2, -2}}) {
        TCameraInput mouse;
        mouse.MouseX = raw;
        c.ApplyInput(mouse);
        x += moved;
        EXPECT_EQ(c.CursorX(), x) << "raw delta " << raw;
    }
    EXPECT_EQ(c.Direction(), direction);

    // A wild device delta neither overflows the cursor nor turns too far.
    EXPECT_EQ(TCamera::RoundHalfEven(1e20f), 1 << 30);
    EXPECT_EQ(TCamera::RoundHalfEven(-1e20f), -(1 << 30));
    EXPECT_EQ(TCamera::RoundHalfEven(NAN), 0);
    TCameraInput wild;
    wild.MouseX = INT32_MAX;
    wild.MouseY = INT32_MIN;
    c.ApplyInput(wild);
    EXPECT_EQ(c.CursorX(), 799);
    EXPECT_EQ(c.CursorY(), 0);
    EXPECT_TRUE(Finite(c.Direction()));
    EXPECT_LE(Elevation(c), TCamera::kPitchLimit + 1e-4f);
}

TEST(Camera, PinnedCursorTurnsTheViewWithEveryMovement)
{
    TFakeSurface surface;
    TCamera c(&surface, {});
    c.Apply();
    EXPECT_EQ(c.CursorBox(), (TCursorBox{400, 300, 400, 300}));
    EXPECT_EQ(c.CursorX(), 400);

    TCameraInput mouse;
    mouse.MouseX = 8;  // 10 scaled units: yaw π/40
    mouse.MouseY = 8;
    c.ApplyInput(mouse);
    EXPECT_EQ(c.CursorX(), 400);
    EXPECT_GT(c.Direction().x, 0);  // right
    EXPECT_LT(c.Direction().y, 0);  // down
    EXPECT_NEAR(std::atan2(c.Direction().x, c.Direction().z), kPi / 40, 1e-4f);

    // A huge movement turns by at most a quarter turn.
    TCamera d(&surface, {});
    d.Apply();
    mouse.MouseX = 100000;
    mouse.MouseY = 0;
    d.ApplyInput(mouse);
    ExpectNear(d.Direction(), {1, 0, 0});

    // Frozen, input is ignored and the motion commands keep their values.
    TCameraInput forward;
    forward.MouseButton1 = true;
    d.ApplyInput(forward);
    d.SetFrozen(true);
    const Vector3 before = d.Direction();
    d.ApplyInput(mouse);
    d.ApplyInput(TCameraInput{});
    EXPECT_EQ(d.Direction(), before);
    EXPECT_EQ(d.ForwardCommand(), kMotion1);
}

TEST(Camera, MotionCommands)
{
    TCamera c(nullptr, {0, 0, 0});
    TCameraInput in;
    in.Forward = in.Backward = true;
    in.StrafeRight = true;
    in.Sink = true;
    c.ApplyInput(in);
    EXPECT_EQ(c.ForwardCommand(), kMotion1);
    EXPECT_EQ(c.StrafeCommand(), kMotion2);
    EXPECT_EQ(c.VerticalCommand(), kMotion2);
    c.Apply();  // motion happens without a surface too
    EXPECT_EQ(c.Position(), (Vector3{1, -1, 1}));

    in = {};
    in.Backward = in.StrafeLeft = in.Rise = true;
    c.ApplyInput(in);
    c.Apply();
    c.Apply();
    EXPECT_EQ(c.Position(), (Vector3{-1, 1, -1}));

    c.ClearMotion();
    c.Apply();
    EXPECT_EQ(c.Position(), (Vector3{-1, 1, -1}));
}

TEST(Camera, ProjectionIsRefusedForNearAlmostFar)
{
    TFakeSurface surface;
    TCamera c(&surface, {});
    c.Apply();
    ASSERT_EQ(surface.projections.size(), 1u);
    const TMatrix4 p = surface.projections[0];
    const float cot = std::cos(0.7853982f / 2) / std::sin(0.7853982f / 2);
    EXPECT_NEAR(p.m[0][0], 0.75f * cot, 1e-5f);
    EXPECT_NEAR(p.m[1][1], cot, 1e-5f);
    EXPECT_NEAR(p.m[2][2], 1500 / 1499.5f, 1e-5f);
    EXPECT_EQ(p.m[2][3], 1.0f);
    EXPECT_NEAR(p.m[3][2], -0.5f * 1500 / 1499.5f, 1e-5f);
    EXPECT_EQ(p.m[3][3], 0.0f);

    c.SetNearPlane(10);
    c.SetFarPlane(10.005f);
    c.Apply();
    EXPECT_FALSE(c.ProjectionDirty());
    EXPECT_EQ(surface.projections.size(), 1u);
    EXPECT_EQ(c.Projection(), p);

    c.SetFarPlane(100);
    c.SetFieldOfView(0.001f);
    c.Apply();
    EXPECT_EQ(surface.projections.size(), 1u);

    TMatrix4 unused;
    EXPECT_FALSE(TCamera::Perspective(1, 1, 5, 5.009f, unused));
    EXPECT_TRUE(TCamera::Perspective(1, 1, 5, 5.02f, unused));
}

TEST(Camera, ResizingResendsViewportAndProjection)
{
    TFakeSurface surface;
    TCamera c(&surface, {});
    c.Apply();
    c.Apply();
    EXPECT_EQ(surface.viewports.size(), 1u);
    EXPECT_EQ(surface.projections.size(), 1u);
    EXPECT_EQ(surface.views.size(), 1u);

    surface.width = 400;
    surface.height = 400;
    c.Invalidate();
    c.Apply();
    ASSERT_EQ(surface.viewports.size(), 2u);
    EXPECT_EQ(surface.viewports[1], (TViewport{0, 0, 400, 400, 0, 1}));
    ASSERT_EQ(surface.projections.size(), 2u);
    EXPECT_NEAR(surface.projections[1].m[0][0], surface.projections[1].m[1][1], 1e-6f);

    // Without a surface nothing is sent and the flags wait for one.
    c.SetSurface(nullptr);
    c.Apply();
    EXPECT_TRUE(c.ViewDirty());
    c.SetSurface(&surface);
    c.Apply();
    EXPECT_EQ(surface.views.size(), 3u);
}

TEST(Camera, ViewTransformAndClipPlanes)
{
    TFakeSurface surface;
    TCamera c = PreviewCamera(&surface);
    c.Rotate(0.2f, 0.5f);
    c.Apply();
    const TMatrix4& v = c.View();
    ExpectNear(v.TransformPoint(c.Position()), {0, 0, 0});
    ExpectNear(v.TransformPoint(c.Position() + c.Direction() * 3), {0, 0, 3});
    ExpectNear(v.TransformPoint(c.Position() + c.Right()), {Length(c.Right()), 0, 0});

    const auto inside = [&](Vector3 p) {
        for (const TPlane& plane : c.ClipPlanes().Volume)
            if (plane.a * p.x + plane.b * p.y + plane.c * p.z + plane.d < 0) return false;
        return true;
    };
    EXPECT_TRUE(inside({0, 0, 0}));  // the target straight ahead
    EXPECT_FALSE(inside(c.Position() - c.Direction()));
    EXPECT_FALSE(inside(c.Position() + c.Direction() * 2000));
    EXPECT_FALSE(inside(c.Position() + c.Direction() * 10 + c.Right() * 20));
    for (const TPlane& plane : c.ClipPlanes().Volume)
        EXPECT_NEAR(plane.a * plane.a + plane.b * plane.b + plane.c * plane.c, 1.0f, 1e-4f);
    for (const TPlaneXZ& plane : c.ClipPlanes().Sides) EXPECT_NEAR(plane.a * plane.a + plane.c * plane.c, 1.0f, 1e-4f);

    // Looking straight up falls back to another up vector.
    const TMatrix4 up = TCamera::LookAtMatrix({0, 0, 0}, {0, 5, 0});
    ExpectNear(up.TransformPoint({0, 5, 0}), {0, 0, 5});
}

TEST(Camera, LookAtTheEyeAndFitSphereAtTheCentreKeepTheDirection)
{
    TCamera c(nullptr, {1, 2, 3});
    c.Rotate(0.1f, 0.4f);
    const Vector3 direction = c.Direction();
    c.LookAt({1, 2, 3});
    EXPECT_EQ(c.Direction(), direction);
    EXPECT_EQ(c.Target(), (Vector3{1, 2, 3}));

    c.FitSphere({1, 2, 3}, kPi / 6, 2);
    EXPECT_TRUE(Finite(c.Position()));
    EXPECT_EQ(c.Direction(), direction);
    EXPECT_NEAR(c.DistanceTo({1, 2, 3}), std::sqrt(std::pow(2 / std::tan(kPi / 12), 2.0f) + 4), 1e-3f);

    // Looking straight down keeps the old sideways vector, and the next
    // turn brings the view back within the pitch limit.
    TCamera d(nullptr, {0, 5, 0});
    d.LookAt({0, 0, 0});
    EXPECT_EQ(d.Right(), (Vector3{1, 0, 0}));
    d.Rotate(0.01f, 0);
    EXPECT_TRUE(Finite(d.Direction()));
    EXPECT_NEAR(Elevation(d), -TCamera::kPitchLimit, 1e-4f);
}

TEST(Camera, FitSphereKeepsTheSideAndClearsTheNearPlane)
{
    TCamera c(nullptr, {0, 0, -50});
    c.FitSphere({0, 1, 0}, kPi / 6, 2);
    const float d = 2 / std::tan(kPi / 12);
    EXPECT_NEAR(c.DistanceTo({0, 1, 0}), std::sqrt(d * d + 4), 1e-3f);
    EXPECT_LT(c.Position().z, 0);
    ExpectNear(c.Position() + c.Direction() * c.DistanceTo({0, 1, 0}), {0, 1, 0}, 1e-3f);

    // A wide angle would put the eye inside the near plane.
    c.SetNearPlane(5);
    c.FitSphere({0, 1, 0}, 3.0f, 2);
    EXPECT_NEAR(c.DistanceTo({0, 1, 0}), 7.01f, 1e-3f);

    const Vector3 before = c.Position();
    c.FitSphere({0, 1, 0}, kPi / 6, 0);
    c.FitSphere({0, 1, 0}, 0, 2);
    EXPECT_EQ(c.Position(), before);
}
