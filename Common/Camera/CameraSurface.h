// What the camera needs of a 3D drawing surface: its size and a place to send
// the three transforms. The 3D windows implement it over their device.
#pragma once

#include "Core/Matrix4.h"

namespace mc {

struct TViewport {
    int X = 0, Y = 0, Width = 0, Height = 0;
    float MinZ = 0, MaxZ = 1;
    friend bool operator==(const TViewport&, const TViewport&) = default;
};

class ICameraSurface {
public:
    virtual ~ICameraSurface() = default;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual void SetViewport(const TViewport& viewport) = 0;
    virtual void SetProjection(const TMatrix4& projection) = 0;
    virtual void SetView(const TMatrix4& view) = 0;
};

}  // namespace mc
