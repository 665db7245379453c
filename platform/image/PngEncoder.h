// The PNG encoder of the build (libpng, or stb_image_write where libpng is
// not at hand), behind the picture functions of PngWriter.h.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace mc {

// Encodes height rows of width pixels of perPixel bytes each (1 grey, 3 RGB,
// 4 RGBA), tightly packed, as PNG bytes. False with a reason when the
// encoder fails.
bool EncodePngRows(const uint8_t* rows, int width, int height, int perPixel, std::vector<uint8_t>& png,
                   std::string* error);

}  // namespace mc
