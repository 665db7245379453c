// A framebuffer of its own to draw pictures into without a window: colour,
// depth and stencil, optionally multisampled, read back as a picture.
#pragma once

#include <cstdint>
#include <string>

#include "Texture/PixelImage.h"

namespace mc {

class TOffscreenTarget {
public:
    TOffscreenTarget() = default;
    ~TOffscreenTarget();
    TOffscreenTarget(const TOffscreenTarget&) = delete;
    TOffscreenTarget& operator=(const TOffscreenTarget&) = delete;

    // Makes the buffers (samples 0: not multisampled); false with the reason.
    bool Create(int width, int height, int samples, std::string* error);
    // Binds it for drawing and sets the viewport to its size.
    void Bind();
    // The picture drawn, top row first (multisampled pictures resolved first).
    TPixelImage Read();

    int Width() const { return width_; }
    int Height() const { return height_; }

private:
    void Free();
    int width_ = 0, height_ = 0, samples_ = 0;
    uint32_t framebuffer_ = 0, colour_ = 0, depth_ = 0;
    uint32_t resolveFramebuffer_ = 0, resolveColour_ = 0;
};

}  // namespace mc
