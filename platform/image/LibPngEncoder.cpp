// The PNG encoder over libpng.
#include "image/PngEncoder.h"

#include <png.h>

#include <csetjmp>

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

int ColorType(int perPixel)
{
    switch (perPixel) {
    case 1: return PNG_COLOR_TYPE_GRAY;
    case 3: return PNG_COLOR_TYPE_RGB;
    default: return PNG_COLOR_TYPE_RGB_ALPHA;
    }
}

}  // namespace

// The rows are laid out before libpng runs, so that nothing needs destroying
// across its error jump but the write structures.
bool EncodePngRows(const uint8_t* rows, int width, int height, int perPixel, std::vector<uint8_t>& png,
                   std::string* error)
{
    const size_t rowBytes = size_t(width) * size_t(perPixel);
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
    png_set_IHDR(w.png, w.info, png_uint_32(width), png_uint_32(height), 8, ColorType(perPixel), PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_rows(w.png, w.info, rowPointers.data());
    png_write_png(w.png, w.info, PNG_TRANSFORM_IDENTITY, nullptr);
    return true;
}

}  // namespace mc
