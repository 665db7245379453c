// Three single-precision floats: every position, normal and direction.
#pragma once

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>

namespace mc {

struct Vector3 {
    float x = 0, y = 0, z = 0;

    friend Vector3 operator+(Vector3 a, Vector3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
    friend Vector3 operator-(Vector3 a, Vector3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
    friend Vector3 operator*(Vector3 a, float k) { return {a.x * k, a.y * k, a.z * k}; }
    friend Vector3 operator/(Vector3 a, float k) { return {a.x / k, a.y / k, a.z / k}; }
    friend Vector3 operator-(Vector3 a) { return {-a.x, -a.y, -a.z}; }
    friend bool operator==(Vector3 a, Vector3 b) { return a.x == b.x && a.y == b.y && a.z == b.z; }
};

inline float Dot(Vector3 a, Vector3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

inline Vector3 Cross(Vector3 p, Vector3 q)
{
    return {p.y * q.z - p.z * q.y, p.z * q.x - p.x * q.z, p.x * q.y - p.y * q.x};
}

inline float Length(Vector3 a) { return std::sqrt(Dot(a, a)); }

// A zero vector stays zero.
inline Vector3 Normalize(Vector3 a)
{
    const float len = Length(a);
    return len > 0 ? a / len : a;
}

// Component-wise bounds.
inline Vector3 Min(Vector3 a, Vector3 b) { return {std::min(a.x, b.x), std::min(a.y, b.y), std::min(a.z, b.z)}; }
inline Vector3 Max(Vector3 a, Vector3 b) { return {std::max(a.x, b.x), std::max(a.y, b.y), std::max(a.z, b.z)}; }

// Neither infinite nor not-a-number, judged by the exponent bits alone (the
// same whatever the compiler's floating-point options).
inline bool IsFinite(float f) { return (std::bit_cast<uint32_t>(f) & 0x7F800000u) != 0x7F800000u; }

static_assert(sizeof(Vector3) == 12, "stored as three packed floats");

}  // namespace mc
