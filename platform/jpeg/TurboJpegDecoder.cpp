#include "jpeg/TurboJpegDecoder.h"

#include "jpeg/ProgramJpegDecoder.h"

#include <turbojpeg.h>

#include <memory>

namespace mc {

namespace {

struct TDecompressor {
    tjhandle handle = tjInitDecompress();
    ~TDecompressor()
    {
        if (handle) tjDestroy(handle);
    }
};

}  // namespace

bool TTurboJpegDecoder::Load(const std::string&) { return true; }

std::optional<TJpegBitmap> TTurboJpegDecoder::Decode(const uint8_t* data, size_t size)
{
    if (!data || size < 4 || size > 0x7FFFFFFF) return std::nullopt;
    TDecompressor d;
    if (!d.handle) return std::nullopt;
    int width = 0, height = 0, subsampling = 0, colorspace = 0;
    if (tjDecompressHeader3(d.handle, data, static_cast<unsigned long>(size), &width, &height, &subsampling,
                            &colorspace) != 0)
        return std::nullopt;
    if (!JpegSizeBelievable(width, height, size)) return std::nullopt;

    TJpegBitmap bitmap;
    bitmap.Width = width;
    bitmap.Height = height;
    bitmap.Stride = (size_t(width) * 3 + 3) & ~size_t(3);
    const int flags = TJFLAG_STOPONWARNING;

    if (colorspace == TJCS_CMYK || colorspace == TJCS_YCCK) {
        // The decoder gives CMYK as stored (inverted, as Adobe writes it);
        // each colour is its ink's complement scaled by black.
        std::vector<uint8_t> cmyk(size_t(width) * size_t(height) * 4);
        if (tjDecompress2(d.handle, data, static_cast<unsigned long>(size), cmyk.data(), width, width * 4, height,
                          TJPF_CMYK, flags) != 0)
            return std::nullopt;
        bitmap.Pixels.assign(bitmap.Stride * size_t(height), 0);
        for (int y = 0; y < height; ++y) {
            const uint8_t* src = cmyk.data() + size_t(y) * size_t(width) * 4;
            uint8_t* dst = bitmap.Pixels.data() + size_t(y) * bitmap.Stride;
            for (int x = 0; x < width; ++x, src += 4, dst += 3) {
                const unsigned k = src[3];
                dst[0] = uint8_t(src[2] * k / 255);
                dst[1] = uint8_t(src[1] * k / 255);
                dst[2] = uint8_t(src[0] * k / 255);
            }
        }
        return bitmap;
    }

    bitmap.Pixels.assign(bitmap.Stride * size_t(height), 0);
    if (tjDecompress2(d.handle, data, static_cast<unsigned long>(size), bitmap.Pixels.data(), width,
                      int(bitmap.Stride), height, TJPF_BGR, flags) != 0)
        return std::nullopt;
    return bitmap;
}

bool InstallTurboJpegDecoder()
{
    static TTurboJpegDecoder decoder;
    InstallJpegDecoder(&decoder);
    return LoadJpegLibrary({});
}

bool InstallProgramJpegDecoder() { return InstallTurboJpegDecoder(); }

}  // namespace mc
