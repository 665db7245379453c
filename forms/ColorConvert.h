// Colours of the windows: the swatch colour word keeps red in its lowest
// byte (0x00BBGGRR), as the model's colour functions take it; Qt's QRgb
// keeps blue there.
#pragma once

#include <QColor>
#include <cstdint>

namespace mc {

inline uint32_t ToColorWord(QRgb c)
{
    return static_cast<uint32_t>(qRed(c)) | static_cast<uint32_t>(qGreen(c)) << 8 |
           static_cast<uint32_t>(qBlue(c)) << 16;
}

inline QRgb FromColorWord(uint32_t c) { return qRgb(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

// The grey (a, a, a) that shows an alpha value.
inline QRgb AlphaGrey(int a) { return qRgb(a, a, a); }

}  // namespace mc
