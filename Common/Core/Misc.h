// Small colour, angle and text functions.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "Core/Vector3.h"

namespace mc {

inline void NegateVector(Vector3& v) { v = -v; }

// The three colour bytes inverted, the top byte kept.
inline uint32_t InvertColor(uint32_t color) { return color ^ 0x00FFFFFFu; }

// Exchanges the lowest and the third byte and clears the top byte.
inline uint32_t SwapRedBlue(uint32_t color)
{
    return ((color & 0xFFu) << 16) | (color & 0xFF00u) | ((color >> 16) & 0xFFu);
}

// x to the power y; 0 when x is 0.
double Power(double x, double y);

// Heading of a direction in radians, 0 .. 2π, measured in the x-z plane.
float HeadingAngle(float x, float y, float z);

// Texts kept in the program in scrambled form store each character plus its
// 1-based position.
std::string Unscramble(std::string_view stored);

}  // namespace mc
