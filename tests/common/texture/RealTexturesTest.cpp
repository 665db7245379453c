// The real texture files: every readable type decodes with the level sizes
// its file gives; the types the reader does not take are refused by name.
#include <gtest/gtest.h>

#include <cstring>

#include "Core/Stream.h"
#include "Texture/Texture.h"
#include "Texture/TextureLoadOptions.h"
#include "Texture/TextureTypes.h"
#include "TestSupport.h"

using namespace mc;
using namespace mc::test;

namespace {

std::vector<std::filesystem::path> RealTextures()
{
    std::vector<std::filesystem::path> files = RealFiles("paa", ".paa");
    for (const auto& f : RealFiles("pac", ".pac")) files.push_back(f);
    return files;
}

uint32_t U32(const std::vector<uint8_t>& b, size_t at)
{
    uint32_t v;
    std::memcpy(&v, b.data() + at, 4);
    return v;
}

// Level sizes as the file's offset table points at them, read on their own.
std::vector<std::pair<int, int>> SizesFromOffsetTable(const std::vector<uint8_t>& b)
{
    std::vector<std::pair<int, int>> sizes;
    for (size_t at = 2; at + 12 <= b.size() && std::memcmp(&b[at], "GGAT", 4) == 0; at += 12 + U32(b, at + 8)) {
        if (std::memcmp(&b[at + 4], "SFFO", 4) != 0) continue;
        for (uint32_t k = 0; k < U32(b, at + 8) / 4; ++k) {
            const uint32_t offset = U32(b, at + 12 + 4 * k);
            if (offset) sizes.emplace_back(b[offset] | b[offset + 1] << 8, b[offset + 2] | b[offset + 3] << 8);
        }
    }
    return sizes;
}

TEST(RealTextures, ReadableTypesDecode)
{
    const auto files = RealTextures();
    if (files.empty()) GTEST_SKIP() << "no real textures here";
    int decoded = 0;
    for (const auto& path : files) {
        const std::vector<uint8_t> bytes = ReadFileBytes(path);
        ASSERT_GE(bytes.size(), 2u);
        const uint16_t code = uint16_t(bytes[0] | bytes[1] << 8);
        if (!IsAcceptedTextureType(code)) continue;
        SCOPED_TRACE(path.filename().string());
        TRecordingServices services;
        TTexture t;
        TMemoryReader in(bytes.data(), bytes.size());
        ASSERT_TRUE(t.Load(in, 0));
        EXPECT_TRUE(services.Log.empty());
        EXPECT_EQ(t.TextureType, CanonicalTextureType(code));

        const auto expected = SizesFromOffsetTable(bytes);
        ASSERT_FALSE(expected.empty());
        ASSERT_EQ(t.LevelCount(), int(expected.size()));
        for (int i = 0; i < t.LevelCount(); ++i) {
            const TMipMap& m = *t.Level(i);
            EXPECT_EQ(std::make_pair(m.Width, m.Height), expected[size_t(i)]) << i;
            ASSERT_TRUE(m.ColorImage && m.AlphaImage) << i;
            EXPECT_EQ(m.ColorImage->Width(), m.Width);
            EXPECT_EQ(m.AlphaImage->Height(), m.Height);
            if (i > 0) {
                EXPECT_EQ(m.Width, std::max(1, t.LevelWidth(i - 1) / 2));
                EXPECT_EQ(m.Height, std::max(1, t.LevelHeight(i - 1) / 2));
            }
        }

        // The header alone, and the levels for a device.
        TTexture header;
        TMemoryReader again(bytes.data(), bytes.size());
        ASSERT_TRUE(header.Load(again, TextureLoad::HeaderOnly));
        EXPECT_EQ(header.AverageColor, t.AverageColor);
        EXPECT_EQ(header.LevelCount(), 0);
        TTexture device;
        TMemoryReader third(bytes.data(), bytes.size());
        ASSERT_TRUE(device.Load(third, TextureLoad::Device));
        for (int i = 0; i < device.LevelCount(); ++i) {
            EXPECT_LE(device.LevelWidth(i), 256);
            EXPECT_FALSE(device.Level(i)->Data.empty());
        }
        ++decoded;
    }
    EXPECT_GE(decoded, 8);
}

TEST(RealTextures, KnownFiles)
{
    const auto dir = RealDataDir();
    if (dir.empty() || !std::filesystem::exists(dir / "paa" / "a3_argba5.paa")) GTEST_SKIP() << "no real textures";
    struct TCase {
        const char* file;
        uint16_t type;
        int width, height;
    };
    for (const TCase& c : {TCase{"paa/a3_argba5.paa", kTextureTypeARGB1555, 196, 200},
                           TCase{"paa/tzk101_square_empty.paa", kTextureTypeAL88, 8, 8},
                           TCase{"paa/tzk210_C130.paa", kTextureTypeARGB4444, 256, 128},
                           TCase{"pac/tzk210_METAL7.pac", kTextureTypeDXT1, 256, 256}}) {
        const auto bytes = ReadFileBytes(dir / c.file);
        TTexture t;
        TMemoryReader in(bytes.data(), bytes.size());
        ASSERT_TRUE(t.Load(in, 0)) << c.file;
        EXPECT_EQ(t.TextureType, c.type) << c.file;
        EXPECT_EQ(t.LevelWidth(0), c.width) << c.file;
        EXPECT_EQ(t.LevelHeight(0), c.height) << c.file;
    }
}

TEST(RealTextures, OtherTypesAreRefusedByName)
{
    const auto dir = RealDataDir();
    if (dir.empty() || !std::filesystem::exists(dir / "paa" / "a3_dxt5.paa")) GTEST_SKIP() << "no real textures";
    for (auto [file, text] :
         {std::pair{"a3_dxt5.paa",
                    "Cannot load texture: unknown texture type (0xFF05), DXT5 texture of a later game, not supported"},
          std::pair{"a3_mountain_converted.paa", "Cannot load texture: unknown texture type (0x8888), ARGB8888 "
                                                 "texture of a later game, not supported"}}) {
        const auto bytes = ReadFileBytes(dir / "paa" / file);
        TRecordingServices services;
        TTexture t;
        TMemoryReader in(bytes.data(), bytes.size());
        EXPECT_FALSE(t.Load(in, 0));
        EXPECT_EQ(services.Log, std::vector<std::string>{text});
    }
}

}  // namespace
