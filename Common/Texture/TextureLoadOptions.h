// The options word of a texture load: which levels to keep and what to make
// of them.
#pragma once

#include <cstdint>

namespace mc {

namespace TextureLoad {
// Bits 0-15: size value N; when not 0 a level must fit 2N on both sides.
constexpr uint32_t SizeValueMask = 0xFFFF;
// Size classes: only the first one set (in this order) applies.
constexpr uint32_t SizeClass1 = 0x10000;  // both sides at most 256
constexpr uint32_t SizeClass2 = 0x20000;  // both sides at most 256
constexpr uint32_t SizeClass3 = 0x40000;  // both sides at most 128
constexpr uint32_t SizeClass4 = 0x80000;  // both sides at most 64
constexpr uint32_t SizeBits = 0xFFFFF;    // bits 0-19: the size test applies when any is set
// Stop after the tags: type, average colour and tag flags only.
constexpr uint32_t HeaderOnly = 0x100000;
// Stop after the first level kept.
constexpr uint32_t FirstLevelOnly = 0x200000;
// Display images take the rows in file order (the picture shows upside down).
constexpr uint32_t RowsAsStored = 0x400000;
// Keep the level data for a 3D device instead of making display images.
constexpr uint32_t DeviceMode = 0x800000;
// Keep each level's data exactly as read: no conversion and no display
// images (for exact pictures of the stored pixels, TextureRgba.h). A JPEG
// picture still gets its colour image, which is its decoded pixels.
constexpr uint32_t AsStored = 0x1000000;

// The option values the program passes.
constexpr uint32_t Display = 0;
constexpr uint32_t Device = SizeClass2 | DeviceMode;
}  // namespace TextureLoad

// Whether a level of that size is kept under the options' size limit.
bool LevelWithinSizeLimit(uint32_t options, int width, int height);

}  // namespace mc
