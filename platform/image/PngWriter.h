// PNG files of display pictures and of exact texture pictures (libpng, or
// stb_image_write in the Windows build).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "Texture/PixelImage.h"
#include "Texture/TextureRgba.h"

namespace mc {

enum class TPngChannels {
    Rgb,   // 8-bit red, green, blue
    Grey,  // 8-bit grey from the blue byte (pictures whose three colours are equal)
};

// Encodes the picture as PNG bytes. False (with a reason in error) for an
// empty picture or when the encoder fails.
bool EncodePng(const TPixelImage& image, TPngChannels channels, std::vector<uint8_t>& png,
               std::string* error = nullptr);

// Writes the picture to a PNG file through a temporary file beside it, so
// that a failure leaves any file already there untouched.
bool SavePng(const std::string& path, const TPixelImage& image, TPngChannels channels, std::string* error = nullptr);

// An exact picture as 8-bit RGBA, or with withAlpha false as 8-bit RGB
// (its alpha dropped).
bool EncodePng(const TRgbaImage& image, bool withAlpha, std::vector<uint8_t>& png, std::string* error = nullptr);
bool SavePng(const std::string& path, const TRgbaImage& image, bool withAlpha, std::string* error = nullptr);

}  // namespace mc
