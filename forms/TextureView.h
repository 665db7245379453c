// The geometry of the texture window's picture: where a texture is drawn in
// the 256 x 256 box and where a texture coordinate lands.
#pragma once

#include <QPoint>
#include <QRect>

namespace mc {

inline constexpr int kTextureBoxSize = 256;

enum class TTextureFit { Original = 0, Fit = 1, Stretch = 2 };

// The destination rectangle of a texture of level-0 size w x h: "Original"
// (0, 0, w, h); "Fit" the whole box for a square, else the long side 256 and
// the other scaled by integer division; "Stretch " the whole box. Without a
// texture (w or h not positive) the whole box.
QRect TextureDestination(TTextureFit fit, int width, int height);

// (D.left + round(D.width x u - 0.5), D.top + round(D.height x v - 0.5)),
// rounding halves to even.
QPoint MapTextureUV(const QRect& destination, float u, float v);

}  // namespace mc
