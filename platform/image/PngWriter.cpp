#include "image/PngWriter.h"

#include <png.h>

#include <csetjmp>

#include "Core/SafeSave.h"
#include "Core/StreamIO.h"

namespace mc {

namespace {

void AppendBytes(png_structp png, png_bytep data, png_size_t length)
{
    auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void NoFlush(png_structp) {}

struct TPngWrite {
    png_structp png = nullptr;
    png_infop info = nullptr;
    ~TPngWrite() { png_destroy_write_struct(&png, info ? &info : nullptr); }
};

// Rows in the file's layout, made before libpng runs so that nothing needs
// destroying across its error jump.
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

// Encodes rows already in the file's layout (grey, RGB or RGBA bytes),
// height rows of rowBytes each.
bool EncodeRows(const uint8_t* rows, size_t rowBytes, int width, int height, int colorType, std::vector<uint8_t>& png,
                std::string* error)
{
    std::vector<png_bytep> rowPointers(static_cast<size_t>(height));
    for (size_t y = 0; y < rowPointers.size(); ++y) rowPointers[y] = const_cast<png_bytep>(rows + y * rowBytes);

    TPngWrite w;
    w.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (w.png) w.info = png_create_info_struct(w.png);
    if (!w.png || !w.info) {
        if (error) *error = "out of memory";
        return false;
    }
    if (setjmp(png_jmpbuf(w.png))) {
        png.clear();
        if (error) *error = "the PNG encoder failed";
        return false;
    }
    png_set_write_fn(w.png, &png, AppendBytes, NoFlush);
    png_set_IHDR(w.png, w.info, png_uint_32(width), png_uint_32(height), 8, colorType, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_rows(w.png, w.info, rowPointers.data());
    png_write_png(w.png, w.info, PNG_TRANSFORM_IDENTITY, nullptr);
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
    return EncodeRows(rows.data(), rows.size() / size_t(image.Height()), image.Width(), image.Height(),
                      channels == TPngChannels::Rgb ? PNG_COLOR_TYPE_RGB : PNG_COLOR_TYPE_GRAY, png, error);
}

bool EncodePng(const TRgbaImage& image, bool withAlpha, std::vector<uint8_t>& png, std::string* error)
{
    png.clear();
    if (image.Empty()) {
        if (error) *error = "the picture is empty";
        return false;
    }
    const size_t pixels = size_t(image.Width()) * size_t(image.Height());
    if (withAlpha)
        return EncodeRows(image.Bytes(), size_t(image.Width()) * 4, image.Width(), image.Height(),
                          PNG_COLOR_TYPE_RGB_ALPHA, png, error);
    std::vector<uint8_t> rows(pixels * 3);
    const uint8_t* src = image.Bytes();
    for (size_t i = 0; i < pixels; ++i, src += 4) {
        rows[3 * i] = src[0];
        rows[3 * i + 1] = src[1];
        rows[3 * i + 2] = src[2];
    }
    return EncodeRows(rows.data(), size_t(image.Width()) * 3, image.Width(), image.Height(), PNG_COLOR_TYPE_RGB, png,
                      error);
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
