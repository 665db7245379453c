// Texture surfaces as layers of OpenGL array textures (see GLTextureArrays).
// Needs a current GL context for every call, the one it was made in.
#pragma once

#include <cstdint>

#include "GLTextureArrays.h"
#include "TextureDevice.h"

namespace mc {

class TGLTextureDevice : public ITextureDevice {
public:
    TGLTextureDevice();  // makes the 1 x 1 white texture that stands for "no texture"
    ~TGLTextureDevice() override;
    TGLTextureDevice(const TGLTextureDevice&) = delete;
    TGLTextureDevice& operator=(const TGLTextureDevice&) = delete;

    // DXT1 (and DXT3, DXT5) with GL_EXT_texture_compression_s3tc.
    uint32_t Capabilities() const override { return capabilities_; }
    uint32_t CreateSurface(const TTexture& texture, const TSurfaceDesc& desc, bool& uploadFailed) override;
    void ReleaseSurface(uint32_t surface) override;
    // Stage 0 only; binds the surface's array texture. None binds the white
    // texture, so that modulation leaves the lit colour as it is.
    int SetTexture(int stage, uint32_t surface) override;
    // Leaves no array texture bound to stage 0.
    void Unbind();

    // Where the surface's texels are; none (and unknown surfaces) give the
    // white texture's only layer.
    TLayerPlace PlaceOf(uint32_t surface) const;
    uint32_t WhiteTexture() const { return white_; }
    const TGLTextureArrays& Arrays() const { return arrays_; }

private:
    uint32_t capabilities_ = 0;
    uint32_t white_ = 0;
    TGLTextureArrays arrays_;
};

}  // namespace mc
