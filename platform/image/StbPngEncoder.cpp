// The PNG encoder over stb_image_write (the Windows build, where libpng is
// not at hand).
#include "image/PngEncoder.h"

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#define STBI_WRITE_NO_STDIO
#include <stb_image_write.h>

#include <climits>

namespace mc {

namespace {

void AppendBytes(void* context, void* data, int size)
{
    auto* out = static_cast<std::vector<uint8_t>*>(context);
    const auto* bytes = static_cast<const uint8_t*>(data);
    if (size > 0) out->insert(out->end(), bytes, bytes + size);
}

}  // namespace

bool EncodePngRows(const uint8_t* rows, int width, int height, int perPixel, std::vector<uint8_t>& png,
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

}  // namespace mc
