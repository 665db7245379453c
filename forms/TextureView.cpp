#include "TextureView.h"

#include <cfenv>
#include <cmath>

namespace mc {

QRect TextureDestination(TTextureFit fit, int width, int height)
{
    const QRect box(0, 0, kTextureBoxSize, kTextureBoxSize);
    if (width <= 0 || height <= 0) return box;
    switch (fit) {
    case TTextureFit::Original: return QRect(0, 0, width, height);
    case TTextureFit::Fit:
        if (width == height) return box;
        if (width > height) return QRect(0, 0, kTextureBoxSize, kTextureBoxSize * height / width);
        return QRect(0, 0, kTextureBoxSize * width / height, kTextureBoxSize);
    case TTextureFit::Stretch: break;
    }
    return box;
}

namespace {
// Round to nearest, halves to even (the default rounding mode).
int RoundEven(double x)
{
    const double r = std::nearbyint(x);
    if (!(std::fabs(r) < 1e9)) return x < 0 ? -1000000000 : 1000000000;
    return static_cast<int>(r);
}
}  // namespace

QPoint MapTextureUV(const QRect& d, float u, float v)
{
    return {d.left() + RoundEven(static_cast<double>(d.width()) * u - 0.5),
            d.top() + RoundEven(static_cast<double>(d.height()) * v - 0.5)};
}

}  // namespace mc
