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

}  // namespace

bool EncodePng(const TPixelImage& image, TPngChannels channels, std::vector<uint8_t>& png, std::string* error)
{
    png.clear();
    if (image.Empty()) {
        if (error) *error = "the picture is empty";
        return false;
    }
    const std::vector<uint8_t> rows = PackRows(image, channels);
    std::vector<png_bytep> rowPointers(size_t(image.Height()));
    const size_t rowBytes = rows.size() / size_t(image.Height());
    for (size_t y = 0; y < rowPointers.size(); ++y) rowPointers[y] = const_cast<png_bytep>(rows.data() + y * rowBytes);

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
    png_set_IHDR(w.png, w.info, png_uint_32(image.Width()), png_uint_32(image.Height()), 8,
                 channels == TPngChannels::Rgb ? PNG_COLOR_TYPE_RGB : PNG_COLOR_TYPE_GRAY, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_rows(w.png, w.info, rowPointers.data());
    png_write_png(w.png, w.info, PNG_TRANSFORM_IDENTITY, nullptr);
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
