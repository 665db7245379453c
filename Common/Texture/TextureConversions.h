// What follows the read of a level: conversions of its data to other pixel
// formats, and the colour and alpha pictures shown in windows.
#pragma once

#include <cstdint>

namespace mc {

class TMipMap;
class TPixelImage;
class TTexture;

// DXT1 blocks of a width x height level to little-endian 16-bit ARGB1555
// pixels (width x height of them, rows top to bottom). Block colours 2 and 3 are computed per
// channel on the RGB565 fields; a block whose colour 0 is not above colour 1
// has colour 3 transparent black. blocks holds Dxt1DataSize(width, height)
// bytes.
void DecodeDxt1ToArgb1555(const uint8_t* blocks, int width, int height, uint8_t* out);

// The display images of DXT1 blocks, equal to those of the blocks converted
// to ARGB1555 (without making the ARGB1555 pixels in between).
void DecodeDxt1ToDisplayImages(const uint8_t* blocks, int width, int height, bool rowsAsStored, TPixelImage& color,
                               TPixelImage& alpha);
// The same for a level: its images are made and its type becomes ARGB1555.
void MakeDxt1DisplayImages(TMipMap& level, bool rowsAsStored);

// The level's DXT1 data becomes ARGB1555 (type and size follow).
void ConvertDxt1ToArgb1555(TMipMap& level);
// The level's AL88 data becomes ARGB8888: grey in all three colours.
void ConvertAl88ToArgb8888(TMipMap& level);

// Makes the level's colour and alpha images from its data (ARGB4444, PAL8,
// ARGB1555 and AL88; other types get none). Row 0 of the images is the
// level's first row, or its last with rowsAsStored.
void MakeDisplayImages(TMipMap& level, const TTexture& texture, bool rowsAsStored);

// Display pixels of one source pixel of each format.
uint32_t ColorOfArgb4444(uint16_t p);
uint32_t AlphaOfArgb4444(uint16_t p);
uint32_t ColorOfArgb1555(uint16_t p);
uint32_t AlphaOfArgb1555(uint16_t p);

}  // namespace mc
