// PNG files of display pictures, written with stb_image_write (the Windows
// build, where libpng is not at hand). Same interface as the libpng writer.
#include "image/PngWriter.h"

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#define STBI_WRITE_NO_STDIO
#include <stb_image_write.h>

#include <climits>

#include "Core/SafeSave.h"
#include "Core/StreamIO.h"

namespace mc {

namespace {

void AppendBytes(void* context, void* data, int size)
{
    auto* out = static_cast<std::vector<uint8_t>*>(context);
    const auto* bytes = static_cast<const uint8_t*>(data);
    if (size > 0) out->insert(out->end(), bytes, bytes + size);
}

std::vector<uint8_t> PackRows(const TPixelImage& image, TPngChannels channels)
{
    const size_t perPixel = channels == TPngChannels::Rgb ? 3 : 1;
    std::vector<uint8_t> rows(size_t(image.Width()) * size_t(image.Height()) * perPixel);
    uint8_t* dst = rows.data();
    for (int y = 0; y < image.Height(); ++y) {
        const uint32_t* src = image.Row(y);
        for (int x = 0; x < image.Width(); ++x) {
            const uint32_t p = src[x];
            if (channels == TPngChannels::Rgb) {
                *dst++ = uint8_t(p >> 16);
                *dst++ = uint8_t(p >> 8);
                *dst++ = uint8_t(p);
            } else {
                *dst++ = uint8_t(p);
            }
        }
    }
    return rows;
}

}  // namespace

bool EncodePng(const TPixelImage& image, TPngChannels channels, std::vector<uint8_t>& png, std::string* error)
{
    png.clear();
    if (image.Empty()) {
        if (error) *error = "the picture is empty";
        return false;
    }
    const int perPixel = channels == TPngChannels::Rgb ? 3 : 1;
    // stb_image_write counts bytes in int.
    if (uint64_t(image.Width()) * uint64_t(image.Height()) * uint64_t(perPixel) > uint64_t(INT_MAX) / 2) {
        if (error) *error = "the picture is too large";
        return false;
    }
    const std::vector<uint8_t> rows = PackRows(image, channels);
    if (!stbi_write_png_to_func(AppendBytes, &png, image.Width(), image.Height(), perPixel, rows.data(),
                                image.Width() * perPixel)) {
        png.clear();
        if (error) *error = "the PNG encoder failed";
        return false;
    }
    return true;
}

bool SavePng(const std::string& path, const TPixelImage& image, TPngChannels channels, std::string* error)
{
    std::vector<uint8_t> png;
    if (!EncodePng(image, channels, png, error)) return false;
    try {
        return SaveFileSafely(
            path,
            [&](TStream& s) {
                WriteBuffer(s, png.data(), png.size());
                return true;
            },
            error);
    } catch (const EFileError& e) {
        if (error) *error = e.what();
        return false;
    }
}

}  // namespace mc
