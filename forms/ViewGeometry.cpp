#include "ViewGeometry.h"

#include <array>
#include <cmath>

namespace mc {

namespace {

const std::array<float, kZoomCount + 1>& ZoomTable()
{
    static const std::array<float, kZoomCount + 1> table = [] {
        std::array<float, kZoomCount + 1> t{};
        t[1] = 0.1f;
        for (int i = 2; i <= kZoomCount; ++i) t[size_t(i)] = t[size_t(i - 1)] * 1.2f;
        t[0] = t[1];
        return t;
    }();
    return table;
}

constexpr double kCos30 = 0.86602540378443864676;

// Nearest integer, halves to even (the default rounding mode).
inline int RoundPixel(double v)
{
    if (!(std::fabs(v) < 1.0e9)) return v < 0 ? -1000000000 : 1000000000;  // also not-a-number
    return static_cast<int>(std::nearbyint(v));
}

// A(u, v) over three points given as (u, v) pairs.
inline double Area(double u0, double v0, double u1, double v1, double u2, double v2)
{
    return (v1 - v2) * u0 + (v2 - v0) * u1 + (v0 - v1) * u2;
}

}  // namespace

const char* ViewKindCaption(int kind)
{
    static const char* const captions[] = {"",           "Front (XY)", "Back (-XY)", "Left (ZY)",
                                           "Right (-ZY)", "Top (XZ)",   "Bottom (-XZ)", "3D (XYZ)"};
    return kind >= 1 && kind <= kViewKindCount ? captions[kind] : "";
}

float ZoomFactor(int index)
{
    if (index < 1) index = 1;
    if (index > kZoomCount) index = kZoomCount;
    return ZoomTable()[size_t(index)];
}

TScreenPoint TViewProjection::Project(Vector3 p) const
{
    const double s = scale_, x = p.x, y = p.y, z = p.z;
    switch (kind_) {
    case ViewFront: return {originX_ + RoundPixel(x * s), originY_ - RoundPixel(y * s)};
    case ViewBack: return {originX_ - RoundPixel(x * s), originY_ - RoundPixel(y * s)};
    case ViewLeft: return {originX_ + RoundPixel(z * s), originY_ - RoundPixel(y * s)};
    case ViewRight: return {originX_ - RoundPixel(z * s), originY_ - RoundPixel(y * s)};
    case ViewTop: return {originX_ + RoundPixel(x * s), originY_ - RoundPixel(z * s)};
    case ViewBottom: return {originX_ - RoundPixel(x * s), originY_ - RoundPixel(z * s)};
    case View3D:
        return {originX_ + RoundPixel((x + z) * kCos30 * s), originY_ + RoundPixel(((x - z) * 0.5 - y) * s)};
    default: return {originX_, originY_};
    }
}

Vector3 TViewProjection::Unproject(int sx, int sy) const
{
    const double s = scale_, dx = double(sx) - originX_, dy = double(sy) - originY_;
    const auto f = [](double v) { return static_cast<float>(v); };
    switch (kind_) {
    case ViewFront: return {f(dx / s), f(-dy / s), 0};
    case ViewBack: return {f(-dx / s), f(-dy / s), 0};
    case ViewLeft: return {0, f(-dy / s), f(dx / s)};
    case ViewRight: return {0, f(-dy / s), f(-dx / s)};
    case ViewTop: return {f(dx / s), 0, f(-dy / s)};
    case ViewBottom: return {f(-dx / s), 0, f(-dy / s)};
    case View3D: {
        const double a = dx / (kCos30 * s), b = dy / (0.5 * s);
        const double x = (a + b) / 2;
        return {f(x), 0, f(a - x)};
    }
    default: return {};
    }
}

bool ZoomView(TView& view, int index)
{
    if (index < 1 || index > kZoomCount || index == view.ZoomIndex) return false;
    const double r = double(ZoomFactor(index)) / double(ZoomFactor(view.ZoomIndex)) - 1.0;
    view.OriginX -= RoundPixel(r * (view.LastMouseX - view.OriginX));
    view.OriginY -= RoundPixel(r * (view.LastMouseY - view.OriginY));
    view.ZoomIndex = index;
    return true;
}

double CullValue(int kind, Vector3 p0, Vector3 p1, Vector3 p2)
{
    const auto xy = [&] { return Area(p0.x, p0.y, p1.x, p1.y, p2.x, p2.y); };
    const auto yz = [&] { return Area(p0.y, p0.z, p1.y, p1.z, p2.y, p2.z); };
    const auto zx = [&] { return Area(p0.z, p0.x, p1.z, p1.x, p2.z, p2.x); };
    switch (kind) {
    case ViewFront:
    case ViewBack: return xy();
    case ViewLeft:
    case ViewRight: return yz();
    case ViewTop:
    case ViewBottom: return zx();
    case View3D: return xy() - yz() - zx();
    default: return 0;
    }
}

bool FaceDrawn(int kind, TCullMode mode, Vector3 p0, Vector3 p1, Vector3 p2)
{
    if (mode == TCullMode::None) return true;
    const double a = CullValue(kind, p0, p1, p2);
    if (a == 0 || std::isnan(a)) return true;
    // Kinds whose "CCW (default)" mode draws the faces of negative value.
    const bool negativeFront = kind == ViewFront || kind == ViewRight || kind == ViewBottom || kind == View3D;
    const bool drawnInCCW = negativeFront ? a < 0 : a > 0;
    return mode == TCullMode::CCW ? drawnInCCW : !drawnInCCW;
}

TBandBox::TBandBox(int kind, Vector3 start, Vector3 finish)
{
    switch (kind) {
    case ViewFront:
    case ViewBack: axisU_ = 0, axisV_ = 1; break;
    case ViewLeft:
    case ViewRight: axisU_ = 1, axisV_ = 2; break;
    case ViewTop:
    case ViewBottom: axisU_ = 0, axisV_ = 2; break;
    default: return;
    }
    selects_ = true;
    const float u0 = Axis(start, axisU_), u1 = Axis(finish, axisU_);
    const float v0 = Axis(start, axisV_), v1 = Axis(finish, axisV_);
    lo_[0] = std::fmin(u0, u1), hi_[0] = std::fmax(u0, u1);
    lo_[1] = std::fmin(v0, v1), hi_[1] = std::fmax(v0, v1);
}

}  // namespace mc
