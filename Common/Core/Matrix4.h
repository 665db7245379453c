// 4 x 4 single-precision matrix of the left-handed 3D maths: points are row
// vectors multiplied from the left, the translation sits in the fourth row.
#pragma once

#include <cmath>

#include "Core/Vector3.h"

namespace mc {

struct TMatrix4 {
    float m[4][4] = {};

    static TMatrix4 Identity()
    {
        TMatrix4 r;
        for (int i = 0; i < 4; ++i) r.m[i][i] = 1;
        return r;
    }

    static TMatrix4 Translation(Vector3 t)
    {
        TMatrix4 r = Identity();
        r.SetTranslation(t);
        return r;
    }

    Vector3 Translation() const { return {m[3][0], m[3][1], m[3][2]}; }
    void SetTranslation(Vector3 t)
    {
        m[3][0] = t.x;
        m[3][1] = t.y;
        m[3][2] = t.z;
    }

    // p' = x·row1 + y·row2 + z·row3 + row4 (the fourth column is ignored).
    Vector3 TransformPoint(Vector3 p) const
    {
        return {p.x * m[0][0] + p.y * m[1][0] + p.z * m[2][0] + m[3][0],
                p.x * m[0][1] + p.y * m[1][1] + p.z * m[2][1] + m[3][1],
                p.x * m[0][2] + p.y * m[1][2] + p.z * m[2][2] + m[3][2]};
    }

    // The 3 x 3 part only: directions and normals.
    Vector3 TransformVector(Vector3 v) const
    {
        return {v.x * m[0][0] + v.y * m[1][0] + v.z * m[2][0], v.x * m[0][1] + v.y * m[1][1] + v.z * m[2][1],
                v.x * m[0][2] + v.y * m[1][2] + v.z * m[2][2]};
    }

    friend TMatrix4 operator*(const TMatrix4& a, const TMatrix4& b)
    {
        TMatrix4 r;
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 4; ++j)
                r.m[i][j] = a.m[i][0] * b.m[0][j] + a.m[i][1] * b.m[1][j] + a.m[i][2] * b.m[2][j] +
                            a.m[i][3] * b.m[3][j];
        return r;
    }

    friend bool operator==(const TMatrix4& a, const TMatrix4& b)
    {
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 4; ++j)
                if (a.m[i][j] != b.m[i][j]) return false;
        return true;
    }
};

static_assert(sizeof(TMatrix4) == 64, "sixteen packed floats, row by row");

// Rotation by angle (radians) about a unit axis; a positive angle about +X
// turns +Z towards +Y.
inline TMatrix4 RotationAboutAxis(Vector3 axis, float angle)
{
    const float c = std::cos(angle), s = std::sin(angle), t = 1 - c;
    const float x = axis.x, y = axis.y, z = axis.z;
    TMatrix4 r = TMatrix4::Identity();
    r.m[0][0] = x * x * t + c;
    r.m[0][1] = x * y * t - z * s;
    r.m[0][2] = x * z * t + y * s;
    r.m[1][0] = y * x * t + z * s;
    r.m[1][1] = y * y * t + c;
    r.m[1][2] = y * z * t - x * s;
    r.m[2][0] = z * x * t - y * s;
    r.m[2][1] = z * y * t + x * s;
    r.m[2][2] = z * z * t + c;
    return r;
}

// Rotation about +Y; a positive angle turns +Z towards +X.
inline TMatrix4 RotationAboutY(float angle)
{
    const float c = std::cos(angle), s = std::sin(angle);
    TMatrix4 r = TMatrix4::Identity();
    r.m[0][0] = c;
    r.m[0][2] = -s;
    r.m[2][0] = s;
    r.m[2][2] = c;
    return r;
}

}  // namespace mc
