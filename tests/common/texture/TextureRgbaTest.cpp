// Exact pictures of texture levels: pixels of real files worked out by hand
// from their stored bits, every real texture decoded, and the exact picture
// set against the display images the windows show (which keep 16-bit steps).
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "Core/Stream.h"
#include "TestSupport.h"
#include "Texture/Texture.h"
#include "Texture/TextureLoadOptions.h"
#include "Texture/TextureRgba.h"
#include "Texture/TextureTypes.h"
#include "TextureFiles.h"

using namespace mc;
using namespace mc::test;

namespace {

std::unique_ptr<TTexture> LoadBytes(const std::vector<uint8_t>& bytes, uint32_t options)
{
    auto t = std::make_unique<TTexture>();
    TMemoryReader in(bytes.data(), bytes.size());
    if (!t->Load(in, options)) return nullptr;
    return t;
}

uint32_t U32(const std::vector<uint8_t>& b, size_t at)
{
    uint32_t v;
    std::memcpy(&v, b.data() + at, 4);
    return v;
}

// File position of level 0's header, from the offset table.
size_t FirstLevelOffset(const std::vector<uint8_t>& b)
{
    for (size_t at = 2; at + 12 <= b.size() && std::memcmp(&b[at], "GGAT", 4) == 0; at += 12 + U32(b, at + 8))
        if (std::memcmp(&b[at + 4], "SFFO", 4) == 0) return U32(b, at + 12);
    return 0;
}

TEST(TextureRgba, ChannelWidening)
{
    EXPECT_EQ(Expand5(31), 255);
    EXPECT_EQ(Expand5(16), 132);
    EXPECT_EQ(Expand6(63), 255);
    EXPECT_EQ(Expand6(1), 4);
    EXPECT_EQ(Expand4(15), 255);
    EXPECT_EQ(Expand4(14), 238);
    // White of each 16-bit format is white, its alpha full.
    EXPECT_EQ(RgbaOfArgb4444(0xFFFF), (TRgba{255, 255, 255, 255}));
    EXPECT_EQ(RgbaOfArgb1555(0xFFFF), (TRgba{255, 255, 255, 255}));
    EXPECT_EQ(RgbaOfArgb1555(0x7C00), (TRgba{255, 0, 0, 0}));
    EXPECT_EQ(RgbaOfAl88(0x8040), (TRgba{0x40, 0x40, 0x40, 0x80}));
}

TEST(TextureRgba, Dxt1BlockModes)
{
    TRgba c[4];
    // Four colours: white above black, thirds computed at 8 bits.
    Dxt1BlockPalette(0xFFFF, 0x0000, c);
    EXPECT_EQ(c[2], (TRgba{170, 170, 170, 255}));
    EXPECT_EQ(c[3], (TRgba{85, 85, 85, 255}));
    // Three colours and transparent black when colour 0 is not above colour 1.
    Dxt1BlockPalette(0x0000, 0xFFFF, c);
    EXPECT_EQ(c[2], (TRgba{127, 127, 127, 255}));
    EXPECT_EQ(c[3], (TRgba{0, 0, 0, 0}));
    Dxt1BlockPalette(0x1234, 0x1234, c);
    EXPECT_EQ(c[3], (TRgba{0, 0, 0, 0}));

    // A 5 x 3 level: two blocks across, the pixels outside it dropped.
    Bytes blocks = Dxt1Block(0xF800, 0x001F, 0b11100100, 0b00000000, 0b01010101, 0);
    const Bytes second = Dxt1Block(0x0000, 0x07E0, 0b00000011, 0, 0, 0);
    blocks.insert(blocks.end(), second.begin(), second.end());
    std::vector<uint8_t> out(5 * 3 * 4);
    DecodeDxt1ToRgba(blocks.data(), 5, 3, out.data());
    auto at = [&](int x, int y) {
        const uint8_t* p = &out[(size_t(y) * 5 + size_t(x)) * 4];
        return TRgba{p[0], p[1], p[2], p[3]};
    };
    EXPECT_EQ(at(0, 0), (TRgba{255, 0, 0, 255}));
    EXPECT_EQ(at(1, 0), (TRgba{0, 0, 255, 255}));
    EXPECT_EQ(at(2, 0), (TRgba{170, 0, 85, 255}));
    EXPECT_EQ(at(3, 0), (TRgba{85, 0, 170, 255}));
    EXPECT_EQ(at(0, 2), (TRgba{0, 0, 255, 255}));
    EXPECT_EQ(at(4, 0), (TRgba{0, 0, 0, 0}));
    EXPECT_EQ(at(4, 1), (TRgba{0, 0, 0, 255}));
}

TEST(TextureRgba, LevelOfEachStoredType)
{
    // A loaded file keeps its level as stored and decodes to the same pixels.
    const std::vector<uint16_t> pixels = {0xF00F, 0x8421, 0x0FFF, 0x1234};
    Bytes file;
    PutU16(file, kTextureTypeARGB4444);
    PutU16(file, 0);
    PutLevel(file, kTextureTypeARGB4444, 2, 2, Pixels16(pixels));
    PutU16(file, 0);
    PutU32(file, 0);
    auto t = LoadBytes(file, TextureLoad::AsStored);
    ASSERT_TRUE(t);
    const TMipMap& m = *t->Level(0);
    EXPECT_EQ(m.MipType, kTextureTypeARGB4444);
    EXPECT_FALSE(m.ColorImage);
    TRgbaImage image;
    ASSERT_TRUE(DecodeLevelToRgba(*t, m, image));
    EXPECT_EQ(image.Pixel(0, 0), (TRgba{0, 0, 255, 255}));
    EXPECT_EQ(image.Pixel(1, 0), (TRgba{68, 34, 17, 136}));
    EXPECT_EQ(image.Pixel(0, 1), (TRgba{255, 255, 255, 0}));
    EXPECT_FALSE(image.Opaque());

    // Data that does not fit the level's size is refused, not read past.
    TMipMap broken(t.get());
    broken.MipType = kTextureTypeARGB4444;
    broken.Width = 4, broken.Height = 4;
    broken.Data.assign(8, 0);
    EXPECT_FALSE(DecodeLevelToRgba(*t, broken, image));
    broken.MipType = kTextureTypeDXT1;  // 8 x 4 takes two blocks
    broken.Width = 8;
    EXPECT_FALSE(DecodeLevelToRgba(*t, broken, image));
    broken.MipType = kTextureTypeDXT5;
    broken.Data.assign(16, 0);
    EXPECT_FALSE(DecodeLevelToRgba(*t, broken, image));

    // PAL8: the palette's colours, opaque; an index outside it black.
    TTexture pal;
    pal.TextureType = kTextureTypePAL8;
    pal.Palette = {0xFF102030};
    pal.PaletteCount = 1;
    TMipMap level(&pal);
    level.Width = 2, level.Height = 1;
    level.Data = {0, 7};
    ASSERT_TRUE(DecodeLevelToRgba(pal, level, image));
    EXPECT_EQ(image.Pixel(0, 0), (TRgba{0x10, 0x20, 0x30, 255}));
    EXPECT_EQ(image.Pixel(1, 0), (TRgba{0, 0, 0, 255}));
}

TEST(TextureRgba, RealPixelsByHand)
{
    const auto dir = RealDataDir();
    if (dir.empty() || !std::filesystem::exists(dir / "paa" / "ofp_captain.paa")) GTEST_SKIP() << "no real textures";

    // DXT1: the first block of level 0 straight from the file's bytes.
    {
        const auto bytes = ReadFileBytes(dir / "paa" / "ofp_captain.paa");
        const size_t header = FirstLevelOffset(bytes);
        ASSERT_GT(header, 0u);
        const uint8_t* block = &bytes[header + 7];
        const unsigned c0 = block[0] | block[1] << 8, c1 = block[2] | block[3] << 8;
        const int r0 = (c0 >> 11) * 255 / 31, g0 = ((c0 >> 5) & 63) * 255 / 63, b0 = (c0 & 31) * 255 / 31;
        const int r1 = (c1 >> 11) * 255 / 31, g1 = ((c1 >> 5) & 63) * 255 / 63, b1 = (c1 & 31) * 255 / 31;
        // Bit replication equals rounding v * 255 / max for these widths,
        // give or take one.
        auto t = LoadBytes(bytes, TextureLoad::AsStored);
        ASSERT_TRUE(t);
        TRgbaImage image;
        ASSERT_TRUE(DecodeLevelToRgba(*t, *t->Level(0), image));
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x) {
                const int index = (block[4 + y] >> (2 * x)) & 3;
                int r, g, b, a = 255;
                if (index == 0) {
                    r = r0, g = g0, b = b0;
                } else if (index == 1) {
                    r = r1, g = g1, b = b1;
                } else if (c0 > c1) {
                    const int w0 = index == 2 ? 2 : 1, w1 = 3 - w0;
                    r = (w0 * r0 + w1 * r1) / 3, g = (w0 * g0 + w1 * g1) / 3, b = (w0 * b0 + w1 * b1) / 3;
                } else if (index == 2) {
                    r = (r0 + r1) / 2, g = (g0 + g1) / 2, b = (b0 + b1) / 2;
                } else {
                    r = g = b = a = 0;
                }
                const TRgba p = image.Pixel(x, y);
                EXPECT_LE(std::abs(p.R - r), 1) << x << "," << y;
                EXPECT_LE(std::abs(p.G - g), 1) << x << "," << y;
                EXPECT_LE(std::abs(p.B - b), 1) << x << "," << y;
                EXPECT_EQ(p.A, a) << x << "," << y;
            }
    }

