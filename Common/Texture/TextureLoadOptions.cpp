#include "Texture/TextureLoadOptions.h"

namespace mc {

namespace {

bool Fits(int64_t limit, int width, int height)
{
    return limit == 0 || (width <= limit && height <= limit);
}

}  // namespace

bool LevelWithinSizeLimit(uint32_t options, int width, int height)
{
    if ((options & TextureLoad::SizeBits) == 0) return true;
    const int64_t sizeLimit = 2 * int64_t(options & TextureLoad::SizeValueMask);
    int64_t classLimit = 0;
    if (options & TextureLoad::SizeClass1)
        classLimit = 256;
    else if (options & TextureLoad::SizeClass2)
        classLimit = 256;
    else if (options & TextureLoad::SizeClass3)
        classLimit = 128;
    else if (options & TextureLoad::SizeClass4)
        classLimit = 64;
    return Fits(classLimit, width, height) && Fits(sizeLimit, width, height);
}

}  // namespace mc
