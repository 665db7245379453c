// The fly-through camera of the 3D windows: eye, viewing direction, an
// optional target it orbits, movement speed, and the viewport, projection
// and view transforms that follow from them. It sends the transforms through
// ICameraSurface only when they changed.
#pragma once

#include <array>
#include <cstdint>

#include "Camera/CameraInput.h"
#include "Camera/CameraSurface.h"
#include "Core/Matrix4.h"
#include "Core/Vector3.h"

namespace mc {

// a·x + b·y + c·z + d ≥ 0 inside the view volume; (a, b, c) has length 1.
struct TPlane {
    float a = 0, b = 0, c = 0, d = 0;
};

// The same in the x-z plane: a·x + c·z + d ≥ 0, (a, c) of length 1.
struct TPlaneXZ {
    float a = 0, c = 0, d = 0;
};

struct TCursorBox {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    friend bool operator==(const TCursorBox&, const TCursorBox&) = default;
};

// The view volume: left, right, bottom, top, near and far, then left and
// right again without their y components.
struct TClipPlanes {
    std::array<TPlane, 6> Volume;
    std::array<TPlaneXZ, 2> Sides;
};

// Motion command values.
enum : uint8_t { kMotionNone = 0, kMotion1 = 1, kMotion2 = 2 };

class TCamera {
public:
    static constexpr float kPitchLimit = 1.5184364f;  // 87°
    static constexpr float kMaxSpeed = 50.0f;
    static constexpr float kMinSpeed = 0.01f;
    static constexpr float kMouseScale = 1.25f;
    static constexpr float kMouseAngle = 0.0078539816f;  // π/400 per scaled mouse unit

    // surface is borrowed and may be null.
    TCamera(ICameraSurface* surface, Vector3 position);

    ICameraSurface* Surface() const { return surface_; }
    void SetSurface(ICameraSurface* surface);
    // The surface was resized: everything is sent again on the next Apply.
    void Invalidate();

    float FieldOfView() const { return fieldOfView_; }
    float NearPlane() const { return nearPlane_; }
    float FarPlane() const { return farPlane_; }
    void SetFieldOfView(float radians);
    void SetNearPlane(float value);
    void SetFarPlane(float value);

    Vector3 Position() const { return position_; }
    Vector3 Direction() const { return direction_; }
    Vector3 Right() const { return right_; }
    Vector3 Target() const { return target_; }
    bool TargetLocked() const { return targetLocked_; }
    void SetPosition(Vector3 position);
    // Turns towards point, which becomes the target. At the eye position
    // itself the direction is kept.
    void LookAt(Vector3 point);
    void LockTarget(Vector3 point);
    void UnlockTarget() { targetLocked_ = false; }
    void ResetOrientation();
    float DistanceTo(Vector3 point) const { return Length(point - position_); }

    float Speed() const { return speed_; }
    void SetSpeed(float speed) { speed_ = speed; }
    void SpeedUp();    // doubles, at most 50
    void SpeedDown();  // halves, at least 0.01

    bool Frozen() const { return frozen_; }
    void SetFrozen(bool frozen) { frozen_ = frozen; }
    uint8_t StrafeCommand() const { return strafeCommand_; }
    uint8_t VerticalCommand() const { return verticalCommand_; }
    uint8_t ForwardCommand() const { return forwardCommand_; }
    void ClearMotion();

    // Pitch about the right vector, stopping 87° above or below the horizon,
    // then yaw about +Y. A locked camera orbits its target at constant
    // distance.
    void Rotate(float pitch, float yaw);

    // One tick of input; nothing while frozen.
    void ApplyInput(const TCameraInput& input);

    // Frames a sphere so that it fills angle (radians), the eye keeping its
    // side of the sphere. Nothing for a radius that is not positive or an
    // angle that frames nothing.
    void FitSphere(Vector3 centre, float angle, float radius);

    // Once per frame before drawing: moves by the motion commands and sends
    // what changed to the surface.
    void Apply();

    // The virtual mouse cursor and the box that holds it.
    int CursorX() const { return cursorX_; }
    int CursorY() const { return cursorY_; }
    TCursorBox CursorBox() const { return cursorBox_; }
    uint8_t CursorMode() const { return cursorMode_; }
    void SetCursorMode(uint8_t mode) { cursorMode_ = mode; }

    bool ViewportDirty() const { return viewportDirty_; }
    bool ProjectionDirty() const { return projectionDirty_; }
    bool ViewDirty() const { return viewDirty_; }
    // The transforms last sent.
    const TMatrix4& Projection() const { return projection_; }
    const TMatrix4& View() const { return view_; }
    const TClipPlanes& ClipPlanes() const { return clipPlanes_; }

    // Rounds to the nearest integer, halves to the even one; saturates at
    // ±2^30, not-a-number gives 0.
    static int RoundHalfEven(float value);
    // The left-handed perspective transform; false when near and far are
    // closer than 0.01 or the half angle's sine is within 0.01 of zero.
    static bool Perspective(float fieldOfView, float aspect, float nearPlane, float farPlane, TMatrix4& out);
    // The left-handed look-at transform from eye towards at with up +Y.
    static TMatrix4 LookAtMatrix(Vector3 eye, Vector3 at);

private:
    void Move();
    void SendViewport();
    bool SendProjection();
    void SendView();
    void ComputeClipPlanes();
    void SetCursorBox();

    ICameraSurface* surface_;
    bool viewportDirty_ = true, projectionDirty_ = true, viewDirty_ = true;
    float fieldOfView_ = 0.7853982f;
    float nearPlane_ = 0.5f;
    float farPlane_ = 1500.0f;
    bool targetLocked_ = false;
    Vector3 target_;
    float speed_ = 1.0f;
    Vector3 position_;
    Vector3 direction_{0, 0, 1};
    Vector3 right_{1, 0, 0};
    bool frozen_ = false;
    uint8_t strafeCommand_ = 0, verticalCommand_ = 0, forwardCommand_ = 0;
    int cursorX_ = -1, cursorY_ = -1;
    TCursorBox cursorBox_;
    uint8_t cursorMode_ = 0;
    TClipPlanes clipPlanes_;
    TMatrix4 projection_ = TMatrix4::Identity();
    TMatrix4 view_ = TMatrix4::Identity();
};

}  // namespace mc
