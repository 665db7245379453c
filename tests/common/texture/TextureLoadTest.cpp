// Reading texture files: types, tags, palette, levels and load options.
#include <gtest/gtest.h>

#include "Core/Stream.h"
#include "Texture/DeviceCaps.h"
#include "Texture/Texture.h"
#include "Texture/TextureLoadOptions.h"
#include "Texture/TextureTypes.h"
#include "TestSupport.h"
#include "TextureFiles.h"

using namespace mc;
using namespace mc::test;

namespace {

bool Load(TTexture& t, const Bytes& file, uint32_t options = 0)
{
    TMemoryReader in(file.data(), file.size());
    return t.Load(in, options);
}

std::vector<std::pair<int, int>> LevelSizes(const TTexture& t)
{
    std::vector<std::pair<int, int>> sizes;
    for (int i = 0; i < t.LevelCount(); ++i) sizes.emplace_back(t.LevelWidth(i), t.LevelHeight(i));
    return sizes;
}

TEST(TextureLoad, TypeWordDecidesHowTheFileIsRead)
{
    TRecordingServices services;
    // A later game's types are named as such; any other code stays unknown.
    const std::vector<std::pair<uint16_t, std::string>> refusals = {
        {0xFF02, "unknown texture type (0xFF02), DXT2 texture of a later game, not supported"},
        {0xFF03, "unknown texture type (0xFF03), DXT3 texture of a later game, not supported"},
        {0xFF04, "unknown texture type (0xFF04), DXT4 texture of a later game, not supported"},
        {0xFF05, "unknown texture type (0xFF05), DXT5 texture of a later game, not supported"},
        {0x8888, "unknown texture type (0x8888), ARGB8888 texture of a later game, not supported"},
        {0x0000, "unknown texture type (0x0000)"},
        {0xFF06, "unknown texture type (0xFF06)"},
    };
    for (const auto& [code, reason] : refusals) {
        TTexture t;
        Bytes file;
        PutU16(file, code);
        file.resize(64);
        EXPECT_FALSE(Load(t, file)) << code;
        EXPECT_EQ(t.RefusalReason, reason);
        ASSERT_FALSE(services.Log.empty());
        EXPECT_EQ(services.Log.back(), "Cannot load texture: " + reason);
    }
    EXPECT_EQ(services.Log.size(), refusals.size());
    // A texture that loads has no refusal, even after one that did not.
    TTexture reused;
    Bytes refused;
    PutU16(refused, 0xFF05);
    refused.resize(64);
    EXPECT_FALSE(Load(reused, refused));
    EXPECT_FALSE(reused.RefusalReason.empty());
    ASSERT_TRUE(Load(reused, MakeTexture(kTextureTypeDXT1, {{4, 4}})));
    EXPECT_EQ(reused.RefusalReason, "");
    EXPECT_EQ(LaterGameTextureTypeName(kTextureTypeDXT1), "");
    EXPECT_EQ(LaterGameTextureTypeName(kTextureTypeARGB4444), "");
    EXPECT_EQ(LaterGameTextureTypeName(0x1234), "");

    // Both spellings of ARGB1555 are one type.
    for (uint16_t code : {kTextureTypeARGB1555, kTextureTypeARGB1555Alt}) {
        TTexture t;
        ASSERT_TRUE(Load(t, MakeTexture(code, {{4, 4}}))) << code;
        EXPECT_EQ(t.TextureType, kTextureTypeARGB1555);
        EXPECT_EQ(t.Level(0)->MipType, kTextureTypeARGB1555);
        EXPECT_EQ(TextureTypeName(code), "ARGB1555");
    }
    EXPECT_EQ(TextureTypeName(0x8888), "");
    EXPECT_EQ(TextureTypeName(0xFF03), "DXT3");
}

TEST(TextureLoad, Pal8FileStartsWithItsFirstTag)
{
    Bytes file;
    Bytes body;
    PutU32(body, 0x80112233);
    PutTag(file, "CGVA", body);
    PutU16(file, 2);  // palette: blue, green, red
    for (uint8_t c : {0x01, 0x02, 0x03, 0x0A, 0x0B, 0x0C}) file.push_back(c);
    PutLevel(file, kTextureTypePAL8, 2, 2, {0, 1, 2, 255});
    ASSERT_EQ(std::string(file.begin(), file.begin() + 8), "GGATCGVA");

    TTexture t;
    ASSERT_TRUE(Load(t, file));
    EXPECT_EQ(t.TextureType, kTextureTypePAL8);
    EXPECT_EQ(t.AverageColor, 0x80112233u);
    ASSERT_EQ(t.PaletteCount, 2);
    EXPECT_EQ(t.Palette[0], 0xFF030201u);
    EXPECT_EQ(t.Palette[1], 0xFF0C0B0Au);
    const TMipMap& m = *t.Level(0);
    ASSERT_TRUE(m.ColorImage && m.AlphaImage);
    EXPECT_EQ(m.ColorImage->Pixel(0, 0), 0xFF030201u);
    EXPECT_EQ(m.ColorImage->Pixel(1, 0), 0xFF0C0B0Au);
    // Indices outside the palette show black, opaque.
    EXPECT_EQ(m.ColorImage->Pixel(0, 1), 0xFF000000u);
    EXPECT_EQ(m.AlphaImage->Pixel(1, 1), 0xFFFFFFFFu);
    EXPECT_TRUE(m.Data.empty());
}

TEST(TextureLoad, TagsAreReadOrSkipped)
{
    Bytes file;
    PutU16(file, kTextureTypeARGB4444);
    Bytes color, flags, other;
    PutU32(color, 0x7F102030);
    PutU32(flags, 2);
    other = {1, 2, 3, 4, 5, 6, 7};
    PutTag(file, "ZXAM", other);
    PutTag(file, "CGVA", color);
    PutTag(file, "GALF", flags);
    PutU16(file, 0);
    PutLevel(file, kTextureTypeARGB4444, 2, 1, Pixels16({0x1234, 0x5678}));

    TTexture t;
    ASSERT_TRUE(Load(t, file));
    EXPECT_EQ(t.AverageColor, 0x7F102030u);
    EXPECT_EQ(t.TagFlags, 2u);
    EXPECT_TRUE(t.HasTransparency());
    EXPECT_EQ(t.LevelCount(), 1);
}

TEST(TextureLoad, HeaderOnlyStopsAfterTheTags)
{
    TTexture bare;
    ASSERT_TRUE(Load(bare, MakeTexture(kTextureTypeDXT1, {{8, 8}}), TextureLoad::HeaderOnly));
    EXPECT_EQ(bare.TextureType, kTextureTypeDXT1);
    EXPECT_EQ(bare.AverageColor, 0xFFFFFFFFu);
    EXPECT_EQ(bare.TagFlags, 0u);
    EXPECT_EQ(bare.LevelCount(), 0);
    EXPECT_FALSE(bare.HasTransparency());

    TTexture tagged;
    ASSERT_TRUE(Load(tagged, MakeTexture(kTextureTypeARGB4444, {{8, 8}}, 0x40FFFFFF), TextureLoad::HeaderOnly));
    EXPECT_EQ(tagged.AverageColor, 0x40FFFFFFu);
    EXPECT_EQ(tagged.LevelCount(), 0);

    // Only the type word: nothing more is needed.
    Bytes typeOnly;
    PutU16(typeOnly, kTextureTypeDXT1);
    TTexture shortest;
    EXPECT_TRUE(Load(shortest, typeOnly, TextureLoad::HeaderOnly));
}

TEST(TextureLoad, LevelSizeEscape)
{
    Bytes file;
    PutU16(file, kTextureTypeDXT1);
    PutU16(file, 0);
    PutU16(file, 1234);
    PutU16(file, 8765);
    PutU16(file, 256);
    PutU16(file, 256);
    const Bytes blocks(size_t(Dxt1DataSize(256, 256)), 0x55);
    PutU24(file, uint32_t(blocks.size()));
    file.insert(file.end(), blocks.begin(), blocks.end());

    TTexture t;
    ASSERT_TRUE(Load(t, file));
    EXPECT_EQ(LevelSizes(t), (std::vector<std::pair<int, int>>{{256, 256}}));
}

TEST(TextureLoad, SizeLimitsDropLargeLevels)
{
    const Bytes file = MakeTexture(kTextureTypeARGB4444, {{256, 256}, {128, 128}, {64, 64}, {32, 32}});
    using Sizes = std::vector<std::pair<int, int>>;
    auto sizesWith = [&](uint32_t options) {
        TTexture t;
        EXPECT_TRUE(Load(t, file, options)) << options;
        return LevelSizes(t);
    };
    EXPECT_EQ(sizesWith(0).size(), 4u);
    EXPECT_EQ(sizesWith(TextureLoad::SizeClass3), (Sizes{{128, 128}, {64, 64}, {32, 32}}));
    EXPECT_EQ(sizesWith(TextureLoad::SizeClass4), (Sizes{{64, 64}, {32, 32}}));
    // Only the first class set applies.
    EXPECT_EQ(sizesWith(TextureLoad::SizeClass2 | TextureLoad::SizeClass4).size(), 4u);
    // The size value N limits to 2N, alone or with a class.
    EXPECT_EQ(sizesWith(32), (Sizes{{64, 64}, {32, 32}}));
    EXPECT_EQ(sizesWith(TextureLoad::SizeClass3 | 16), (Sizes{{32, 32}}));
    EXPECT_EQ(sizesWith(TextureLoad::SizeClass3 | TextureLoad::FirstLevelOnly), (Sizes{{128, 128}}));
    // Nothing within the limit: no texture.
    TTexture none;
    EXPECT_FALSE(Load(none, file, 8));

    EXPECT_TRUE(LevelWithinSizeLimit(TextureLoad::HeaderOnly, 4096, 4096));
    EXPECT_FALSE(LevelWithinSizeLimit(TextureLoad::SizeClass1, 512, 4));
    EXPECT_TRUE(LevelWithinSizeLimit(TextureLoad::SizeClass1, 256, 256));
}

TEST(TextureLoad, OffsetTableGivesTheLevels)
{
    // Levels stored in file order, reached through the offset table; an
    // empty slot is passed over.
    Bytes levels;
    const size_t headerSize = 2 + 12 + 12 + 2;  // type, offset tag of 3 entries, palette
    std::vector<uint32_t> offsets;
    for (int side : {16, 8, 4}) {
        offsets.push_back(uint32_t(headerSize + levels.size()));
        PutLevel(levels, kTextureTypeAL88, side, side, Bytes(size_t(side * side * 2), uint8_t(side)));
    }
    Bytes file;
    PutU16(file, kTextureTypeAL88);
    Bytes table;
    PutU32(table, offsets[0]);
    PutU32(table, 0);
    PutU32(table, offsets[2]);
    PutTag(file, "SFFO", table);
    PutU16(file, 0);
    ASSERT_EQ(file.size(), headerSize);
    file.insert(file.end(), levels.begin(), levels.end());

    TTexture t;
    ASSERT_TRUE(Load(t, file));
    EXPECT_EQ(LevelSizes(t), (std::vector<std::pair<int, int>>{{16, 16}, {4, 4}}));
    EXPECT_EQ(t.Level(1)->ColorImage->Pixel(0, 0), 0xFF040404u);

    // Offsets that point back at data already read are refused (the same
    // level cannot be read over and over).
    Bytes looped;
    PutU16(looped, kTextureTypeAL88);
    Bytes loopTable;
    for (int i = 0; i < 3; ++i) PutU32(loopTable, offsets[0]);
    PutTag(looped, "SFFO", loopTable);
    PutU16(looped, 0);
    looped.insert(looped.end(), levels.begin(), levels.end());
    TTexture l;
    EXPECT_FALSE(Load(l, looped));
}

TEST(TextureLoad, DamagedLevelsFailTheLoad)
{
    TRecordingServices services;
    const Bytes good = MakeTexture(kTextureTypeARGB4444, {{16, 16}, {8, 8}});
    {
        // A flipped data byte: the checksum no longer matches.
        Bytes bad = good;
        bad[20] ^= 0x01;
        TTexture t;
        EXPECT_FALSE(Load(t, bad));
    }
    {
        // Cut inside a level header: the stream error reaches the caller.
        TTexture t;
        const Bytes cut(good.begin(), good.begin() + 6);
        EXPECT_THROW(Load(t, cut), EReadError);
    }
    {
        // A level far larger than the rest of the file could expand to is
        // refused before anything is allocated for it.
        Bytes huge;
        PutU16(huge, kTextureTypeARGB4444);
        PutU16(huge, 0);
        PutU16(huge, 1234);
        PutU16(huge, 8765);
        PutU16(huge, 65535);
        PutU16(huge, 65535);
        PutU24(huge, 100);
        huge.resize(huge.size() + 100, 0xFF);
        TTexture t;
        EXPECT_FALSE(Load(t, huge));
    }
    EXPECT_TRUE(services.Log.empty());
}

TEST(TextureLoad, Dxt1LevelMustHoldExactlyItsBlocks)
{
    auto file = [](int w, int h, uint32_t length, size_t present) {
        Bytes b;
        PutU16(b, kTextureTypeDXT1);
        PutU16(b, 0);
        PutU16(b, uint16_t(w));
        PutU16(b, uint16_t(h));
        PutU24(b, length);
        b.resize(b.size() + present, 0);
        return b;
    };
    TTexture ok;
    EXPECT_TRUE(Load(ok, file(6, 5, 32, 32)));  // 2 x 2 blocks
    EXPECT_EQ(ok.LevelWidth(0), 6);
    for (const Bytes& bad : {file(6, 5, 24, 32),            // length field too small
                             file(6, 5, 40, 40),            // too large
                             file(6, 5, 32, 20),            // data shorter than the field
                             file(0x8004, 4, 65544, 65544)})  // compressed data of a later game
    {
        TTexture t;
        EXPECT_FALSE(Load(t, bad));
    }
}

TEST(TextureLoad, DeviceModeKeepsDataForTheDevice)
{
    const Bytes al88 = MakeTexture(kTextureTypeAL88, {{4, 4}});
    TTexture t;
    ASSERT_TRUE(Load(t, al88, TextureLoad::Device));
    const TMipMap& m = *t.Level(0);
    EXPECT_EQ(m.MipType, kTextureTypeARGB8888);
    ASSERT_EQ(m.DataSize(), 64u);
    EXPECT_FALSE(m.ColorImage);
    // Pixel 0 of the generated data: grey 0, alpha 7.
    EXPECT_EQ(m.Data[0], 0);
    EXPECT_EQ(m.Data[1], 0);
    EXPECT_EQ(m.Data[2], 0);
    EXPECT_EQ(m.Data[3], 7);

    const Bytes dxt = MakeTexture(kTextureTypeDXT1, {{8, 8}, {4, 4}});
    SetDeviceCapabilities(DeviceCap::DXT1);
    TTexture kept;
    ASSERT_TRUE(Load(kept, dxt, TextureLoad::Device));
    EXPECT_EQ(kept.Level(0)->MipType, kTextureTypeDXT1);
    EXPECT_EQ(kept.Level(0)->DataSize(), 32u);
    SetDeviceCapabilities(0);
    TTexture converted;
    ASSERT_TRUE(Load(converted, dxt, TextureLoad::Device));
    EXPECT_EQ(converted.LevelCount(), 2);
    EXPECT_EQ(converted.Level(1)->MipType, kTextureTypeARGB1555);
    EXPECT_EQ(converted.Level(1)->DataSize(), 32u);
}

TEST(TextureLoad, PreferredLevel)
{
    TTexture t;
    ASSERT_TRUE(Load(t, MakeTexture(kTextureTypeDXT1, {{256, 128}, {128, 64}, {64, 32}, {32, 16}})));
    EXPECT_EQ(t.PreferredLevel(100, 50, TLevelChoice::AtLeast), 1);
    EXPECT_EQ(t.PreferredLevel(1000, 10, TLevelChoice::AtLeast), 0);
    EXPECT_EQ(t.PreferredLevel(1, 1, TLevelChoice::AtLeast), 3);
    EXPECT_EQ(t.PreferredLevel(100, 50, TLevelChoice::AtMost), 2);
    EXPECT_EQ(t.PreferredLevel(256, 128, TLevelChoice::AtMost), 0);
    EXPECT_EQ(t.PreferredLevel(8, 8, TLevelChoice::AtMost), 3);
    EXPECT_EQ(TTexture().PreferredLevel(8, 8, TLevelChoice::AtMost), -1);
}

}  // namespace
