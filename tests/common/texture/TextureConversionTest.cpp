// Pixel conversions and the display images of each format.
#include <gtest/gtest.h>

#include "Core/Stream.h"
#include "Texture/Texture.h"
#include "Texture/TextureConversions.h"
#include "Texture/TextureLoadOptions.h"
#include "Texture/TextureTypes.h"
#include "TextureFiles.h"

using namespace mc;
using namespace mc::test;

namespace {

// A one-level texture of the given pixels.
std::unique_ptr<TTexture> LoadLevel(uint16_t type, int w, int h, const Bytes& pixels, uint32_t options = 0)
{
    Bytes file;
    PutU16(file, type);
    PutU16(file, 0);
    PutLevel(file, type, w, h, pixels);
    auto t = std::make_unique<TTexture>();
    TMemoryReader in(file.data(), file.size());
    if (!t->Load(in, options)) return nullptr;
    return t;
}

std::vector<uint16_t> Dxt1Pixels(const Bytes& blocks, int w, int h)
{
    Bytes out(size_t(w) * size_t(h) * 2);
    DecodeDxt1ToArgb1555(blocks.data(), w, h, out.data());
    std::vector<uint16_t> pixels;
    for (size_t i = 0; i < out.size(); i += 2) pixels.push_back(uint16_t(out[i] | out[i + 1] << 8));
    return pixels;
}

TEST(TextureConversion, Dxt1FourColourBlock)
{
    // Colour 0 pure red (0xF800) above colour 1, a dark blue-green (0x0411).
    const uint16_t c0 = 0xF800, c1 = 0x0411;
    const auto p = Dxt1Pixels(Dxt1Block(c0, c1, 0xE4, 0xE4, 0xE4, 0xE4), 4, 4);
    // Row of indices 0, 1, 2, 3.
    EXPECT_EQ(p[0], 0xFC00);  // red 31, alpha
    EXPECT_EQ(p[1], 0x8211);  // green 0x20 loses its low bit: 0x10 << 5; blue 0x11
    // Colour 2 = (2 c0 + c1) / 3: red 0x1F000/3 masked to 0xA000 (20), green
    // 0x400 / 3 = 0x155 masked to 0x140 (5 in five bits), blue 0x11 / 3 = 5.
    EXPECT_EQ(p[2], 0x8000 | (20 << 10) | (5 << 5) | 5);
    // Colour 3 = (2 c1 + c0) / 3: red 0xF800/3 = 0x52AA masked to 0x5000 (10),
    // green 0x800 / 3 = 0x2AA masked to 0x280 (10), blue 0x22 / 3 = 11.
    EXPECT_EQ(p[3], 0x8000 | (10 << 10) | (10 << 5) | 11);
    EXPECT_EQ(p[4], p[0]);
    EXPECT_EQ(p[15], p[3]);
}

TEST(TextureConversion, Dxt1RedRemainderStaysOutOfGreenAndBlue)
{
    // Two reds that differ by one step and no green or blue: every colour of
    // the block must be pure red, as a stripe of such blocks shows no
    // speckle.
    for (uint16_t r0 = 1; r0 < 32; ++r0) {
        const uint16_t c0 = uint16_t(r0 << 11), c1 = uint16_t((r0 - 1) << 11);
        for (uint16_t px : Dxt1Pixels(Dxt1Block(c0, c1, 0xE4, 0, 0, 0), 4, 1)) {
            EXPECT_EQ(px & 0x3FF, 0) << r0;
            EXPECT_TRUE(px & 0x8000);
        }
    }
}

TEST(TextureConversion, Dxt1ThreeColourBlock)
{
    // Equal colours: three-colour mode, index 3 transparent black.
    const auto eq = Dxt1Pixels(Dxt1Block(0x1234, 0x1234, 0xE4, 0xFF, 0, 0), 4, 4);
    EXPECT_EQ(eq[3], 0);
    EXPECT_EQ(eq[4], 0);
    EXPECT_EQ(eq[2], eq[0]);  // the mean of two equal colours
    EXPECT_EQ(eq[0], 0x8000 | (0x1234 & 0x1F) | ((0x1234 & 0xFFC0) >> 1));
    EXPECT_EQ(eq[8], eq[0]);

    // Colour 0 below colour 1: colour 2 is the mean.
    const auto lo = Dxt1Pixels(Dxt1Block(0x0000, 0xFFFF, 0x02, 0, 0, 0), 4, 1);
    EXPECT_EQ(lo[0], 0x8000 | (15 << 10) | (15 << 5) | 15);
    EXPECT_EQ(lo[1], 0x8000);
}

TEST(TextureConversion, Dxt1BlocksCoverLevelsOfAnySize)
{
    // 6 x 5 pixels: 2 x 2 blocks, the outside pixels dropped. Each block
    // one colour (index 0 everywhere).
    Bytes blocks;
    const uint16_t colors[4] = {0x001F, 0x07E0, 0xF800, 0xFFFF};
    for (uint16_t c : colors) {
        const Bytes b = Dxt1Block(c, 0, 0, 0, 0, 0);
        blocks.insert(blocks.end(), b.begin(), b.end());
    }
    const auto p = Dxt1Pixels(blocks, 6, 5);
    auto expect = [](uint16_t v) { return uint16_t((v & 0x1F) | ((v & 0xFFC0) >> 1) | 0x8000); };
    EXPECT_EQ(p[0], expect(colors[0]));
    EXPECT_EQ(p[3], expect(colors[0]));
    EXPECT_EQ(p[4], expect(colors[1]));
    EXPECT_EQ(p[5], expect(colors[1]));
    EXPECT_EQ(p[3 * 6 + 5], expect(colors[1]));
    EXPECT_EQ(p[4 * 6 + 0], expect(colors[2]));
    EXPECT_EQ(p[4 * 6 + 5], expect(colors[3]));
}

TEST(TextureConversion, Dxt1ImagesEqualThoseOfTheConvertedLevel)
{
    // The direct way from blocks to images must give what converting to
    // ARGB1555 and then making the images gives, for any size and order.
    uint32_t seed = 12345;
    auto next = [&seed] { return seed = seed * 1103515245u + 12345u, uint8_t(seed >> 16); };
    for (auto [w, h] : {std::pair{8, 8}, std::pair{7, 5}, std::pair{1, 1}, std::pair{2, 9}, std::pair{13, 3}}) {
        Bytes blocks(size_t(Dxt1DataSize(w, h)));
        for (uint8_t& b : blocks) b = next();
        for (bool rowsAsStored : {false, true}) {
            TTexture owner;
            TMipMap viaArgb1555(&owner);
            viaArgb1555.MipType = kTextureTypeDXT1;
            viaArgb1555.Width = w;
            viaArgb1555.Height = h;
            viaArgb1555.Data = blocks;
            TMipMap direct = viaArgb1555;
            ConvertDxt1ToArgb1555(viaArgb1555);
            ASSERT_EQ(viaArgb1555.DataSize(), uint32_t(w * h * 2));
            MakeDisplayImages(viaArgb1555, owner, rowsAsStored);
            MakeDxt1DisplayImages(direct, rowsAsStored);
            EXPECT_EQ(direct.MipType, kTextureTypeARGB1555);
            ASSERT_TRUE(direct.ColorImage && viaArgb1555.ColorImage);
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) {
                    ASSERT_EQ(direct.ColorImage->Pixel(x, y), viaArgb1555.ColorImage->Pixel(x, y)) << x << "," << y;
                    ASSERT_EQ(direct.AlphaImage->Pixel(x, y), viaArgb1555.AlphaImage->Pixel(x, y)) << x << "," << y;
                }
        }
    }
}

