// A texture read from a ".paa" / ".pac" file or a JPEG picture: its header
// values, palette and chain of levels (largest first).
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "Texture/PixelImage.h"

namespace mc {

class TStream;
class TTexture;

// One level of a texture.
class TMipMap {
public:
    explicit TMipMap(TTexture* owner);

    TTexture* Owner;
    uint16_t MipType;           // format of Data; changes when a conversion rewrites it
    std::vector<uint8_t> Data;  // rows top to bottom, no gaps; released after display images are made
    int32_t Width = 0;
    int32_t Height = 0;
    // Display images, made unless the texture was loaded for a device. Shared
    // so that a window may keep showing one after the texture is gone.
    std::shared_ptr<const TPixelImage> ColorImage;
    std::shared_ptr<const TPixelImage> AlphaImage;

    uint32_t DataSize() const { return uint32_t(Data.size()); }
};

enum class TLevelChoice {
    AtLeast,  // the smallest level at least as large as asked
    AtMost,   // the largest level at most as large as asked
};

class TTexture {
public:
    uint16_t TextureType = 0;
    uint32_t AverageColor = 0xFFFFFFFF;  // ARGB, from the CGVA tag
    uint32_t TagFlags = 0;               // from the GALF tag
    int32_t PaletteCount = 0;
    std::vector<uint32_t> Palette;  // ARGB, alpha 0xFF
    std::vector<std::unique_ptr<TMipMap>> MipMaps;
    uint32_t LoadOptions = 0;
    // Why the last Load refused the file, when it logged a reason (a type
    // it does not read); empty otherwise.
    std::string RefusalReason;

    // Reads the texture from the stream's position (options: TextureLoad).
    // True when it holds at least one level, or with the header-only option
    // when the header was read. A type outside the table is logged and gives
    // false (a later game's type named as such); a level whose data is
    // damaged gives false; a stream that ends in
    // the tags, the palette or a level header raises EReadError.
    bool Load(TStream& stream, uint32_t options);

    int LevelCount() const { return int(MipMaps.size()); }
    TMipMap* Level(int index) const;  // nullptr outside 0..LevelCount-1
    int LevelWidth(int index) const;
    int LevelHeight(int index) const;

    // Index of the level nearest to width x height in the given direction:
    // AtLeast searches from the smallest level up and falls back to level 0,
    // AtMost searches from level 0 down and falls back to the smallest. -1
    // without levels.
    int PreferredLevel(int width, int height, TLevelChoice choice) const;

    // Colour of a PAL8 level's pixel; 0 for an index outside the palette.
    uint32_t PaletteColor(const TMipMap& level, int row, int column) const;

    // Whether the average colour says some pixels are transparent.
    bool HasTransparency() const { return (AverageColor >> 24) < 0xFF; }

private:
    bool LoadJpeg(TStream& stream);
    void ReadTags(TStream& stream, std::vector<uint32_t>& offsets);
    void ReadPalette(TStream& stream);
    // Reads and post-processes one level; nullptr when it failed. Sets
    // withinLimit to whether the options keep it.
    std::unique_ptr<TMipMap> ReadLevel(TStream& stream, bool& withinLimit);
    bool ReadLevelData(TStream& stream, TMipMap& level);
    void PostProcess(TMipMap& level);
};

}  // namespace mc
