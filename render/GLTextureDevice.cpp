#include "GLTextureDevice.h"

#include <epoxy/gl.h>

#include <algorithm>
#include <vector>

#include "Texture/DeviceCaps.h"
#include "Texture/Texture.h"
#include "Texture/TextureTypes.h"

namespace mc {

namespace {

bool IsBlockLayout(TPixelLayout layout)
{
    return layout >= TPixelLayout::Dxt1 && layout <= TPixelLayout::Dxt5;
}

// Whether a level belongs to the chain the device samples: the layout of the
// first level and half the size of the level before.
bool InChain(const TMipMap& level, int index, const TSurfaceDesc& desc)
{
    return PixelLayoutFor(level.MipType) == desc.Layout && level.Width == std::max(1, desc.Width >> index) &&
           level.Height == std::max(1, desc.Height >> index);
}

}  // namespace

TGLTextureDevice::TGLTextureDevice()
{
    if (epoxy_has_gl_extension("GL_EXT_texture_compression_s3tc"))
        capabilities_ = DeviceCap::DXT1 | DeviceCap::DXT3 | DeviceCap::DXT5;
    GLint previous = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D_ARRAY, &previous);
    GLuint white = 0;
    glGenTextures(1, &white);
    glBindTexture(GL_TEXTURE_2D_ARRAY, white);
    const uint32_t pixel = 0xFFFFFFFF;
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage3D(GL_TEXTURE_2D_ARRAY, 0, GL_RGBA8, 1, 1, 1, 0, GL_BGRA, GL_UNSIGNED_BYTE, &pixel);
    glTexParameteri(GL_TEXTURE_2D_ARRAY, GL_TEXTURE_MAX_LEVEL, 0);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glBindTexture(GL_TEXTURE_2D_ARRAY, GLuint(previous));
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
    const TGLPixelFormat f = GLPixelFormatFor(desc.Layout);

    // The levels taken: while each has half the size of the one before (a
    // level that breaks the chain ends it) and while their data covers their
    // size (a short one fails the upload; the levels before it stay).
    int levels = 0;
    for (int i = 0; i < texture.LevelCount(); ++i) {
        const TMipMap& level = *texture.Level(i);
        if (!InChain(level, i, desc)) break;
        const int64_t need = desc.Layout == TPixelLayout::Palette8 ? int64_t(level.Width) * level.Height
                                                                    : GLLevelBytes(f, level.Width, level.Height);
        if (int64_t(level.Data.size()) < need) {
            uploadFailed = true;
            break;
        }
        ++levels;
    }
    if (levels == 0) return 0;

    const uint32_t surface = arrays_.Allocate({desc.Layout, desc.Width, desc.Height, levels});
    if (!surface) {
        uploadFailed = true;
        return 0;
    }
    for (int i = 0; i < levels; ++i) {
        const TMipMap& level = *texture.Level(i);
        bool ok = false;
        if (desc.Layout == TPixelLayout::Palette8) {
            const int w = level.Width, h = level.Height;
            std::vector<uint32_t> pixels(size_t(w) * size_t(h));
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) pixels[size_t(y) * size_t(w) + size_t(x)] = texture.PaletteColor(level, y, x);
            ok = arrays_.UploadLevel(surface, i, pixels.data());
        } else {
            ok = arrays_.UploadLevel(surface, i, level.Data.data());
        }
        if (!ok) {
            // The layer's levels are one storage: a failed upload leaves no surface.
            uploadFailed = true;
            arrays_.Free(surface);
            return 0;
        }
    }
    return surface;
}

void TGLTextureDevice::ReleaseSurface(uint32_t surface) { arrays_.Free(surface); }

int TGLTextureDevice::SetTexture(int stage, uint32_t surface)
{
    const TLayerPlace place = PlaceOf(surface);
    glActiveTexture(GLenum(GL_TEXTURE0 + stage));
    glBindTexture(GL_TEXTURE_2D_ARRAY, place.Texture);
    return 0;
}

void TGLTextureDevice::Unbind()
{
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D_ARRAY, 0);
}

TLayerPlace TGLTextureDevice::PlaceOf(uint32_t surface) const
{
    const TLayerPlace place = arrays_.PlaceOf(surface);
    return place.Texture ? place : TLayerPlace{white_, 0};
}

}  // namespace mc
