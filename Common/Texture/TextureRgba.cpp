#include "Texture/TextureRgba.h"

#include "Texture/PixelImage.h"
#include "Texture/Texture.h"
#include "Texture/TextureTypes.h"

namespace mc {

namespace {

inline uint16_t LoadU16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }

inline void Store(uint8_t* p, TRgba c)
{
    p[0] = c.R, p[1] = c.G, p[2] = c.B, p[3] = c.A;
}

TRgba Rgb565(uint16_t v) { return {Expand5(v >> 11), Expand6(v >> 5), Expand5(v), 255}; }

template <class TDecode>
void DecodeRows16(const TMipMap& level, TRgbaImage& out, TDecode decode)
{
    const uint8_t* src = level.Data.data();
    for (int y = 0; y < level.Height; ++y) {
        uint8_t* dst = out.Row(y);
        for (int x = 0; x < level.Width; ++x, src += 2, dst += 4) Store(dst, decode(LoadU16(src)));
    }
}

}  // namespace

TRgbaImage::TRgbaImage(int width, int height)
    : width_(width > 0 && height > 0 ? width : 0), height_(width > 0 && height > 0 ? height : 0),
      pixels_(size_t(width_) * size_t(height_) * 4)
{
}

bool TRgbaImage::Opaque() const
{
    for (size_t i = 3; i < pixels_.size(); i += 4)
        if (pixels_[i] != 255) return false;
    return true;
}

TRgba RgbaOfArgb4444(uint16_t p) { return {Expand4(p >> 8), Expand4(p >> 4), Expand4(p), Expand4(p >> 12)}; }

TRgba RgbaOfArgb1555(uint16_t p)
{
    return {Expand5(p >> 10), Expand5(p >> 5), Expand5(p), uint8_t(p & 0x8000 ? 255 : 0)};
}

TRgba RgbaOfAl88(uint16_t p)
{
    const uint8_t g = uint8_t(p);
    return {g, g, g, uint8_t(p >> 8)};
}

void Dxt1BlockPalette(uint16_t c0, uint16_t c1, TRgba colors[4])
{
    const TRgba a = Rgb565(c0), b = Rgb565(c1);
    colors[0] = a;
    colors[1] = b;
    if (c0 > c1) {
        colors[2] = {uint8_t((2 * a.R + b.R) / 3), uint8_t((2 * a.G + b.G) / 3), uint8_t((2 * a.B + b.B) / 3), 255};
        colors[3] = {uint8_t((a.R + 2 * b.R) / 3), uint8_t((a.G + 2 * b.G) / 3), uint8_t((a.B + 2 * b.B) / 3), 255};
    } else {
        colors[2] = {uint8_t((a.R + b.R) / 2), uint8_t((a.G + b.G) / 2), uint8_t((a.B + b.B) / 2), 255};
        colors[3] = {0, 0, 0, 0};
    }
}

void DecodeDxt1ToRgba(const uint8_t* blocks, int width, int height, uint8_t* out)
{
    if (width <= 0 || height <= 0) return;
    const int blocksWide = (width + 3) / 4, blocksHigh = (height + 3) / 4;
    const size_t stride = size_t(width) * 4;
    TRgba colors[4];
    for (int by = 0; by < blocksHigh; ++by) {
        const int rows = height - by * 4 < 4 ? height - by * 4 : 4;
        for (int bx = 0; bx < blocksWide; ++bx, blocks += 8) {
            Dxt1BlockPalette(LoadU16(blocks), LoadU16(blocks + 2), colors);
            const int x0 = bx * 4;
            const int cols = width - x0 < 4 ? width - x0 : 4;
            uint8_t* dst = out + size_t(by) * 4 * stride + size_t(x0) * 4;
            for (int r = 0; r < rows; ++r, dst += stride) {
                const unsigned bits = blocks[4 + r];
                for (int c = 0; c < cols; ++c) Store(dst + 4 * c, colors[(bits >> (2 * c)) & 3]);
            }
        }
    }
}

bool DecodeLevelToRgba(const TTexture& texture, const TMipMap& level, TRgbaImage& out)
{
    const int w = level.Width, h = level.Height;
    out = TRgbaImage();
    if (w <= 0 || h <= 0) return false;
    const size_t pixels = size_t(w) * size_t(h);

    if (level.MipType == kTextureTypeJPEG || (level.Data.empty() && level.ColorImage)) {
        // A picture keeps only its decoded colours.
        const TPixelImage* color = level.ColorImage.get();
        if (!color || color->Width() != w || color->Height() != h) return false;
        out = TRgbaImage(w, h);
        for (int y = 0; y < h; ++y) {
            const uint32_t* src = color->Row(y);
            uint8_t* dst = out.Row(y);
            for (int x = 0; x < w; ++x, dst += 4)
                Store(dst, {uint8_t(src[x] >> 16), uint8_t(src[x] >> 8), uint8_t(src[x]), 255});
        }
        return true;
    }

    switch (level.MipType) {
    case kTextureTypeDXT1:
        if (int64_t(level.Data.size()) != Dxt1DataSize(w, h)) return false;
        out = TRgbaImage(w, h);
        DecodeDxt1ToRgba(level.Data.data(), w, h, out.Bytes());
        return true;
    case kTextureTypeARGB4444:
    case kTextureTypeARGB1555:
    case kTextureTypeAL88:
        if (level.Data.size() != pixels * 2) return false;
        out = TRgbaImage(w, h);
        if (level.MipType == kTextureTypeARGB4444)
            DecodeRows16(level, out, RgbaOfArgb4444);
        else if (level.MipType == kTextureTypeARGB1555)
            DecodeRows16(level, out, RgbaOfArgb1555);
        else
            DecodeRows16(level, out, RgbaOfAl88);
        return true;
    case kTextureTypeARGB8888: {
        if (level.Data.size() != pixels * 4) return false;
        out = TRgbaImage(w, h);
        const uint8_t* src = level.Data.data();
        uint8_t* dst = out.Bytes();
        for (size_t i = 0; i < pixels; ++i, src += 4, dst += 4) Store(dst, {src[2], src[1], src[0], src[3]});
        return true;
    }
    case kTextureTypePAL8: {
        if (level.Data.size() != pixels) return false;
        out = TRgbaImage(w, h);
        uint8_t* dst = out.Bytes();
        for (size_t i = 0; i < pixels; ++i, dst += 4) {
            const int index = level.Data[i];
            // An index outside the palette shows black, as in the windows.
            const uint32_t c = index < texture.PaletteCount && size_t(index) < texture.Palette.size()
                                   ? texture.Palette[size_t(index)]
                                   : 0xFF000000u;
            Store(dst, {uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c), uint8_t(c >> 24)});
        }
        return true;
    }
    default:
        return false;
    }
}

}  // namespace mc
