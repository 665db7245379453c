#include "Texture/TextureConversions.h"

#include <memory>

#include "Texture/PixelImage.h"
#include "Texture/Texture.h"
#include "Texture/TextureTypes.h"

namespace mc {

namespace {

inline uint16_t LoadU16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }

inline void StoreU16(uint8_t* p, uint16_t v)
{
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}

// The four ARGB1555 colours of a DXT1 block.
void BlockColors(uint16_t c0, uint16_t c1, uint16_t colors[4])
{
    const uint32_t b0 = c0 & 0x1F, g0 = c0 & 0x7E0, r0 = c0 & 0xF800;
    const uint32_t b1 = c1 & 0x1F, g1 = c1 & 0x7E0, r1 = c1 & 0xF800;
    // The stored colours lose the lowest green bit.
    colors[0] = uint16_t((c0 & 0x1F) | ((c0 & 0xFFC0) >> 1) | 0x8000);
    colors[1] = uint16_t((c1 & 0x1F) | ((c1 & 0xFFC0) >> 1) | 0x8000);
    // Green and red results are masked to their five upper bits, so that no
    // bit of a division remainder reaches the next channel.
    auto pack = [](uint32_t b, uint32_t g, uint32_t r) {
        return uint16_t(b | ((g & 0x7C0) >> 1) | ((r & 0xF800) >> 1) | 0x8000);
    };
    if (c0 > c1) {
        colors[2] = pack((2 * b0 + b1) / 3, (2 * g0 + g1) / 3, (2 * r0 + r1) / 3);
        colors[3] = pack((2 * b1 + b0) / 3, (2 * g1 + g0) / 3, (2 * r1 + r0) / 3);
    } else {
        colors[2] = pack((b0 + b1) / 2, (g0 + g1) / 2, (r0 + r1) / 2);
        colors[3] = 0;
    }
}

// Source row of image row y.
inline int SourceRow(int y, int height, bool rowsAsStored) { return rowsAsStored ? height - 1 - y : y; }

template <class TConvert>
void ConvertRows16(const TMipMap& level, bool rowsAsStored, TPixelImage& color, TPixelImage& alpha, TConvert convert)
{
    const int w = level.Width, h = level.Height;
    for (int y = 0; y < h; ++y) {
        const uint8_t* src = level.Data.data() + size_t(SourceRow(y, h, rowsAsStored)) * size_t(w) * 2;
        uint32_t* c = color.Row(y);
        uint32_t* a = alpha.Row(y);
        for (int x = 0; x < w; ++x) convert(LoadU16(src + 2 * size_t(x)), c[x], a[x]);
    }
}

}  // namespace

uint32_t ColorOfArgb4444(uint16_t p) { return PixelBGR((p & 0xFu) * 16, p & 0xF0u, (p & 0xF00u) >> 4); }

uint32_t AlphaOfArgb4444(uint16_t p)
{
    const uint32_t a = p & 0xF000u;
    return PixelGrey(a < 0xF000u ? a >> 8 : 255);
}

uint32_t ColorOfArgb1555(uint16_t p)
{
    // Equal to PixelBGR((p & 0x1F) * 8, (p & 0x3E0) >> 2, (p & 0x7C00) >> 7).
    return 0xFF000000u | ((p & 0x1Fu) << 3) | ((p & 0x3E0u) << 6) | ((p & 0x7C00u) << 9);
}

uint32_t AlphaOfArgb1555(uint16_t p) { return 0xFF000000u | (0u - uint32_t(p >> 15)); }

void DecodeDxt1ToArgb1555(const uint8_t* blocks, int width, int height, uint8_t* out)
{
    if (width <= 0 || height <= 0) return;
    const int blocksWide = (width + 3) / 4, blocksHigh = (height + 3) / 4;
    uint16_t colors[4];
    for (int by = 0; by < blocksHigh; ++by) {
        const int rows = height - by * 4 < 4 ? height - by * 4 : 4;
        for (int bx = 0; bx < blocksWide; ++bx, blocks += 8) {
            BlockColors(LoadU16(blocks), LoadU16(blocks + 2), colors);
            const int x0 = bx * 4;
            uint8_t* dst = out + (size_t(by) * 4 * size_t(width) + size_t(x0)) * 2;
            const size_t stride = size_t(width) * 2;
            if (x0 + 4 <= width) {
                for (int r = 0; r < rows; ++r, dst += stride) {
                    const unsigned bits = blocks[4 + r];
                    StoreU16(dst, colors[bits & 3]);
                    StoreU16(dst + 2, colors[(bits >> 2) & 3]);
                    StoreU16(dst + 4, colors[(bits >> 4) & 3]);
                    StoreU16(dst + 6, colors[bits >> 6]);
                }
            } else {
                // The last block of a row less than 4 pixels wide.
                const int cols = width - x0;
                for (int r = 0; r < rows; ++r, dst += stride) {
                    const unsigned bits = blocks[4 + r];
                    for (int c = 0; c < cols; ++c) StoreU16(dst + 2 * c, colors[(bits >> (2 * c)) & 3]);
                }
            }
        }
    }
}