TEST(TextureConversion, Argb4444Images)
{
    auto t = LoadLevel(kTextureTypeARGB4444, 4, 1, Pixels16({0xF123, 0xE123, 0x0ABC, 0x8FFF}));
    ASSERT_TRUE(t);
    const TMipMap& m = *t->Level(0);
    ASSERT_TRUE(m.ColorImage && m.AlphaImage);
    EXPECT_EQ(m.ColorImage->Pixel(0, 0), PixelBGR(0x30, 0x20, 0x10));
    EXPECT_EQ(m.ColorImage->Pixel(2, 0), PixelBGR(0xC0, 0xB0, 0xA0));
    EXPECT_EQ(m.AlphaImage->Pixel(0, 0), PixelGrey(255));  // nibble 0xF: fully opaque
    EXPECT_EQ(m.AlphaImage->Pixel(1, 0), PixelGrey(0xE0));  // nibble 0xE
    EXPECT_EQ(m.AlphaImage->Pixel(2, 0), PixelGrey(0));
    EXPECT_EQ(m.AlphaImage->Pixel(3, 0), PixelGrey(0x80));
    EXPECT_TRUE(m.Data.empty());
}

TEST(TextureConversion, Argb1555AndAl88Images)
{
    auto t = LoadLevel(kTextureTypeARGB1555, 2, 1, Pixels16({0xFFFF, 0x7C1F}));
    ASSERT_TRUE(t);
    const TMipMap& m = *t->Level(0);
    EXPECT_EQ(m.ColorImage->Pixel(0, 0), PixelBGR(0xF8, 0xF8, 0xF8));
    EXPECT_EQ(m.ColorImage->Pixel(1, 0), PixelBGR(0xF8, 0, 0xF8));
    EXPECT_EQ(m.AlphaImage->Pixel(0, 0), PixelGrey(255));
    EXPECT_EQ(m.AlphaImage->Pixel(1, 0), PixelGrey(0));

    auto g = LoadLevel(kTextureTypeAL88, 2, 1, Pixels16({0x8040, 0xFF00}));
    ASSERT_TRUE(g);
    EXPECT_EQ(g->Level(0)->ColorImage->Pixel(0, 0), PixelGrey(0x40));
    EXPECT_EQ(g->Level(0)->AlphaImage->Pixel(0, 0), PixelGrey(0x80));
    EXPECT_EQ(g->Level(0)->AlphaImage->Pixel(1, 0), PixelGrey(0xFF));
}

