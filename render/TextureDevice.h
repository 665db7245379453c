// What a 3D device does with texture surfaces. The GL device implements it
// over texture objects; tests implement it to watch the manager's calls.
#pragma once

#include <cstdint>

namespace mc {

class TTexture;

// How a texture's levels are laid out on the device.
enum class TPixelLayout : uint8_t {
    None,
    Dxt1,
    Dxt2,
    Dxt3,
    Dxt4,
    Dxt5,
    LuminanceAlpha8,  // AL88: luminance byte, alpha byte
    Bgra8,            // ARGB8888 words: blue, green, red, alpha bytes
    Argb1555,
    Argb4444,
    Palette8,  // palette indices, expanded to Bgra8 on upload
};

// The description a device surface is made from.
struct TSurfaceDesc {
    TPixelLayout Layout = TPixelLayout::None;
    int32_t Width = 0, Height = 0;
    int32_t MipMapCount = 0;
};

// The layout for the type of the texture's first level (None for types a
// device cannot take) and the surface description of all its levels.
TPixelLayout PixelLayoutFor(uint16_t textureType);
TSurfaceDesc SurfaceDescFor(const TTexture& texture);

// Where a surface's texels are on a device that keeps surfaces as layers of
// array textures: the array texture and the layer in it.
struct TLayerPlace {
    uint32_t Texture = 0;
    int32_t Layer = 0;
    friend bool operator==(const TLayerPlace&, const TLayerPlace&) = default;
};

class ITextureDevice {
public:
    virtual ~ITextureDevice() = default;
    // The device capability bits (DeviceCap) its formats allow.
    virtual uint32_t Capabilities() const = 0;
    // Makes a surface and uploads every level of the texture into it; returns
    // the surface (0 when none could be made). Sets uploadFailed when a level
    // could not be uploaded; the levels before it stay.
    virtual uint32_t CreateSurface(const TTexture& texture, const TSurfaceDesc& desc, bool& uploadFailed) = 0;
    virtual void ReleaseSurface(uint32_t surface) = 0;
    // Binds a surface to a texture stage (0: none); 0 for success.
    virtual int SetTexture(int stage, uint32_t surface) = 0;
};

}  // namespace mc
