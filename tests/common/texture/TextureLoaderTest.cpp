// Textures by game path through a game's archives, and the header lookup of
// the model conversion.
#include <gtest/gtest.h>

#include <fstream>

#include "Archive/PbList.h"
#include "Core/FilePaths.h"
#include "Game/GameData.h"
#include "Texture/TextureHeaderLookup.h"
#include "Texture/TextureLoadOptions.h"
#include "Texture/TextureLoader.h"
#include "Texture/TextureTypes.h"
#include "TestSupport.h"
#include "TextureFiles.h"

using namespace mc;
using namespace mc::test;

namespace {


class TextureLoader : public ::testing::Test {
protected:
    void SetUp() override
    {
        const auto dir = TempDir("texture_loader");
        Bytes shortHeader;
        PutU16(shortHeader, kTextureTypeARGB4444);
        for (char c : std::string("GGATCGVA\4")) shortHeader.push_back(uint8_t(c));  // ends inside a tag
        const Bytes archive = StoredArchive({
            {"tex.paa", MakeTexture(kTextureTypeDXT1, {{8, 8}, {4, 4}})},
            {"sub\\alpha.pac", MakeTexture(kTextureTypeARGB1555Alt, {{4, 4}}, 0x80FFFFFF)},
            {"tex.txt", MakeTexture(kTextureTypeDXT1, {{8, 8}})},
            {"broken.paa", shortHeader},
            {"bad.paa", Bytes{0x05, 0xFF, 0, 0}},
        });
        std::ofstream(dir / "data.pbo", std::ios::binary)
            .write(reinterpret_cast<const char*>(archive.data()), std::streamsize(archive.size()));
        game_.PbList.AddArchive(PathToUtf8(dir / "data.pbo"), false);
        ASSERT_EQ(game_.PbList.Count(), 1);
    }

    TGameData game_;
};

TEST_F(TextureLoader, FindsTexturesByGamePath)
{
    auto t = LoadTexture(game_, "data\\tex.paa", TextureLoad::Display);
    ASSERT_TRUE(t);
    EXPECT_EQ(t->LevelCount(), 2);
    EXPECT_TRUE(LoadTexture(game_, "DATA\\Sub\\Alpha.PAC", TextureLoad::Display));
    // Only texture names are looked up.
    EXPECT_FALSE(LoadTexture(game_, "data\\tex.txt", TextureLoad::Display));
    EXPECT_FALSE(LoadTexture(game_, "data\\missing.paa", TextureLoad::Display));
    EXPECT_FALSE(LoadTexture(game_, "other\\tex.paa", TextureLoad::Display));
    {
        TRecordingServices services;
        EXPECT_FALSE(LoadTexture(game_, "data\\bad.paa", TextureLoad::Display));
        EXPECT_EQ(services.Log, std::vector<std::string>{"Cannot load texture: unknown texture type (0xFF05), DXT5 "
                                                         "texture of a later game, not supported"});
    }
    EXPECT_THROW(LoadTexture(game_, "data\\broken.paa", TextureLoad::Display), EReadError);

    // Another game's data does not see these archives.
    TGameData other;
    EXPECT_FALSE(LoadTexture(other, "data\\tex.paa", TextureLoad::Display));
}

TEST_F(TextureLoader, HeaderLookupForTheModelConversion)
{
    TTextureHeaderLookup lookup(game_);
    ITextureHeaderSource* source = &lookup;

    const auto opaque = source->Header("data\\tex.paa");
    ASSERT_TRUE(opaque);
    EXPECT_EQ(opaque->Type, kTextureTypeDXT1);
    EXPECT_FALSE(opaque->Transparent);

    const auto alpha = source->Header("data\\sub\\alpha.pac");
    ASSERT_TRUE(alpha);
    EXPECT_EQ(alpha->Type, kTextureTypeARGB1555);
    EXPECT_TRUE(alpha->Transparent);

    EXPECT_FALSE(source->Header("data\\missing.paa"));
    // A damaged header is a texture that cannot be read, not an error.
    EXPECT_FALSE(source->Header("data\\broken.paa"));

    // A lookup over another game's data finds nothing of these archives.
    TGameData other;
    EXPECT_FALSE(TTextureHeaderLookup(other).Header("data\\tex.paa"));
}

}  // namespace
