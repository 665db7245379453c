// Exact pictures of texture levels, for files a modder edits: every stored
// channel widened to 8 bits without loss (a 5-bit 31 and a 4-bit 15 become
// 255), DXT1 colours interpolated at 8 bits and its transparent colour kept
// as alpha 0. The windows show the display images of TextureConversions.h
// instead, which keep the device's 16-bit steps.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace mc {

class TMipMap;
class TTexture;

struct TRgba {
    uint8_t R = 0, G = 0, B = 0, A = 0;
    friend bool operator==(const TRgba&, const TRgba&) = default;
};

// A picture of 8-bit red, green, blue and alpha, in this byte order per
// pixel, rows top to bottom without gaps.
class TRgbaImage {
public:
    TRgbaImage() = default;
    TRgbaImage(int width, int height);

    int Width() const { return width_; }
    int Height() const { return height_; }
    bool Empty() const { return width_ == 0; }
    const uint8_t* Bytes() const { return pixels_.data(); }
    uint8_t* Bytes() { return pixels_.data(); }
    const uint8_t* Row(int y) const { return pixels_.data() + size_t(y) * size_t(width_) * 4; }
    uint8_t* Row(int y) { return pixels_.data() + size_t(y) * size_t(width_) * 4; }
    TRgba Pixel(int x, int y) const
    {
        const uint8_t* p = Row(y) + size_t(x) * 4;
        return {p[0], p[1], p[2], p[3]};
    }
    void SetPixel(int x, int y, TRgba c)
    {
        uint8_t* p = Row(y) + size_t(x) * 4;
        p[0] = c.R, p[1] = c.G, p[2] = c.B, p[3] = c.A;
    }
    // True when every pixel's alpha is 255.
    bool Opaque() const;

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<uint8_t> pixels_;
};

// Channel widening: the high bits repeated into the low ones.
constexpr uint8_t Expand4(uint32_t v) { return uint8_t((v & 0xF) * 17); }
constexpr uint8_t Expand5(uint32_t v) { return uint8_t(((v & 0x1F) << 3) | ((v & 0x1F) >> 2)); }
constexpr uint8_t Expand6(uint32_t v) { return uint8_t(((v & 0x3F) << 2) | ((v & 0x3F) >> 4)); }

// One stored pixel of each 16-bit format.
TRgba RgbaOfArgb4444(uint16_t p);
TRgba RgbaOfArgb1555(uint16_t p);  // alpha 0 or 255 from bit 15
TRgba RgbaOfAl88(uint16_t p);      // grey from bits 0-7, alpha from bits 8-15

// The four colours of a DXT1 block from its two stored RGB565 colours:
// colour 0 above colour 1 (as numbers) gives two thirds between them,
// otherwise the middle and transparent black.
void Dxt1BlockPalette(uint16_t c0, uint16_t c1, TRgba colors[4]);

// DXT1 blocks of a width x height level (Dxt1DataSize bytes) to RGBA pixels
// (width x height x 4 bytes, rows top to bottom).
void DecodeDxt1ToRgba(const uint8_t* blocks, int width, int height, uint8_t* out);

// The exact picture of a level loaded with TextureLoad::AsStored (its data
// as read), or of a JPEG picture's level (its colour image, opaque). False
// for a level whose data does not match its size and type, or a type
// without pixels (ARGB8888 is taken too, for levels converted elsewhere).
bool DecodeLevelToRgba(const TTexture& texture, const TMipMap& level, TRgbaImage& out);

}  // namespace mc
