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

// Rows of perPixel bytes each, through stb_image_write.
bool EncodeRows(const uint8_t* rows, int width, int height, int perPixel, std::vector<uint8_t>& png,
                std::string* error)
{
    // stb_image_write counts bytes in int.
    if (uint64_t(width) * uint64_t(height) * uint64_t(perPixel) > uint64_t(INT_MAX) / 2) {
        if (error) *error = "the picture is too large";
        return false;
    }
    if (!stbi_write_png_to_func(AppendBytes, &png, width, height, perPixel, rows, width * perPixel)) {
        png.clear();
        if (error) *error = "the PNG encoder failed";
        return false;
    }
    return true;
}

bool SaveBytes(const std::string& path, const std::vector<uint8_t>& png, std::string* error)
{
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

}  // namespace

bool EncodePng(const TPixelImage& image, TPngChannels channels, std::vector<uint8_t>& png, std::string* error)
{
    png.clear();
    if (image.Empty()) {
        if (error) *error = "the picture is empty";
        return false;
    }
    const std::vector<uint8_t> rows = PackRows(image, channels);
    return EncodeRows(rows.data(), image.Width(), image.Height(), channels == TPngChannels::Rgb ? 3 : 1, png, error);
}

bool EncodePng(const TRgbaImage& image, bool withAlpha, std::vector<uint8_t>& png, std::string* error)
{
    png.clear();
    if (image.Empty()) {
        if (error) *error = "the picture is empty";
        return false;
    }
    if (withAlpha) return EncodeRows(image.Bytes(), image.Width(), image.Height(), 4, png, error);
    const size_t pixels = size_t(image.Width()) * size_t(image.Height());
    std::vector<uint8_t> rows(pixels * 3);
    const uint8_t* src = image.Bytes();
    for (size_t i = 0; i < pixels; ++i, src += 4) {
        rows[3 * i] = src[0];
        rows[3 * i + 1] = src[1];
        rows[3 * i + 2] = src[2];
    }
    return EncodeRows(rows.data(), image.Width(), image.Height(), 3, png, error);
}

bool SavePng(const std::string& path, const TPixelImage& image, TPngChannels channels, std::string* error)
{
    std::vector<uint8_t> png;
    return EncodePng(image, channels, png, error) && SaveBytes(path, png, error);
}

bool SavePng(const std::string& path, const TRgbaImage& image, bool withAlpha, std::string* error)
{
    std::vector<uint8_t> png;
    return EncodePng(image, withAlpha, png, error) && SaveBytes(path, png, error);
}

}  // namespace mc
