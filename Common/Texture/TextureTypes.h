// Texture type codes: the first word of a texture file, and the formats the
// conversions produce.
#pragma once

#include <cstdint>
#include <string>

namespace mc {

// ARGB1555 files store 0x1555; 0x5515 is accepted as the same type when read.
constexpr uint16_t kTextureTypeARGB1555 = 0x1555;
constexpr uint16_t kTextureTypeARGB1555Alt = 0x5515;
constexpr uint16_t kTextureTypeDXT1 = 0xFF01;
constexpr uint16_t kTextureTypeAL88 = 0x8080;      // alpha and grey level, 8 bits each
constexpr uint16_t kTextureTypeARGB4444 = 0x4444;  // 4 bits per channel
constexpr uint16_t kTextureTypePAL8 = 0x4747;      // palette index; the file starts with its tags ("GG")
constexpr uint16_t kTextureTypeDXT2 = 0xFF02;
constexpr uint16_t kTextureTypeDXT3 = 0xFF03;
constexpr uint16_t kTextureTypeDXT4 = 0xFF04;
constexpr uint16_t kTextureTypeDXT5 = 0xFF05;
constexpr uint16_t kTextureTypeJPEG = 0xD8FF;      // a plain JPEG stream (start-of-image marker)
constexpr uint16_t kTextureTypeARGB8888 = 0x8888;  // made by conversion only; never read from a file

// The type a file's first word stands for: the alternative ARGB1555 code
// becomes kTextureTypeARGB1555, every other code is returned as it is.
constexpr uint16_t CanonicalTextureType(uint16_t code)
{
    return code == kTextureTypeARGB1555Alt ? kTextureTypeARGB1555 : code;
}

// True for the codes a texture file may start with.
bool IsAcceptedTextureType(uint16_t code);

// "AL88", "ARGB4444", "PAL8", "ARGB1555", "DXT1".."DXT5", "JPEG"; empty for
// any other code.
std::string TextureTypeName(uint16_t code);

// "DXT2".."DXT5" and "ARGB8888": types of a later game's textures that this
// program does not read; empty for any other code.
std::string LaterGameTextureTypeName(uint16_t code);

// Bits per pixel of the uncompressed formats; 0 for the block formats, JPEG
// and unknown codes.
int TextureBitsPerPixel(uint16_t code);
inline int TextureBytesPerPixel(uint16_t code) { return TextureBitsPerPixel(code) / 8; }
inline int64_t TextureBytesPerRow(uint16_t code, int width) { return int64_t(TextureBytesPerPixel(code)) * width; }

// DXT1 to DXT5.
constexpr bool IsBlockTextureType(uint16_t code) { return code >= kTextureTypeDXT1 && code <= kTextureTypeDXT5; }
constexpr bool IsPaletteTextureType(uint16_t code) { return code == kTextureTypePAL8; }

// Bytes of DXT1 blocks covering a level of that size (8 per 4 x 4 block).
constexpr int64_t Dxt1DataSize(int64_t width, int64_t height)
{
    return ((width + 3) / 4) * ((height + 3) / 4) * 8;
}

}  // namespace mc
