// Texture surfaces kept as layers of 2D array textures: one array for every
// pixel layout, size and level count in use. Textures that share an array
// are bound together, so faces of different textures can share a draw call
// when each vertex names its layer. Needs a current GL context for every
// call, the one it was made in.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "TextureDevice.h"

namespace mc {

// How a pixel layout is stored and uploaded (GL enums as plain numbers).
struct TGLPixelFormat {
    bool Compressed = false;
    uint32_t InternalFormat = 0, Format = 0, Type = 0;
    int BlockBytes = 0;     // compressed: bytes of one 4 x 4 block
    int BytesPerPixel = 0;  // uncompressed: bytes of one pixel in the level data
    bool LuminanceAlpha = false;  // two channels read as luminance (red, green, blue) and alpha
};

TGLPixelFormat GLPixelFormatFor(TPixelLayout layout);
// Bytes of one level of one layer, as the level data holds them.
int64_t GLLevelBytes(const TGLPixelFormat& format, int width, int height);

// What a layer is: the arrays are made per shape.
struct TLayerShape {
    TPixelLayout Layout = TPixelLayout::None;
    int32_t Width = 0, Height = 0;
    int32_t Levels = 0;
    friend bool operator==(const TLayerShape&, const TLayerShape&) = default;
};

class TGLTextureArrays {
public:
    TGLTextureArrays();
    ~TGLTextureArrays();
    TGLTextureArrays(const TGLTextureArrays&) = delete;
    TGLTextureArrays& operator=(const TGLTextureArrays&) = delete;

    // A free layer of the shape: in the shape's array, grown (its layers
    // kept) when full, or in a new array; 0 when none can be made. The layer's
    // levels hold nothing until uploaded.
    uint32_t Allocate(const TLayerShape& shape);
    // Frees the layer; an array left with no layer in use is deleted.
    void Free(uint32_t surface);
    // The array and layer of a surface ({} for an unknown one). The array of a
    // surface keeps its name while the surface lives, even when it grows.
    TLayerPlace PlaceOf(uint32_t surface) const;
    const TLayerShape* ShapeOf(uint32_t surface) const;

    // Uploads one level of a surface's layer: the data must hold
    // GLLevelBytes of the level's size. False on a GL error.
    bool UploadLevel(uint32_t surface, int level, const void* data);

    int ArrayCount() const;
    // The layers an array has room for (used or not).
    int Capacity(uint32_t texture) const;

private:
    struct TArray;
    struct TSlot {
        TArray* Array = nullptr;
        int32_t Layer = 0;
    };

    const TSlot* SlotOf(uint32_t surface) const;  // none for an unknown surface
    TArray* ArrayWithRoom(const TLayerShape& shape);
    bool Grow(TArray& array, int capacity);

    std::vector<std::unique_ptr<TArray>> arrays_;
    std::vector<TSlot> slots_;        // surface n is slots_[n - 1]
    std::vector<uint32_t> freeSlots_;
    int maxLayers_ = 256;
};

}  // namespace mc
