// A 32-bit picture in memory: rows top to bottom without gaps, each pixel the
// bytes blue, green, red, 0xFF (0xFFRRGGBB read as a little-endian word), so
// that a GUI can wrap the buffer as an opaque 32-bit RGB image without
// copying it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "Texture/PixelBuffers.h"

namespace mc {

// Gives a picture's buffer back when the picture goes.
struct TPixelBufferRelease {
    size_t capacity = 0;
    void operator()(uint32_t* p) const { ReleasePixelBuffer(p, capacity); }
};

class TPixelImage {
public:
    TPixelImage() = default;
    // Uninitialised pixels: the maker writes every one.
    TPixelImage(int width, int height)
        : width_(width > 0 && height > 0 ? width : 0), height_(width > 0 && height > 0 ? height : 0)
    {
        size_t capacity = 0;
        pixels_.reset(AcquirePixelBuffer(size_t(width_) * size_t(height_), capacity));
        pixels_.get_deleter().capacity = capacity;
    }

    int Width() const { return width_; }
    int Height() const { return height_; }
    bool Empty() const { return width_ == 0; }
    size_t Stride() const { return size_t(width_) * 4; }  // bytes per row
    size_t ByteSize() const { return Stride() * size_t(height_); }

    uint32_t* Row(int y) { return pixels_.get() + size_t(y) * size_t(width_); }
    const uint32_t* Row(int y) const { return pixels_.get() + size_t(y) * size_t(width_); }
    uint32_t Pixel(int x, int y) const { return Row(y)[x]; }
    void SetPixel(int x, int y, uint32_t color) { Row(y)[x] = color; }
    const uint8_t* Bits() const { return reinterpret_cast<const uint8_t*>(pixels_.get()); }
    uint8_t* Bits() { return reinterpret_cast<uint8_t*>(pixels_.get()); }

    void Fill(uint32_t color)
    {
        const size_t n = size_t(width_) * size_t(height_);
        for (size_t i = 0; i < n; ++i) pixels_[i] = color;
    }

private:
    int width_ = 0;
    int height_ = 0;
    std::unique_ptr<uint32_t[], TPixelBufferRelease> pixels_;
};

// A pixel of blue, green and red; the fourth byte is always 0xFF.
constexpr uint32_t PixelBGR(uint32_t blue, uint32_t green, uint32_t red)
{
    return 0xFF000000u | (red << 16) | (green << 8) | blue;
}

// A grey pixel: the value in all three colour bytes.
constexpr uint32_t PixelGrey(uint32_t value) { return 0xFF000000u | value * 0x010101u; }

}  // namespace mc
