#include "Camera/Camera.h"

#include <algorithm>
#include <cmath>

namespace mc {

namespace {

constexpr float kHalfPi = 1.5707964f;
// Below this length a vector has no usable direction.
constexpr float kTiny = 1e-6f;

TPlane NormalizedPlane(float a, float b, float c, float d)
{
    const float len = std::sqrt(a * a + b * b + c * c);
    if (len < kTiny) return {a, b, c, d};
    return {a / len, b / len, c / len, d / len};
}

TPlaneXZ NormalizedPlaneXZ(const TPlane& p)
{
    const float len = std::sqrt(p.a * p.a + p.c * p.c);
    if (len < kTiny) return {p.a, p.c, p.d};
    return {p.a / len, p.c / len, p.d / len};
}

}  // namespace

TCamera::TCamera(ICameraSurface* surface, Vector3 position) : surface_(surface)
{
    target_ = {0, 0, position.z + 1};
    ResetOrientation();
    ClearMotion();
    SetPosition(position);
}

void TCamera::SetSurface(ICameraSurface* surface)
{
    surface_ = surface;
    Invalidate();
}

void TCamera::Invalidate() { viewportDirty_ = projectionDirty_ = viewDirty_ = true; }

void TCamera::SetFieldOfView(float radians)
{
    fieldOfView_ = radians;
    projectionDirty_ = true;
}

void TCamera::SetNearPlane(float value)
{
    nearPlane_ = value;
    projectionDirty_ = true;
}

void TCamera::SetFarPlane(float value)
{
    farPlane_ = value;
    projectionDirty_ = true;
}

void TCamera::SetPosition(Vector3 position)
{
    position_ = position;
    viewDirty_ = true;
}

void TCamera::LookAt(Vector3 point)
{
    target_ = point;
    const Vector3 towards = point - position_;
    const float len = Length(towards);
    if (len >= kTiny) {
        direction_ = towards / len;
        const Vector3 right{direction_.z, 0, -direction_.x};
        // Straight up or down the sideways vector is undefined: keep it.
        if (Length(right) >= kTiny) right_ = right;
    }
    viewDirty_ = true;
}

void TCamera::LockTarget(Vector3 point)
{
    LookAt(point);
    targetLocked_ = true;
}

void TCamera::ResetOrientation()
{
    position_ = {0, 0, 0};
    direction_ = {0, 0, 1};
    right_ = {1, 0, 0};
    viewDirty_ = true;
}

void TCamera::SpeedUp() { speed_ = std::min(speed_ * 2, kMaxSpeed); }
void TCamera::SpeedDown() { speed_ = std::max(speed_ / 2, kMinSpeed); }

void TCamera::ClearMotion() { strafeCommand_ = verticalCommand_ = forwardCommand_ = kMotionNone; }

void TCamera::Rotate(float pitch, float yaw)
{
    if (pitch == 0 && yaw == 0) return;
    const float distance = DistanceTo(target_);
    if (pitch != 0) {
        const float current = std::asin(std::clamp(direction_.y, -1.0f, 1.0f));
        if (current + pitch >= kPitchLimit)
            pitch = kPitchLimit - current;
        else if (current + pitch <= -kPitchLimit)
            pitch = -kPitchLimit - current;
        const Vector3 axis = Normalize(right_);
        if (Length(axis) >= kTiny) direction_ = Normalize(RotationAboutAxis(axis, pitch).TransformVector(direction_));
    }
    if (yaw != 0) {
        const TMatrix4 turn = RotationAboutY(yaw);
        direction_ = Normalize(turn.TransformVector(direction_));
        right_ = turn.TransformVector(right_);
        right_.y = 0;
    }
    if (targetLocked_) position_ = target_ - direction_ * distance;
    viewDirty_ = true;
}

int TCamera::RoundHalfEven(float value)
{
    // Far beyond any surface; keeps the cursor arithmetic inside int.
    constexpr float kLimit = 1 << 30;
    if (!(value == value)) return 0;
    value = std::clamp(value, -kLimit, kLimit);
    const float whole = std::floor(value);
    const float fraction = value - whole;
    int r = static_cast<int>(whole);
    if (fraction > 0.5f || (fraction == 0.5f && (r & 1) != 0)) ++r;
    return r;
}

void TCamera::ApplyInput(const TCameraInput& input)
{
    if (frozen_) return;
    if (input.SpeedUp) SpeedUp();
    if (input.SpeedDown) SpeedDown();

    forwardCommand_ = input.Forward || input.MouseButton1 ? kMotion1 : input.Backward ? kMotion2 : kMotionNone;
    strafeCommand_ = input.StrafeLeft ? kMotion1 : input.StrafeRight ? kMotion2 : kMotionNone;
    verticalCommand_ = input.Rise ? kMotion1 : input.Sink ? kMotion2 : kMotionNone;

    const int dx = RoundHalfEven(static_cast<float>(input.MouseX) * kMouseScale);
    const int dy = RoundHalfEven(static_cast<float>(input.MouseY) * kMouseScale);
    cursorX_ = std::clamp(cursorX_ + dx, cursorBox_.Left, std::max(cursorBox_.Left, cursorBox_.Right));
    cursorY_ = std::clamp(cursorY_ + dy, cursorBox_.Top, std::max(cursorBox_.Top, cursorBox_.Bottom));
    if (cursorX_ > cursorBox_.Left && cursorX_ < cursorBox_.Right && cursorY_ > cursorBox_.Top &&
        cursorY_ < cursorBox_.Bottom)
        return;

    const float pitch = std::clamp(static_cast<float>(dy) * -kMouseAngle, -kHalfPi, kHalfPi);
    const float yaw = std::clamp(static_cast<float>(dx) * kMouseAngle, -kHalfPi, kHalfPi);
    Rotate(pitch, yaw);
}

void TCamera::FitSphere(Vector3 centre, float angle, float radius)
{
    const float tangent = std::tan(angle / 2);
    if (!(radius > 0) || !(tangent > kTiny)) return;
    LookAt(centre);
    const float d = radius / tangent;
    float dist = std::sqrt(d * d + radius * radius);
    if (dist - radius < nearPlane_ + 0.01f) dist = nearPlane_ + 0.01f + radius;
    Vector3 side = position_ - centre;
    // With the eye at the centre there is no side to keep: back off along
    // the viewing direction.
    side = Length(side) >= kTiny ? Normalize(side) : -direction_;
    position_ = centre + side * dist;
    viewDirty_ = true;
}

void TCamera::Move()
{
    if (!strafeCommand_ && !verticalCommand_ && !forwardCommand_) return;
    const Vector3 up{0, 1, 0};
    if (strafeCommand_ == kMotion1) position_ = position_ - right_ * speed_;
    if (strafeCommand_ == kMotion2) position_ = position_ + right_ * speed_;
    if (verticalCommand_ == kMotion1) position_ = position_ + up * speed_;
    if (verticalCommand_ == kMotion2) position_ = position_ - up * speed_;
    if (forwardCommand_ == kMotion1) position_ = position_ + direction_ * speed_;
    if (forwardCommand_ == kMotion2) position_ = position_ - direction_ * speed_;
    viewDirty_ = true;
}

bool TCamera::Perspective(float fieldOfView, float aspect, float nearPlane, float farPlane, TMatrix4& out)
{
    const float s = std::sin(fieldOfView / 2), c = std::cos(fieldOfView / 2);
    if (!(std::fabs(farPlane - nearPlane) > 0.01f) || !(std::fabs(s) > 0.01f) || !std::isfinite(aspect)) return false;
    const float q = farPlane / (farPlane - nearPlane);
    out = TMatrix4{};
    out.m[0][0] = aspect * c / s;
    out.m[1][1] = c / s;
    out.m[2][2] = q;
    out.m[2][3] = 1;
    out.m[3][2] = -q * nearPlane;
    return true;
}

TMatrix4 TCamera::LookAtMatrix(Vector3 eye, Vector3 at)
{
    const Vector3 f = Normalize(at - eye);
    Vector3 up{0, 1, 0};
    Vector3 u = up - f * Dot(up, f);
    if (Length(u) < kTiny) {
        up = {0, 0, 1};
        u = up - f * Dot(up, f);
    }
    u = Normalize(u);
    const Vector3 r = Cross(u, f);
    TMatrix4 v = TMatrix4::Identity();
    v.m[0][0] = r.x, v.m[0][1] = u.x, v.m[0][2] = f.x;
    v.m[1][0] = r.y, v.m[1][1] = u.y, v.m[1][2] = f.y;
    v.m[2][0] = r.z, v.m[2][1] = u.z, v.m[2][2] = f.z;
    v.m[3][0] = -Dot(eye, r), v.m[3][1] = -Dot(eye, u), v.m[3][2] = -Dot(eye, f);
    return v;
}

void TCamera::SendViewport()
{
    TViewport viewport;
    viewport.Width = surface_->Width();
    viewport.Height = surface_->Height();
    surface_->SetViewport(viewport);
}

bool TCamera::SendProjection()
{
    const int w = surface_->Width(), h = surface_->Height();
    const float aspect = w > 0 ? static_cast<float>(h) / static_cast<float>(w) : INFINITY;
    TMatrix4 projection;
    if (!Perspective(fieldOfView_, aspect, nearPlane_, farPlane_, projection)) return false;  // the old one stays
    projection_ = projection;
    surface_->SetProjection(projection_);
    return true;
}

void TCamera::SendView()
{
    view_ = LookAtMatrix(position_, position_ + direction_);
    surface_->SetView(view_);
}

void TCamera::ComputeClipPlanes()
{
    const TMatrix4 m = view_ * projection_;
    auto plane = [&](int column, float sign) {
        return NormalizedPlane(m.m[0][3] + sign * m.m[0][column], m.m[1][3] + sign * m.m[1][column],
                               m.m[2][3] + sign * m.m[2][column], m.m[3][3] + sign * m.m[3][column]);
    };
    clipPlanes_.Volume = {plane(0, 1), plane(0, -1), plane(1, 1), plane(1, -1), plane(2, 1), plane(2, -1)};
    clipPlanes_.Sides = {NormalizedPlaneXZ(clipPlanes_.Volume[0]), NormalizedPlaneXZ(clipPlanes_.Volume[1])};
}

void TCamera::SetCursorBox()
{
    const int w = surface_->Width(), h = surface_->Height();
    switch (cursorMode_) {
    case 1: cursorBox_ = {9 * w / 20, h / 4, 11 * w / 20, 3 * h / 4}; break;
    case 2: cursorBox_ = {0, 0, w - 1, h - 1}; break;
    default: cursorBox_ = {w / 2, h / 2, w / 2, h / 2}; break;
    }
    if (cursorX_ < cursorBox_.Left || cursorX_ > cursorBox_.Right || cursorY_ < cursorBox_.Top ||
        cursorY_ > cursorBox_.Bottom) {
        cursorX_ = (cursorBox_.Left + cursorBox_.Right) / 2;
        cursorY_ = (cursorBox_.Top + cursorBox_.Bottom) / 2;
    }
}

void TCamera::Apply()
{
    Move();
    if (!surface_) return;
    if (viewportDirty_) {
        SendViewport();
        viewportDirty_ = false;
    }
    bool sent = false;
    if (projectionDirty_) {
        sent = SendProjection();
        projectionDirty_ = false;
    }
    if (viewDirty_) {
        SendView();
        sent = true;
        viewDirty_ = false;
    }
    if (sent) ComputeClipPlanes();
    SetCursorBox();
}

}  // namespace mc
