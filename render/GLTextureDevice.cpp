#include "GLTextureDevice.h"

#include <epoxy/gl.h>

#include <algorithm>
#include <vector>

#include "Texture/DeviceCaps.h"
#include "Texture/Texture.h"
#include "Texture/TextureTypes.h"

namespace mc {

namespace {

struct TGLFormat {
    bool Compressed = false;
    GLenum InternalFormat = 0, Format = 0, Type = 0;
    int BlockBytes = 0;     // compressed: bytes of one 4 x 4 block
    int BytesPerPixel = 0;  // uncompressed: bytes of one pixel in the level data
};

TGLFormat FormatFor(TPixelLayout layout)
{
    TGLFormat f;
    switch (layout) {
    case TPixelLayout::Dxt1:
        return {true, GL_COMPRESSED_RGBA_S3TC_DXT1_EXT, 0, 0, 8, 0};
    case TPixelLayout::Dxt2:
    case TPixelLayout::Dxt3:
        return {true, GL_COMPRESSED_RGBA_S3TC_DXT3_EXT, 0, 0, 16, 0};
    case TPixelLayout::Dxt4:
    case TPixelLayout::Dxt5:
        return {true, GL_COMPRESSED_RGBA_S3TC_DXT5_EXT, 0, 0, 16, 0};
    case TPixelLayout::LuminanceAlpha8:
        return {false, GL_RG8, GL_RG, GL_UNSIGNED_BYTE, 0, 2};
    case TPixelLayout::Bgra8:
    case TPixelLayout::Palette8:
        return {false, GL_RGBA8, GL_BGRA, GL_UNSIGNED_BYTE, 0, 4};
    case TPixelLayout::Argb1555:
        return {false, GL_RGB5_A1, GL_BGRA, GL_UNSIGNED_SHORT_1_5_5_5_REV, 0, 2};
    case TPixelLayout::Argb4444:
        return {false, GL_RGBA4, GL_BGRA, GL_UNSIGNED_SHORT_4_4_4_4_REV, 0, 2};
    case TPixelLayout::None:
        break;
    }
    return f;
}

bool IsBlockLayout(TPixelLayout layout)
{
    return layout >= TPixelLayout::Dxt1 && layout <= TPixelLayout::Dxt5;
}

// Uploads one level; false when its data does not cover its size.
bool UploadLevel(const TTexture& texture, const TMipMap& level, int index, TPixelLayout layout, const TGLFormat& f)
{
    const int64_t w = level.Width, h = level.Height;
    if (f.Compressed) {
        const int64_t size = ((w + 3) / 4) * ((h + 3) / 4) * f.BlockBytes;
        if (int64_t(level.Data.size()) < size) return false;
        glCompressedTexImage2D(GL_TEXTURE_2D, index, f.InternalFormat, GLsizei(w), GLsizei(h), 0, GLsizei(size),
                               level.Data.data());
    } else if (layout == TPixelLayout::Palette8) {
        if (int64_t(level.Data.size()) < w * h) return false;
        std::vector<uint32_t> pixels(size_t(w * h));
        for (int64_t y = 0; y < h; ++y)
            for (int64_t x = 0; x < w; ++x) pixels[size_t(y * w + x)] = texture.PaletteColor(level, int(y), int(x));
        glTexImage2D(GL_TEXTURE_2D, index, GLint(f.InternalFormat), GLsizei(w), GLsizei(h), 0, f.Format, f.Type,
                     pixels.data());
    } else {
        if (int64_t(level.Data.size()) < w * h * f.BytesPerPixel) return false;
        glTexImage2D(GL_TEXTURE_2D, index, GLint(f.InternalFormat), GLsizei(w), GLsizei(h), 0, f.Format, f.Type,
                     level.Data.data());
    }
    return glGetError() == GL_NO_ERROR;
}

}  // namespace

TGLTextureDevice::TGLTextureDevice()
{
    if (epoxy_has_gl_extension("GL_EXT_texture_compression_s3tc"))
        capabilities_ = DeviceCap::DXT1 | DeviceCap::DXT3 | DeviceCap::DXT5;
    GLint previous = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &previous);
    GLuint white = 0;
    glGenTextures(1, &white);
    glBindTexture(GL_TEXTURE_2D, white);
    const uint32_t pixel = 0xFFFFFFFF;
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 1, 1, 0, GL_BGRA, GL_UNSIGNED_BYTE, &pixel);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glBindTexture(GL_TEXTURE_2D, GLuint(previous));
    white_ = white;
}

TGLTextureDevice::~TGLTextureDevice()
{
    GLuint white = white_;
    if (white) glDeleteTextures(1, &white);
}

uint32_t TGLTextureDevice::CreateSurface(const TTexture& texture, const TSurfaceDesc& desc, bool& uploadFailed)
{
    uploadFailed = false;
    if (desc.Layout == TPixelLayout::None || desc.MipMapCount <= 0 || desc.Width <= 0 || desc.Height <= 0) return 0;
    if (IsBlockLayout(desc.Layout) && !(capabilities_ & DeviceCap::DXT1)) return 0;
    const TGLFormat f = FormatFor(desc.Layout);
    while (glGetError() != GL_NO_ERROR) {
    }

    GLint previous = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &previous);
    GLuint handle = 0;
    glGenTextures(1, &handle);
    glBindTexture(GL_TEXTURE_2D, handle);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    if (desc.Layout == TPixelLayout::LuminanceAlpha8) {
        const GLint swizzle[4] = {GL_RED, GL_RED, GL_RED, GL_GREEN};
        glTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_SWIZZLE_RGBA, swizzle);
    }
    // Levels are uploaded while each has half the size of the one before (the
    // chain the device samples); a level that breaks the chain ends it.
    int uploaded = 0;
    for (int i = 0; i < texture.LevelCount(); ++i) {
        const TMipMap& level = *texture.Level(i);
        const int expectedW = std::max(1, desc.Width >> i), expectedH = std::max(1, desc.Height >> i);
        if (PixelLayoutFor(level.MipType) != desc.Layout || level.Width != expectedW || level.Height != expectedH)
            break;
        if (!UploadLevel(texture, level, i, desc.Layout, f)) {
            uploadFailed = true;
            break;
        }
        ++uploaded;
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);  // the default others rely on
    if (uploaded == 0) {
        glBindTexture(GL_TEXTURE_2D, GLuint(previous));
        glDeleteTextures(1, &handle);
        return 0;
    }
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_BASE_LEVEL, 0);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, uploaded - 1);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glBindTexture(GL_TEXTURE_2D, GLuint(previous));
    return handle;
}

void TGLTextureDevice::ReleaseSurface(uint32_t surface)
{
    GLuint handle = surface;
    if (handle) glDeleteTextures(1, &handle);
}

int TGLTextureDevice::SetTexture(int stage, uint32_t surface)
{
    glActiveTexture(GLenum(GL_TEXTURE0 + stage));
    glBindTexture(GL_TEXTURE_2D, surface ? surface : white_);
    return 0;
}

}  // namespace mc
