// PNG pictures of display images and exact texture images: the rows laid
// out as the file stores them, handed to the build's encoder, and written
// through the safe save.
#include "image/PngWriter.h"

#include "Core/SafeSave.h"
#include "Core/StreamIO.h"
#include "image/PngEncoder.h"

namespace mc {

namespace {

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
    return EncodePngRows(rows.data(), image.Width(), image.Height(), channels == TPngChannels::Rgb ? 3 : 1, png,
                         error);
}

bool EncodePng(const TRgbaImage& image, bool withAlpha, std::vector<uint8_t>& png, std::string* error)
{
    png.clear();
    if (image.Empty()) {
        if (error) *error = "the picture is empty";
        return false;
    }
    if (withAlpha) return EncodePngRows(image.Bytes(), image.Width(), image.Height(), 4, png, error);
    const size_t pixels = size_t(image.Width()) * size_t(image.Height());
    std::vector<uint8_t> rows(pixels * 3);
    const uint8_t* src = image.Bytes();
    for (size_t i = 0; i < pixels; ++i, src += 4) {
        rows[3 * i] = src[0];
        rows[3 * i + 1] = src[1];
        rows[3 * i + 2] = src[2];
    }
    return EncodePngRows(rows.data(), image.Width(), image.Height(), 3, png, error);
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