    // ARGB4444: one pixel of the stored (unpacked) level, each nibble x 17.
    {
        auto t = LoadBytes(ReadFileBytes(dir / "paa" / "tzk210_C130.paa"), TextureLoad::AsStored);
        ASSERT_TRUE(t);
        const TMipMap& m = *t->Level(0);
        const int x = 100, y = 60;
        const size_t at = (size_t(y) * size_t(m.Width) + size_t(x)) * 2;
        const unsigned p = m.Data[at] | m.Data[at + 1] << 8;
        TRgbaImage image;
        ASSERT_TRUE(DecodeLevelToRgba(*t, m, image));
        EXPECT_EQ(image.Pixel(x, y), (TRgba{uint8_t(((p >> 8) & 15) * 17), uint8_t(((p >> 4) & 15) * 17),
                                           uint8_t((p & 15) * 17), uint8_t((p >> 12) * 17)}));
    }

    // ARGB1555: a transparent and an opaque pixel, 5 bits widened to 8.
    {
        auto t = LoadBytes(ReadFileBytes(dir / "paa" / "a3_argba5.paa"), TextureLoad::AsStored);
        ASSERT_TRUE(t);
        const TMipMap& m = *t->Level(0);
        TRgbaImage image;
        ASSERT_TRUE(DecodeLevelToRgba(*t, m, image));
        bool seen[2] = {false, false};
        for (int y = 0; y < m.Height; ++y)
            for (int x = 0; x < m.Width; ++x) {
                const size_t at = (size_t(y) * size_t(m.Width) + size_t(x)) * 2;
                const unsigned p = m.Data[at] | m.Data[at + 1] << 8;
                if (seen[p >> 15]) continue;
                seen[p >> 15] = true;
                const auto five = [](unsigned v) { return uint8_t((v << 3) | (v >> 2)); };
                EXPECT_EQ(image.Pixel(x, y), (TRgba{five((p >> 10) & 31), five((p >> 5) & 31), five(p & 31),
                                                   uint8_t(p & 0x8000 ? 255 : 0)}));
            }
        EXPECT_TRUE(seen[1]);
    }
}

