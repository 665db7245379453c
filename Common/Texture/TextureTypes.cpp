#include "Texture/TextureTypes.h"

namespace mc {

bool IsAcceptedTextureType(uint16_t code)
{
    switch (CanonicalTextureType(code)) {
    case kTextureTypeAL88:
    case kTextureTypeARGB4444:
    case kTextureTypePAL8:
    case kTextureTypeARGB1555:
    case kTextureTypeDXT1:
    case kTextureTypeJPEG:
        return true;
    default:
        return false;
    }
}

std::string TextureTypeName(uint16_t code)
{
    switch (CanonicalTextureType(code)) {
    case kTextureTypeAL88: return "AL88";
    case kTextureTypeARGB4444: return "ARGB4444";
    case kTextureTypePAL8: return "PAL8";
    case kTextureTypeARGB1555: return "ARGB1555";
    case kTextureTypeDXT1: return "DXT1";
    case kTextureTypeDXT2: return "DXT2";
    case kTextureTypeDXT3: return "DXT3";
    case kTextureTypeDXT4: return "DXT4";
    case kTextureTypeDXT5: return "DXT5";
    case kTextureTypeJPEG: return "JPEG";
    default: return {};
    }
}

int TextureBitsPerPixel(uint16_t code)
{
    switch (CanonicalTextureType(code)) {
    case kTextureTypeAL88:
    case kTextureTypeARGB4444:
    case kTextureTypeARGB1555:
        return 16;
    case kTextureTypePAL8:
        return 8;
    case kTextureTypeARGB8888:
        return 32;
    default:
        return 0;
    }
}

std::string LaterGameTextureTypeName(uint16_t code)
{
    if (IsAcceptedTextureType(code)) return {};
    if (code == kTextureTypeARGB8888) return "ARGB8888";
    return IsBlockTextureType(code) ? TextureTypeName(code) : std::string();
}

}  // namespace mc
