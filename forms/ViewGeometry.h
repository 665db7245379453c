// The arithmetic of the model view's panels, free of any window: the zoom
// table, the seven projections and their inverses, back-face culling, the
// zoom about the mouse and the rubber band's box.
#pragma once

#include <cstdint>

#include "Core/Vector3.h"

class QWidget;

namespace mc {

// What a panel shows; 0 draws nothing.
enum TViewKind : uint8_t {
    ViewNone = 0,
    ViewFront = 1,
    ViewBack = 2,
    ViewLeft = 3,
    ViewRight = 4,
    ViewTop = 5,
    ViewBottom = 6,
    View3D = 7,
};
constexpr int kViewKindCount = 7;

// "Front (XY)" ... "3D (XYZ)"; empty for kinds outside 1..7.
const char* ViewKindCaption(int kind);

// Pixels per model unit: entry 1 is 0.1, each next one 1.2 times the last.
constexpr int kZoomCount = 60;
constexpr int kZoomStart = 35;
// The factor of index 1..60 (clamped into that range).
float ZoomFactor(int index);

struct TScreenPoint {
    int x = 0, y = 0;
    friend bool operator==(TScreenPoint, TScreenPoint) = default;
};

// One panel's view.
struct TView {
    QWidget* Panel = nullptr;  // borrowed
    uint8_t Kind = ViewNone;
    int32_t ZoomIndex = kZoomStart;
    int32_t OriginX = 0, OriginY = 0;
    int32_t LastMouseX = 0, LastMouseY = 0;
    bool RightDragging = false;

    float Scale() const { return ZoomFactor(ZoomIndex); }
};

// The mapping of one view, with its scale looked up once.
class TViewProjection {
public:
    explicit TViewProjection(const TView& view)
        : kind_(view.Kind), scale_(view.Scale()), originX_(view.OriginX), originY_(view.OriginY)
    {
    }
    TViewProjection(int kind, float scale, int originX, int originY)
        : kind_(kind), scale_(scale), originX_(originX), originY_(originY)
    {
    }

    // Each product is rounded to the nearest pixel, halves to even, before
    // the origin is added.
    TScreenPoint Project(Vector3 p) const;
    // The model point under a pixel; the coordinate the kind does not show
    // is 0.
    Vector3 Unproject(int sx, int sy) const;

    int Kind() const { return kind_; }
    float Scale() const { return scale_; }

private:
    int kind_;
    float scale_;
    int originX_, originY_;
};

// Zooms from the view's index to index, keeping the model point under the
// last mouse position on its pixel. False, changing nothing, when index is
// outside 1..60 or the current one.
bool ZoomView(TView& view, int index);

// Culling of faces that turn their back to the view.
enum class TCullMode : uint8_t { None = 0, CCW = 1, CW = 2 };

// The signed area the culling tests for the view kind, over the first three
// vertex positions.
double CullValue(int kind, Vector3 p0, Vector3 p1, Vector3 p2);
// True when the face is drawn: always without culling or when its value is
// exactly 0 (first three vertices in a line).
bool FaceDrawn(int kind, TCullMode mode, Vector3 p0, Vector3 p1, Vector3 p2);

// The rubber band's box between two model points, in the axes the view
// shows (kinds 1-2: x and y; 3-4: y and z; 5-6: x and z). The 3D view
// selects nothing: its box contains no point.
class TBandBox {
public:
    TBandBox(int kind, Vector3 start, Vector3 finish);
    bool Contains(Vector3 p) const
    {
        const float u = Axis(p, axisU_), v = Axis(p, axisV_);
        return selects_ && u >= lo_[0] && u <= hi_[0] && v >= lo_[1] && v <= hi_[1];
    }
    bool Selects() const { return selects_; }

private:
    static float Axis(Vector3 p, int axis) { return axis == 0 ? p.x : axis == 1 ? p.y : p.z; }
    bool selects_ = false;
    int axisU_ = 0, axisV_ = 1;
    float lo_[2] = {}, hi_[2] = {};
};

}  // namespace mc
