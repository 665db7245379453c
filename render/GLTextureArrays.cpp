#include "GLTextureArrays.h"

#include <epoxy/gl.h>

#include <algorithm>

namespace mc {

namespace {

constexpr int kFirstCapacity = 4;

// Binds the array texture on the active unit for the life of the object and
// then puts back what was bound there, so that callers' bindings stay.
class TArrayBinding {
public:
    explicit TArrayBinding(GLuint texture)
    {
        glGetIntegerv(GL_TEXTURE_BINDING_2D_ARRAY, &previous_);
        glBindTexture(GL_TEXTURE_2D_ARRAY, texture);
    }
    ~TArrayBinding() { glBindTexture(GL_TEXTURE_2D_ARRAY, GLuint(previous_)); }
    TArrayBinding(const TArrayBinding&) = delete;
    TArrayBinding& operator=(const TArrayBinding&) = delete;

private:
    GLint previous_ = 0;
};

int LevelSize(int size, int level) { return std::max(1, size >> level); }

void ClearErrors()
{
    while (glGetError() != GL_NO_ERROR) {
    }
}

// Storage for every level of the array at the depth; false on a GL error.
bool DefineLevels(const TLayerShape& shape, const TGLPixelFormat& f, int depth)
{
    for (int level = 0; level < shape.Levels; ++level) {
        const int w = LevelSize(shape.Width, level), h = LevelSize(shape.Height, level);
        if (f.Compressed)
            glCompressedTexImage3D(GL_TEXTURE_2D_ARRAY, level, f.InternalFormat, w, h, depth, 0,
                                   GLsizei(GLLevelBytes(f, w, h) * depth), nullptr);
        else
            glTexImage3D(GL_TEXTURE_2D_ARRAY, level, GLint(f.InternalFormat), w, h, depth, 0, f.Format, f.Type,
                         nullptr);
    }
    return glGetError() == GL_NO_ERROR;
}

}  // namespace

TGLPixelFormat GLPixelFormatFor(TPixelLayout layout)
{
    switch (layout) {
    case TPixelLayout::Dxt1:
        return {true, GL_COMPRESSED_RGBA_S3TC_DXT1_EXT, 0, 0, 8, 0, false};
    case TPixelLayout::Dxt2:
    case TPixelLayout::Dxt3:
        return {true, GL_COMPRESSED_RGBA_S3TC_DXT3_EXT, 0, 0, 16, 0, false};
    case TPixelLayout::Dxt4:
    case TPixelLayout::Dxt5:
        return {true, GL_COMPRESSED_RGBA_S3TC_DXT5_EXT, 0, 0, 16, 0, false};
    case TPixelLayout::LuminanceAlpha8:
        return {false, GL_RG8, GL_RG, GL_UNSIGNED_BYTE, 0, 2, true};
    case TPixelLayout::Bgra8:
    case TPixelLayout::Palette8:  // expanded before upload
        return {false, GL_RGBA8, GL_BGRA, GL_UNSIGNED_BYTE, 0, 4, false};
    case TPixelLayout::Argb1555:
        return {false, GL_RGB5_A1, GL_BGRA, GL_UNSIGNED_SHORT_1_5_5_5_REV, 0, 2, false};
    case TPixelLayout::Argb4444:
        return {false, GL_RGBA4, GL_BGRA, GL_UNSIGNED_SHORT_4_4_4_4_REV, 0, 2, false};
    case TPixelLayout::None:
        break;
    }
    return {};
}

int64_t GLLevelBytes(const TGLPixelFormat& f, int width, int height)
{
    const int64_t w = width, h = height;
    if (f.Compressed) return ((w + 3) / 4) * ((h + 3) / 4) * f.BlockBytes;
    return w * h * f.BytesPerPixel;
}

struct TGLTextureArrays::TArray {
    GLuint Texture = 0;
    TLayerShape Shape;
    TGLPixelFormat Format;
    std::vector<uint8_t> Used;  // one entry per layer of room
    int UsedCount = 0;
};

TGLTextureArrays::TGLTextureArrays()
{
    GLint layers = 0;
    glGetIntegerv(GL_MAX_ARRAY_TEXTURE_LAYERS, &layers);
    // At most 256 layers an array: growing copies the array, so it stays small.
    maxLayers_ = std::clamp(int(layers), 1, 256);
}

TGLTextureArrays::~TGLTextureArrays()
{
    for (const auto& a : arrays_) glDeleteTextures(1, &a->Texture);
}

TGLTextureArrays::TArray* TGLTextureArrays::ArrayWithRoom(const TLayerShape& shape)
{
    TArray* growable = nullptr;
    for (const auto& a : arrays_) {
        if (!(a->Shape == shape)) continue;
        if (a->UsedCount < int(a->Used.size())) return a.get();
        if (!growable && int(a->Used.size()) < maxLayers_) growable = a.get();
    }
    if (growable) {
        const int capacity = std::min(maxLayers_, int(growable->Used.size()) * 2);
        if (Grow(*growable, capacity)) return growable;
        // It could not grow (the device out of memory, say): a new array.
    }
    auto a = std::make_unique<TArray>();
    a->Shape = shape;
    a->Format = GLPixelFormatFor(shape.Layout);
    glGenTextures(1, &a->Texture);
    {
        TArrayBinding bound(a->Texture);
        ClearErrors();
        const int capacity = std::min(kFirstCapacity, maxLayers_);
        if (!DefineLevels(shape, a->Format, capacity)) {
            glDeleteTextures(1, &a->Texture);
            return nullptr;
        }
        a->Used.assign(size_t(capacity), 0);
        glTexParameteri(GL_TEXTURE_2D_ARRAY, GL_TEXTURE_BASE_LEVEL, 0);
        glTexParameteri(GL_TEXTURE_2D_ARRAY, GL_TEXTURE_MAX_LEVEL, shape.Levels - 1);
        glTexParameteri(GL_TEXTURE_2D_ARRAY, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
        glTexParameteri(GL_TEXTURE_2D_ARRAY, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        if (a->Format.LuminanceAlpha) {
            const GLint swizzle[4] = {GL_RED, GL_RED, GL_RED, GL_GREEN};
            glTexParameteriv(GL_TEXTURE_2D_ARRAY, GL_TEXTURE_SWIZZLE_RGBA, swizzle);
        }
    }
    arrays_.push_back(std::move(a));
    return arrays_.back().get();
}

bool TGLTextureArrays::Grow(TArray& a, int capacity)
{
    // GL 3.3 cannot copy between textures: the levels come back to memory and
    // go into the bigger storage under the same name, so places stay valid.
    const int old = int(a.Used.size());
    TArrayBinding bound(a.Texture);
    ClearErrors();
    std::vector<std::vector<uint8_t>> levels(size_t(a.Shape.Levels));
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    for (int level = 0; level < a.Shape.Levels; ++level) {
        const int w = LevelSize(a.Shape.Width, level), h = LevelSize(a.Shape.Height, level);
        levels[size_t(level)].resize(size_t(GLLevelBytes(a.Format, w, h) * old));
        if (a.Format.Compressed)
            glGetCompressedTexImage(GL_TEXTURE_2D_ARRAY, level, levels[size_t(level)].data());
        else
            glGetTexImage(GL_TEXTURE_2D_ARRAY, level, a.Format.Format, a.Format.Type, levels[size_t(level)].data());
    }
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    if (glGetError() != GL_NO_ERROR || !DefineLevels(a.Shape, a.Format, capacity)) {
        // The storage may be gone: put the old depth back.
        DefineLevels(a.Shape, a.Format, old);
        capacity = old;
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    for (int level = 0; level < a.Shape.Levels; ++level) {
        const int w = LevelSize(a.Shape.Width, level), h = LevelSize(a.Shape.Height, level);
        const auto* data = levels[size_t(level)].data();
        if (a.Format.Compressed)
            glCompressedTexSubImage3D(GL_TEXTURE_2D_ARRAY, level, 0, 0, 0, w, h, old, a.Format.InternalFormat,
                                      GLsizei(levels[size_t(level)].size()), data);
        else
            glTexSubImage3D(GL_TEXTURE_2D_ARRAY, level, 0, 0, 0, w, h, old, a.Format.Format, a.Format.Type, data);
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    a.Used.resize(size_t(capacity), 0);
    return capacity > old && glGetError() == GL_NO_ERROR;
}

uint32_t TGLTextureArrays::Allocate(const TLayerShape& shape)
{
    if (shape.Layout == TPixelLayout::None || shape.Width <= 0 || shape.Height <= 0 || shape.Levels <= 0)
        return 0;
    TArray* a = ArrayWithRoom(shape);
    if (!a) return 0;
    const auto free = std::find(a->Used.begin(), a->Used.end(), 0);
    const int layer = int(free - a->Used.begin());
    *free = 1;
    ++a->UsedCount;
    uint32_t surface = 0;
    if (!freeSlots_.empty()) {
        surface = freeSlots_.back();
        freeSlots_.pop_back();
    } else {
        slots_.emplace_back();
        surface = uint32_t(slots_.size());
    }
    slots_[surface - 1] = {a, layer};
    return surface;
}

const TGLTextureArrays::TSlot* TGLTextureArrays::SlotOf(uint32_t surface) const
{
    return surface > 0 && surface <= slots_.size() && slots_[surface - 1].Array ? &slots_[surface - 1] : nullptr;
}

void TGLTextureArrays::Free(uint32_t surface)
{
    if (!SlotOf(surface)) return;
    TSlot& slot = slots_[surface - 1];
    TArray* a = slot.Array;
    a->Used[size_t(slot.Layer)] = 0;
    slot = {};
    freeSlots_.push_back(surface);
    if (--a->UsedCount > 0) return;
    glDeleteTextures(1, &a->Texture);
    arrays_.erase(std::find_if(arrays_.begin(), arrays_.end(), [a](const auto& p) { return p.get() == a; }));
}

TLayerPlace TGLTextureArrays::PlaceOf(uint32_t surface) const
{
    const TSlot* slot = SlotOf(surface);
    return slot ? TLayerPlace{slot->Array->Texture, slot->Layer} : TLayerPlace{};
}

const TLayerShape* TGLTextureArrays::ShapeOf(uint32_t surface) const
{
    const TSlot* slot = SlotOf(surface);
    return slot ? &slot->Array->Shape : nullptr;
}

bool TGLTextureArrays::UploadLevel(uint32_t surface, int level, const void* data)
{
    const TSlot* found = SlotOf(surface);
    if (!found) return false;
    const TSlot& slot = *found;
    const TArray& a = *slot.Array;
    if (level < 0 || level >= a.Shape.Levels) return false;
    const int w = LevelSize(a.Shape.Width, level), h = LevelSize(a.Shape.Height, level);
    TArrayBinding bound(a.Texture);
    ClearErrors();
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    if (a.Format.Compressed)
        glCompressedTexSubImage3D(GL_TEXTURE_2D_ARRAY, level, 0, 0, slot.Layer, w, h, 1, a.Format.InternalFormat,
                                  GLsizei(GLLevelBytes(a.Format, w, h)), data);
    else
        glTexSubImage3D(GL_TEXTURE_2D_ARRAY, level, 0, 0, slot.Layer, w, h, 1, a.Format.Format, a.Format.Type,
                        data);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);  // the default others rely on
    return glGetError() == GL_NO_ERROR;
}

int TGLTextureArrays::ArrayCount() const { return int(arrays_.size()); }

int TGLTextureArrays::Capacity(uint32_t texture) const
{
    for (const auto& a : arrays_)
        if (a->Texture == texture) return int(a->Used.size());
    return 0;
}

}  // namespace mc