void DecodeDxt1ToDisplayImages(const uint8_t* blocks, int width, int height, bool rowsAsStored, TPixelImage& color,
                               TPixelImage& alpha)
{
    if (width <= 0 || height <= 0) return;
    const int blocksWide = (width + 3) / 4, blocksHigh = (height + 3) / 4;
    uint16_t argb[4];
    uint32_t c[4], a[4];
    for (int by = 0; by < blocksHigh; ++by) {
        const int rows = height - by * 4 < 4 ? height - by * 4 : 4;
        uint32_t* colorRows[4];
        uint32_t* alphaRows[4];
        for (int r = 0; r < rows; ++r) {
            const int y = SourceRow(by * 4 + r, height, rowsAsStored);
            colorRows[r] = color.Row(y);
            alphaRows[r] = alpha.Row(y);
        }
        for (int bx = 0; bx < blocksWide; ++bx, blocks += 8) {
            // The block's four colours once, then only lookups per pixel.
            BlockColors(LoadU16(blocks), LoadU16(blocks + 2), argb);
            for (int k = 0; k < 4; ++k) {
                c[k] = ColorOfArgb1555(argb[k]);
                a[k] = AlphaOfArgb1555(argb[k]);
            }
            const int x0 = bx * 4;
            const int cols = width - x0 < 4 ? width - x0 : 4;
            for (int r = 0; r < rows; ++r) {
                const unsigned bits = blocks[4 + r];
                uint32_t* cr = colorRows[r] + x0;
                uint32_t* ar = alphaRows[r] + x0;
                if (cols == 4) {
                    const unsigned i0 = bits & 3, i1 = (bits >> 2) & 3, i2 = (bits >> 4) & 3, i3 = bits >> 6;
                    cr[0] = c[i0], cr[1] = c[i1], cr[2] = c[i2], cr[3] = c[i3];
                    ar[0] = a[i0], ar[1] = a[i1], ar[2] = a[i2], ar[3] = a[i3];
                } else {
                    for (int k = 0; k < cols; ++k) {
                        const unsigned i = (bits >> (2 * k)) & 3;
                        cr[k] = c[i];
                        ar[k] = a[i];
                    }
                }
            }
        }
    }
}

void MakeDxt1DisplayImages(TMipMap& level, bool rowsAsStored)
{
    const int w = level.Width, h = level.Height;
    level.MipType = kTextureTypeARGB1555;
    if (w <= 0 || h <= 0 || level.Data.size() < size_t(Dxt1DataSize(w, h))) return;
    auto color = std::make_shared<TPixelImage>(w, h);
    auto alpha = std::make_shared<TPixelImage>(w, h);
    DecodeDxt1ToDisplayImages(level.Data.data(), w, h, rowsAsStored, *color, *alpha);
    level.ColorImage = std::move(color);
    level.AlphaImage = std::move(alpha);
}

void ConvertDxt1ToArgb1555(TMipMap& level)
{
    const size_t pixels = size_t(level.Width > 0 ? level.Width : 0) * size_t(level.Height > 0 ? level.Height : 0);
    std::vector<uint8_t> data(pixels * 2);
    if (pixels) DecodeDxt1ToArgb1555(level.Data.data(), level.Width, level.Height, data.data());
    level.Data = std::move(data);
    level.MipType = kTextureTypeARGB1555;
}

void ConvertAl88ToArgb8888(TMipMap& level)
{
    const size_t pixels = level.Data.size() / 2;
    std::vector<uint8_t> data(pixels * 4);
    for (size_t i = 0; i < pixels; ++i) {
        const uint8_t grey = level.Data[2 * i], alpha = level.Data[2 * i + 1];
        data[4 * i] = grey;
        data[4 * i + 1] = grey;
        data[4 * i + 2] = grey;
        data[4 * i + 3] = alpha;
    }
    level.Data = std::move(data);
    level.MipType = kTextureTypeARGB8888;
}

void MakeDisplayImages(TMipMap& level, const TTexture& texture, bool rowsAsStored)
{
    const uint16_t type = CanonicalTextureType(level.MipType);
    const int w = level.Width, h = level.Height;
    const int bpp = TextureBytesPerPixel(type);
    if (type != kTextureTypeARGB4444 && type != kTextureTypeARGB1555 && type != kTextureTypeAL88 &&
        type != kTextureTypePAL8)
        return;
    if (w <= 0 || h <= 0 || level.Data.size() < size_t(w) * size_t(h) * size_t(bpp)) return;

    auto color = std::make_shared<TPixelImage>(w, h);
    auto alpha = std::make_shared<TPixelImage>(w, h);
    switch (type) {
    case kTextureTypeARGB4444:
        ConvertRows16(level, rowsAsStored, *color, *alpha, [](uint16_t p, uint32_t& c, uint32_t& a) {
            c = ColorOfArgb4444(p);
            a = AlphaOfArgb4444(p);
        });
        break;
    case kTextureTypeARGB1555:
        ConvertRows16(level, rowsAsStored, *color, *alpha, [](uint16_t p, uint32_t& c, uint32_t& a) {
            c = ColorOfArgb1555(p);
            a = AlphaOfArgb1555(p);
        });
        break;
    case kTextureTypeAL88:
        ConvertRows16(level, rowsAsStored, *color, *alpha, [](uint16_t p, uint32_t& c, uint32_t& a) {
            c = PixelGrey(p & 0xFFu);
            a = PixelGrey(p >> 8);
        });
        break;
    case kTextureTypePAL8:
        for (int y = 0; y < h; ++y) {
            const int row = SourceRow(y, h, rowsAsStored);
            uint32_t* c = color->Row(y);
            uint32_t* a = alpha->Row(y);
            for (int x = 0; x < w; ++x) {
                // An index outside the palette shows black; its alpha is opaque.
                const uint32_t argb = texture.PaletteColor(level, row, x);
                c[x] = 0xFF000000u | (argb & 0xFFFFFFu);
                a[x] = PixelGrey(argb ? argb >> 24 : 255);
            }
        }
        break;
    }
    level.ColorImage = std::move(color);
    level.AlphaImage = std::move(alpha);
}

}  // namespace mc
