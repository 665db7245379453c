#include "Texture/Texture.h"

#include <cstring>

#include "Core/AppServices.h"
#include "Core/Stream.h"
#include "Core/StreamIO.h"
#include "Core/Strings.h"
#include "Lzss/Lzss.h"
#include "Texture/DeviceCaps.h"
#include "Texture/JpegDecoder.h"
#include "Texture/TextureConversions.h"
#include "Texture/TextureLoadOptions.h"
#include "Texture/TextureLzss.h"
#include "Texture/TextureTypes.h"

namespace mc {

namespace {

// Tag names as read from the file (four bytes, little-endian).
constexpr uint32_t FourCC(const char (&s)[5])
{
    return uint32_t(uint8_t(s[0])) | uint32_t(uint8_t(s[1])) << 8 | uint32_t(uint8_t(s[2])) << 16 |
           uint32_t(uint8_t(s[3])) << 24;
}
constexpr uint32_t kTagMark = FourCC("GGAT");
constexpr uint32_t kTagAverageColor = FourCC("CGVA");
constexpr uint32_t kTagFlags = FourCC("GALF");
constexpr uint32_t kTagOffsets = FourCC("SFFO");

// A level header of these two sizes is followed by the real ones.
constexpr uint16_t kSizeEscapeWidth = 1234;
constexpr uint16_t kSizeEscapeHeight = 8765;

// Levels are read while more than this many bytes follow the last one.
constexpr int64_t kTrailerSize = 6;

// A later game marks compressed DXT level data with bit 15 of a side.
constexpr uint16_t kCompressedSideMark = 0x8000;

}  // namespace

TMipMap::TMipMap(TTexture* owner) : Owner(owner), MipType(owner ? owner->TextureType : 0) {}

TMipMap* TTexture::Level(int index) const
{
    return index >= 0 && index < LevelCount() ? MipMaps[size_t(index)].get() : nullptr;
}

int TTexture::LevelWidth(int index) const
{
    const TMipMap* m = Level(index);
    return m ? m->Width : 0;
}

int TTexture::LevelHeight(int index) const
{
    const TMipMap* m = Level(index);
    return m ? m->Height : 0;
}

int TTexture::PreferredLevel(int width, int height, TLevelChoice choice) const
{
    const int n = LevelCount();
    if (n == 0) return -1;
    if (choice == TLevelChoice::AtLeast) {
        for (int i = n - 1; i >= 0; --i)
            if (MipMaps[size_t(i)]->Width >= width && MipMaps[size_t(i)]->Height >= height) return i;
        return 0;
    }
    for (int i = 0; i < n; ++i)
        if (MipMaps[size_t(i)]->Width <= width && MipMaps[size_t(i)]->Height <= height) return i;
    return n - 1;
}

uint32_t TTexture::PaletteColor(const TMipMap& level, int row, int column) const
{
    if (row < 0 || column < 0 || row >= level.Height || column >= level.Width) return 0;
    const size_t at = size_t(row) * size_t(level.Width) + size_t(column);
    if (at >= level.Data.size()) return 0;
    const int index = level.Data[at];
    return index < PaletteCount && size_t(index) < Palette.size() ? Palette[size_t(index)] : 0;
}

bool TTexture::Load(TStream& stream, uint32_t options)
{
    LoadOptions = options;
    RefusalReason.clear();
    const int64_t start = stream.Position();
    const uint16_t code = ReadWord(stream);
    if (!IsAcceptedTextureType(code)) {
        RefusalReason = Format("unknown texture type (0x%04X)", unsigned(code));
        const std::string later = LaterGameTextureTypeName(code);
        if (!later.empty()) RefusalReason += ", " + later + " texture of a later game, not supported";
        AddLog("Cannot load texture: " + RefusalReason);
        return false;
    }
    TextureType = CanonicalTextureType(code);
    AverageColor = 0xFFFFFFFF;
    TagFlags = 0;

    if (TextureType == kTextureTypePAL8) {
        // No type word: the file starts with its first tag.
        stream.Seek(start);
    } else if (TextureType == kTextureTypeJPEG) {
        stream.Seek(start);
        if (options & TextureLoad::DeviceMode) return false;
        // A picture's header is its type: nothing is decoded for it.
        if (options & TextureLoad::HeaderOnly) return true;
        return LoadJpeg(stream);
    }

    std::vector<uint32_t> offsets;
    ReadTags(stream, offsets);
    if (options & TextureLoad::HeaderOnly) return true;
    ReadPalette(stream);

    const bool firstOnly = (options & TextureLoad::FirstLevelOnly) != 0;
    bool withinLimit = false;
    if (offsets.empty()) {
        do {
            std::unique_ptr<TMipMap> level = ReadLevel(stream, withinLimit);
            if (!level) return false;
            if (withinLimit) {
                MipMaps.push_back(std::move(level));
                if (firstOnly) break;
            }
        } while (stream.Remaining() > kTrailerSize);
    } else {
        // Levels lie one after another: an offset back into data already
        // read is damage (and would read the same level over and over).
        int64_t end = stream.Position();
        for (uint32_t offset : offsets) {
            if (offset == 0) continue;
            if (offset < end) return false;
            if (!stream.Seek(offset)) throw EReadError();
            std::unique_ptr<TMipMap> level = ReadLevel(stream, withinLimit);
            if (!level) return false;
            end = stream.Position();
            if (withinLimit) {
                MipMaps.push_back(std::move(level));
                if (firstOnly) break;
            }
        }
    }
    return !MipMaps.empty();
}

bool TTexture::LoadJpeg(TStream& stream)
{
    std::optional<TJpegBitmap> bitmap = DecodeJpegToBitmap(stream);
    if (!bitmap) return false;
    auto level = std::make_unique<TMipMap>(this);
    level->Width = bitmap->Width;
    level->Height = bitmap->Height;
    auto color = std::make_shared<TPixelImage>(bitmap->Width, bitmap->Height);
    for (int y = 0; y < bitmap->Height; ++y) {
        const uint8_t* src = bitmap->Pixels.data() + size_t(y) * bitmap->Stride;
        uint32_t* dst = color->Row(y);
        for (int x = 0; x < bitmap->Width; ++x, src += 3) dst[x] = PixelBGR(src[0], src[1], src[2]);
    }
    auto alpha = std::make_shared<TPixelImage>(bitmap->Width, bitmap->Height);
    alpha->Fill(PixelGrey(255));
    level->ColorImage = std::move(color);
    level->AlphaImage = std::move(alpha);
    MipMaps.push_back(std::move(level));
    return true;
}

void TTexture::ReadTags(TStream& stream, std::vector<uint32_t>& offsets)
{
    for (;;) {
        const int64_t at = stream.Position();
        // Fewer than four bytes left cannot start a tag.
        if (stream.Remaining() < 4 || ReadCardinal(stream) != kTagMark) {
            stream.Seek(at);
            return;
        }
        const uint32_t name = ReadCardinal(stream);
        const uint32_t length = ReadCardinal(stream);
        if (name == kTagAverageColor) {
            AverageColor = ReadCardinal(stream);
        } else if (name == kTagFlags) {
            TagFlags = ReadCardinal(stream);
        } else if (name == kTagOffsets) {
            RequireRemaining(stream, length);
            offsets.resize(length / 4);
            for (uint32_t& offset : offsets) offset = ReadCardinal(stream);
            SkipBytes(stream, length % 4);
        } else {
            SkipBytes(stream, length);
        }
    }
}

void TTexture::ReadPalette(TStream& stream)
{
    const uint16_t count = ReadWord(stream);
    RequireRemaining(stream, uint64_t(count) * 3);
    Palette.resize(count);
    uint8_t bgr[3];
    for (uint32_t& color : Palette) {
        ReadBuffer(stream, bgr, 3);
        color = uint32_t(bgr[0]) | uint32_t(bgr[1]) << 8 | uint32_t(bgr[2]) << 16 | 0xFF000000u;
    }
    PaletteCount = count;
}

std::unique_ptr<TMipMap> TTexture::ReadLevel(TStream& stream, bool& withinLimit)
{
    auto level = std::make_unique<TMipMap>(this);
    if (!ReadLevelData(stream, *level)) return nullptr;
    withinLimit = LevelWithinSizeLimit(LoadOptions, level->Width, level->Height);
    if (withinLimit) PostProcess(*level);
    return level;
}

bool TTexture::ReadLevelData(TStream& stream, TMipMap& level)
{
    uint16_t width = ReadWord(stream);
    uint16_t height = ReadWord(stream);
    if (width == kSizeEscapeWidth && height == kSizeEscapeHeight) {
        width = ReadWord(stream);
        height = ReadWord(stream);
    }
    const uint32_t low = ReadWord(stream);
    const uint32_t length = low | uint32_t(ReadByte(stream)) << 16;
    level.Width = width;
    level.Height = height;
    level.MipType = TextureType;

    const uint64_t remaining = uint64_t(stream.Remaining());
    if (IsBlockTextureType(TextureType)) {
        // Only DXT1 reaches here. Its data must be exactly the blocks of the
        // level; compressed data of a later game is refused.
        if ((width & kCompressedSideMark) || (height & kCompressedSideMark)) return false;
        if (length != uint64_t(Dxt1DataSize(width, height)) || length > remaining) return false;
        level.Data.resize(length);
        return stream.Read(level.Data.data(), length) == length;
    }

    const uint64_t size = uint64_t(width) * height * uint64_t(TextureBytesPerPixel(TextureType));
    // The compressed data cannot describe more than a fixed multiple of its
    // own bytes: a larger level is damaged, and is not allocated.
    if (size > LzssMaxExpansion(remaining)) return false;
    level.Data.resize(size_t(size));
    return DecodeTextureLzss(stream, level.Data.data(), level.Data.size());
}

void TTexture::PostProcess(TMipMap& level)
{
    if (LoadOptions & TextureLoad::AsStored) return;
    if (LoadOptions & TextureLoad::DeviceMode) {
        if (level.MipType == kTextureTypeAL88)
            ConvertAl88ToArgb8888(level);
        else if (level.MipType == kTextureTypeDXT1 && !(GetDeviceCapabilities() & DeviceCap::DXT1))
            ConvertDxt1ToArgb1555(level);
        return;
    }
    const bool rowsAsStored = (LoadOptions & TextureLoad::RowsAsStored) != 0;
    // DXT1 becomes ARGB1555 on the way to its images.
    if (level.MipType == kTextureTypeDXT1)
        MakeDxt1DisplayImages(level, rowsAsStored);
    else
        MakeDisplayImages(level, *this, rowsAsStored);
    level.Data.clear();
    level.Data.shrink_to_fit();
}

}  // namespace mc
