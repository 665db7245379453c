#include "Core/Misc.h"

#include <cmath>

namespace mc {

double Power(double x, double y)
{
    if (x == 0) return 0;
    return std::exp(y * std::log(x));
}

float HeadingAngle(float x, float /*y*/, float z)
{
    constexpr float kPi = 3.14159265358979f;
    float angle = std::fabs(z) < 0.000001f ? 1.5707964f : std::atan(x / z);
    if (z < 0)
        angle += kPi;
    else if (x < 0)
        angle += 2 * kPi;
    return angle;
}

std::string Unscramble(std::string_view stored)
{
    std::string out(stored);
    for (size_t i = 0; i < out.size(); ++i) out[i] = static_cast<char>(static_cast<unsigned char>(out[i]) - (i + 1));
    return out;
}

}  // namespace mc