TEST(TextureConversion, Dxt1DisplayImagesShowTheTransparentColour)
{
    auto t = LoadLevel(kTextureTypeDXT1, 4, 4, Dxt1Block(0x0000, 0xFFFF, 0xE4, 0, 0, 0));
    ASSERT_TRUE(t);
    const TMipMap& m = *t->Level(0);
    EXPECT_EQ(m.MipType, kTextureTypeARGB1555);
    EXPECT_EQ(m.ColorImage->Pixel(1, 0), PixelBGR(0xF8, 0xF8, 0xF8));
    EXPECT_EQ(m.AlphaImage->Pixel(1, 0), PixelGrey(255));
    EXPECT_EQ(m.ColorImage->Pixel(3, 0), PixelBGR(0, 0, 0));
    EXPECT_EQ(m.AlphaImage->Pixel(3, 0), PixelGrey(0));
}

TEST(TextureConversion, RowsAsStoredTurnsThePictureOver)
{
    const Bytes pixels = Pixels16({0xF00F, 0xF0F0});  // blue row above green row
    auto upright = LoadLevel(kTextureTypeARGB4444, 1, 2, pixels);
    auto stored = LoadLevel(kTextureTypeARGB4444, 1, 2, pixels, TextureLoad::RowsAsStored);
    ASSERT_TRUE(upright && stored);
    EXPECT_EQ(upright->Level(0)->ColorImage->Pixel(0, 0), PixelBGR(0xF0, 0, 0));
    EXPECT_EQ(upright->Level(0)->ColorImage->Pixel(0, 1), PixelBGR(0, 0xF0, 0));
    EXPECT_EQ(stored->Level(0)->ColorImage->Pixel(0, 0), PixelBGR(0, 0xF0, 0));
    EXPECT_EQ(stored->Level(0)->ColorImage->Pixel(0, 1), PixelBGR(0xF0, 0, 0));
}

}  // namespace

namespace {

TEST(PixelBuffers, LargeBuffersAreKeptForTheNextPicture)
{
    TrimPixelBuffers();
    const uint32_t* first;
    {
        TPixelImage big(512, 512);
        first = big.Row(0);
    }
    {
        // A picture of about that size takes the same memory again.
        TPixelImage again(500, 512);
        EXPECT_EQ(again.Row(0), first);
        // One of less than half its size does not.
        TPixelImage small(200, 200);
        EXPECT_NE(small.Row(0), first);
    }
    TrimPixelBuffers();
    // Nothing pixel-sized is kept for empty pictures.
    TPixelImage empty(0, 5);
    EXPECT_TRUE(empty.Empty());
    EXPECT_EQ(empty.ByteSize(), 0u);
}

}  // namespace
