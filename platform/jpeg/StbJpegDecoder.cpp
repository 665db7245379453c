#include "jpeg/StbJpegDecoder.h"

#include "jpeg/ProgramJpegDecoder.h"

#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#define STBI_ONLY_JPEG
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#define STBI_MAX_DIMENSIONS 32768
#include <stb_image.h>

#include <memory>

namespace mc {

namespace {

struct TStbFree {
    void operator()(stbi_uc* p) const { stbi_image_free(p); }
};

}  // namespace

bool TStbJpegDecoder::Load(const std::string&) { return true; }

std::optional<TJpegBitmap> TStbJpegDecoder::Decode(const uint8_t* data, size_t size)
{
    if (!data || size < 4 || size > 0x7FFFFFFF) return std::nullopt;
    const int length = static_cast<int>(size);
    int width = 0, height = 0, components = 0;
    if (!stbi_info_from_memory(data, length, &width, &height, &components)) return std::nullopt;
    if (!JpegSizeBelievable(width, height, size)) return std::nullopt;

    // stb_image turns CMYK (Adobe's inverted form) and YCCK into colour the
    // same way: each colour its ink's complement scaled by black.
    int w = 0, h = 0, n = 0;
    const std::unique_ptr<stbi_uc, TStbFree> rgb(stbi_load_from_memory(data, length, &w, &h, &n, 3));
    if (!rgb || w != width || h != height) return std::nullopt;

    TJpegBitmap bitmap;
    bitmap.Width = width;
    bitmap.Height = height;
    bitmap.Stride = (size_t(width) * 3 + 3) & ~size_t(3);
    bitmap.Pixels.assign(bitmap.Stride * size_t(height), 0);
    for (int y = 0; y < height; ++y) {
        const stbi_uc* src = rgb.get() + size_t(y) * size_t(width) * 3;
        uint8_t* dst = bitmap.Pixels.data() + size_t(y) * bitmap.Stride;
        for (int x = 0; x < width; ++x, src += 3, dst += 3) {
            dst[0] = src[2];
            dst[1] = src[1];
            dst[2] = src[0];
        }
    }
    return bitmap;
}

bool InstallProgramJpegDecoder()
{
    static TStbJpegDecoder decoder;
    InstallJpegDecoder(&decoder);
    return LoadJpegLibrary({});
}

}  // namespace mc
