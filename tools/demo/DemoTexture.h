// A small texture encoder for the demo data: pictures in the game's
// ARGB4444 texture form, with their mipmap chain.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace mc::demo {

// The colour (ARGB) of pixel (x, y) of a width x height picture.
using TPixelFunction = std::function<uint32_t(int x, int y, int width, int height)>;

// A ".paa" file: type 0x4444, an average-colour tag, no palette, the levels
// from width x height down to 4 x 4 (each an LZSS stream with the texture
// checksum), then the end marker. Width and height are powers of two.
std::vector<uint8_t> EncodePaaArgb4444(int width, int height, const TPixelFunction& pixel);

}  // namespace mc::demo