// The exact picture keeps every bit the display image keeps: the display
// channel's stored bits are the exact channel's top bits.
TEST(TextureRgba, EveryRealTextureAgreesWithItsDisplayImages)
{
    std::vector<std::filesystem::path> files = RealFiles("paa", ".paa");
    for (const auto& f : RealFiles("pac", ".pac")) files.push_back(f);
    if (files.empty()) GTEST_SKIP() << "no real textures here";
    int decoded = 0;
    for (const auto& path : files) {
        const std::vector<uint8_t> bytes = ReadFileBytes(path);
        ASSERT_GE(bytes.size(), 2u);
        if (!IsAcceptedTextureType(uint16_t(bytes[0] | bytes[1] << 8))) continue;
        SCOPED_TRACE(path.filename().string());
        TRecordingServices services;
        auto exact = LoadBytes(bytes, TextureLoad::AsStored);
        auto shown = LoadBytes(bytes, TextureLoad::Display);
        ASSERT_TRUE(exact && shown);
        ASSERT_EQ(exact->LevelCount(), shown->LevelCount());
        const uint16_t type = exact->TextureType;
        for (int i = 0; i < exact->LevelCount(); ++i) {
            const TMipMap& m = *exact->Level(i);
            TRgbaImage image;
            ASSERT_TRUE(DecodeLevelToRgba(*exact, m, image)) << i;
            ASSERT_EQ(image.Width(), m.Width);
            ASSERT_EQ(image.Height(), m.Height);
            const TPixelImage& color = *shown->Level(i)->ColorImage;
            const TPixelImage& alpha = *shown->Level(i)->AlphaImage;
            int worst = 0;
            for (int y = 0; y < m.Height; ++y)
                for (int x = 0; x < m.Width; ++x) {
                    const TRgba e = image.Pixel(x, y);
                    const uint32_t c = color.Pixel(x, y), a = alpha.Pixel(x, y) & 0xFF;
                    const int r = int(c >> 16 & 0xFF), g = int(c >> 8 & 0xFF), b = int(c & 0xFF);
                    switch (type) {
                    case kTextureTypeARGB4444:
                        ASSERT_EQ((TRgba{uint8_t(e.R >> 4), uint8_t(e.G >> 4), uint8_t(e.B >> 4), uint8_t(e.A >> 4)}),
                                  (TRgba{uint8_t(r >> 4), uint8_t(g >> 4), uint8_t(b >> 4), uint8_t(a >> 4)}));
                        break;
                    case kTextureTypeARGB1555:
                        ASSERT_EQ((TRgba{uint8_t(e.R >> 3), uint8_t(e.G >> 3), uint8_t(e.B >> 3), e.A}),
                                  (TRgba{uint8_t(r >> 3), uint8_t(g >> 3), uint8_t(b >> 3), uint8_t(a)}));
                        break;
                    case kTextureTypeAL88:
                        ASSERT_EQ(e, (TRgba{uint8_t(r), uint8_t(g), uint8_t(b), uint8_t(a)}));
                        break;
                    case kTextureTypeDXT1:
                        // The display keeps 5 bits of each channel, computed
                        // at 5 bits: a few steps off, and the same alpha.
                        ASSERT_EQ(e.A, a);
                        worst = std::max({worst, std::abs(e.R - r), std::abs(e.G - g), std::abs(e.B - b)});
                        break;
                    default:  // JPEG: its decoded colours, opaque
                        ASSERT_EQ(e, (TRgba{uint8_t(r), uint8_t(g), uint8_t(b), 255}));
                    }
                }
            EXPECT_LE(worst, 15) << i;
        }
        ++decoded;
    }
    EXPECT_GE(decoded, 10);
}

}  // namespace
