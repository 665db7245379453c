// One game's data: the MOD folder and data root, several games side by side
// (each model, texture, proxy and table read through its own archives and
// configuration), and the loads of the program's start with their boxes.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "Config/ConfigClass.h"
#include "Config/Resources.h"
#include "Config/StringTable.h"
#include "DemoModel.h"
#include "FileTree.h"
#include "Game/GameData.h"
#include "Game/GameLookups.h"
#include "Model/ArchiveModelLoader.h"
#include "Model/LOD.h"
#include "Model/Mlod.h"
#include "Model/Model.h"
#include "Model/Odol.h"
#include "Model/ProxyModels.h"
#include "TestSupport.h"
#include "Texture/TextureHeaderLookup.h"
#include "Texture/TextureLoadOptions.h"
#include "Texture/TextureLoader.h"
#include "Texture/TextureTypes.h"
#include "texture/TextureFiles.h"

using namespace mc;
using namespace mc::test;
namespace fs = std::filesystem;

namespace {

Bytes Text(const std::string& text) { return Bytes(text.begin(), text.end()); }

using TEntries = std::vector<std::pair<std::string, Bytes>>;


std::vector<uint8_t> OdolBytes(const TModel& model)
{
    TMemoryStream out;
    EXPECT_TRUE(SaveOdol(model, out));
    return out.TakeBytes();
}

std::vector<uint8_t> MlodBytes(const TModel& model)
{
    TMemoryStream out;
    EXPECT_TRUE(SaveMlod(model, out));
    return out.TakeBytes();
}

// A config text: the root field "name" and the model of the proxy "crate".
std::string ConfigCpp(const std::string& value, const std::string& proxyModel)
{
    return "name = \"" + value + "\";\n"
           "class CfgNonAIVehicles {\n"
           "  class ProxyCrate { model = \"" + proxyModel + "\"; };\n"
           "};\n";
}

// The value of the root field "name" of a game's configuration.
std::string ConfigName(const TGameData& game)
{
    if (!game.GameConfig) return "<none>";
    const TRField* field = game.GameConfig->RootClass->FindField("name");
    return field ? field->ValueString() : "<no field>";
}

std::string TableName(const TGameData& game)
{
    if (!game.GameStringTable) return "<none>";
    const std::string* text = game.GameStringTable->Find("str_name", "English");
    return text ? *text : "<no row>";
}

// A game folder with Bin\stringtable.csv,
// Bin\config.cpp and Dta\data.pbo holding an editable crate, its texture and
// the extra entries.
fs::path MakeGame(const std::string& name, const std::string& value, const Bytes& crateTexture, TEntries extra,
                  const std::string& proxyModel = "\\crate")
{
    const fs::path game = TempDir(name);
    WriteFile(game / "Bin" / "stringtable.csv", Text("LANGUAGE,English\nSTR_NAME," + value + "\n"));
    WriteFile(game / "Bin" / "config.cpp", Text(ConfigCpp(value, proxyModel)));
    extra.emplace_back("crate.p3d", MlodBytes(*demo::MakeCrateModel()));
    extra.emplace_back("crate_co.paa", crateTexture);
    WriteFile(game / "Dta" / "data.pbo", StoredArchive(extra));
    return game;
}

// The flags of the crate's textured faces in its first LOD.
uint32_t CrateFaceFlags(const TModel& model)
{
    const TLOD& lod = *model.LOD(0);
    EXPECT_FALSE(lod.Faces.empty());
    return lod.Faces.empty() ? 0 : lod.Faces[0].Flags;
}

}  // namespace

TEST(GameData, ModFolderAndDataRoot)
{
    EXPECT_EQ(NormalizeModFolder("MyMod\\"), "\\MyMod");
    EXPECT_EQ(NormalizeModFolder("\\Other"), "\\Other");
    EXPECT_EQ(NormalizeModFolder("Plain"), "\\Plain");
    EXPECT_EQ(NormalizeModFolder(""), "");

    TGameData game;
    game.GameFolder = "C:\\Game";
    EXPECT_EQ(game.DataRoot(), "C:\\Game");
    game.SetModFolder("MyMod\\");
    EXPECT_EQ(game.ModFolder, "\\MyMod");
    EXPECT_EQ(game.DataRoot(), "C:\\Game\\MyMod");
    game.SetModFolder("");
    EXPECT_EQ(game.DataRoot(), "C:\\Game");
#ifndef _WIN32
    game.GameFolder = "/games/ofp";
    game.SetModFolder("Mod");
    EXPECT_EQ(game.DataPath("\\Bin\\config.cpp"), "/games/ofp/Mod/Bin/config.cpp");
#endif
}

TEST(GameData, TwoGamesDoNotInterfere)
{
    TRecordingServices rec;
    // The same game paths in both, with different contents: a transparent
    // ARGB1555 crate texture in one, an opaque DXT1 one in the other.
    const fs::path dirA = MakeGame("game-a", "Game A", MakeTexture(kTextureTypeARGB1555, {{8, 8}}, 0x80FFFFFF),
                                   {{"only_a.paa", MakeTexture(kTextureTypeDXT1, {{4, 4}})}});
    const fs::path dirB = MakeGame("game-b", "Game B", MakeTexture(kTextureTypeDXT1, {{16, 16}, {8, 8}}),
                                   {{"box.p3d", OdolBytes(*demo::MakeCrateModel())}}, "\\box");
    TGameData a, b;
    a.GameFolder = dirA.string();
    b.GameFolder = dirB.string();
    OpenGameData(a);
    OpenGameData(b);
    EXPECT_TRUE(rec.Messages.empty()) << rec.Messages.front();
    ASSERT_EQ(a.PbList.Count(), 1);
    ASSERT_EQ(b.PbList.Count(), 1);

    EXPECT_EQ(ConfigName(a), "Game A");
    EXPECT_EQ(ConfigName(b), "Game B");
    EXPECT_EQ(TableName(a), "Game A");
    EXPECT_EQ(TableName(b), "Game B");

    // Textures: each game reads its own.
    auto texA = LoadTexture(a, "data\\crate_co.paa", TextureLoad::Display);
    auto texB = LoadTexture(b, "data\\crate_co.paa", TextureLoad::Display);
    ASSERT_TRUE(texA);
    ASSERT_TRUE(texB);
    EXPECT_EQ(texA->TextureType, kTextureTypeARGB1555);
    EXPECT_EQ(texA->LevelCount(), 1);
    EXPECT_EQ(texB->TextureType, kTextureTypeDXT1);
    EXPECT_EQ(texB->LevelCount(), 2);
    EXPECT_TRUE(LoadTexture(a, "data\\only_a.paa", TextureLoad::Display));
    EXPECT_FALSE(LoadTexture(b, "data\\only_a.paa", TextureLoad::Display));
    EXPECT_TRUE(TTextureHeaderLookup(a).Header("data\\crate_co.paa")->Transparent);
    EXPECT_FALSE(TTextureHeaderLookup(b).Header("data\\crate_co.paa")->Transparent);

    // The editable crate converts with the texture flags of its own game.
    auto crateA = LoadModelFromArchives(a, "data\\crate.p3d");
    auto crateB = LoadModelFromArchives(b, "data\\crate.p3d");
    ASSERT_TRUE(crateA);
    ASSERT_TRUE(crateB);
    EXPECT_EQ(CrateFaceFlags(*crateA) & (FaceFlags::Transparent | FaceFlags::AlphaCompact),
              FaceFlags::Transparent | FaceFlags::AlphaCompact);
    EXPECT_EQ(CrateFaceFlags(*crateB) & (FaceFlags::Transparent | FaceFlags::AlphaCompact | FaceFlags::AlphaOther),
              0u);
    // The same through one archive of each.
    auto fromArchive = LoadModelFromArchive(b, *b.PbList.Archive(0), "data\\crate.p3d");
    ASSERT_TRUE(fromArchive);
    EXPECT_EQ(CrateFaceFlags(*fromArchive) & FaceFlags::Transparent, 0u);
    EXPECT_TRUE(LoadModelFromArchives(b, "data\\box.p3d"));
    EXPECT_FALSE(ReadModelFromArchives(a, "data\\box.p3d"));

    // Proxies follow their game's configuration (a path inside an archive)
    // into their game's archives.
    TLOD& lod = *crateA->LOD(0);
    TProxy inA(&lod), inB(&lod);
    inA.Name = inB.Name = "crate";
    TModel* proxyA = ResolveProxyModel(inA, a);
    TModel* proxyB = ResolveProxyModel(inB, b);
    ASSERT_NE(proxyA, nullptr);
    ASSERT_NE(proxyB, nullptr);
    EXPECT_EQ(proxyA->FileName, "data\\crate.p3d");
    EXPECT_EQ(proxyB->FileName, "data\\box.p3d");

    // A third game over game A's archive, opened a second time.
    TGameData c;
    c.PbList.AddArchive((dirA / "Dta" / "data.pbo").string(), false);
    EXPECT_TRUE(LoadTexture(c, "data\\only_a.paa", TextureLoad::Display));

    // Closing one leaves the other as it was.
    a.Close();
    EXPECT_EQ(a.PbList.Count(), 0);
    EXPECT_FALSE(a.GameConfig);
    EXPECT_FALSE(a.GameStringTable);
    EXPECT_FALSE(LoadTexture(a, "data\\crate_co.paa", TextureLoad::Display));
    EXPECT_TRUE(LoadTexture(b, "data\\crate_co.paa", TextureLoad::Display));
    EXPECT_TRUE(LoadTexture(c, "data\\only_a.paa", TextureLoad::Display));
    EXPECT_EQ(ConfigName(b), "Game B");
}

TEST(GameData, StringTableFromTheArchives)
{
    const fs::path dir = TempDir("game-archive-table");
    WriteFile(dir / "Dta" / "bin.pbo", StoredArchive({{"stringtable.csv", Text("LANGUAGE,English\nSTR_X,text\n")}}));
    TGameData game;
    game.PbList.AddArchive((dir / "Dta" / "bin.pbo").string(), false);
    const auto table = LoadStringTableFromArchive(game, "bin\\stringtable.csv");
    ASSERT_TRUE(table);
    ASSERT_NE(table->Find("str_x", "English"), nullptr);
    EXPECT_EQ(*table->Find("str_x", "English"), "text");
    EXPECT_FALSE(LoadStringTableFromArchive(game, "bin\\none.csv"));
    TGameData other;
    EXPECT_FALSE(LoadStringTableFromArchive(other, "bin\\stringtable.csv"));
}

TEST(GameData, StartUpPrefersTheBinarizedConfig)
{
    TRecordingServices rec;
    const fs::path dir = TempDir("game-start");
    const fs::path root = dir / "MyMod";
    WriteFile(root / "Bin" / "stringtable.csv", Text("LANGUAGE,English\nSTR_NAME,Table\n"));
    WriteFile(root / "Bin" / "config.cpp", Text(ConfigCpp("from text", "x")));
    WriteFile(dir / "source.cpp", Text(ConfigCpp("from binary", "x")));
    TResources binary;
    ASSERT_TRUE(binary.LoadFromFile((dir / "source.cpp").string()));
    ASSERT_TRUE(binary.SaveToFile((root / "Bin" / "config.bin").string(), kConfigBinary));
    WriteFile(root / "Dta" / "data.pbo", StoredArchive({{"a.txt", Text("a")}}));
    WriteFile(root / "AddOns" / "mine.pbo", StoredArchive({{"b.txt", Text("b")}}));
    // The game folder's own Bin is not read when a MOD folder is chosen.
    WriteFile(dir / "Bin" / "config.cpp", Text(ConfigCpp("game folder", "x")));

    TGameData game;
    game.GameFolder = dir.string();
    game.SetModFolder("MyMod");
    OpenGameData(game);
    EXPECT_TRUE(rec.Messages.empty()) << rec.Messages.front();
    EXPECT_EQ(rec.WaitDepth, 0);
    EXPECT_EQ(ConfigName(game), "from binary");
    EXPECT_EQ(game.GameConfig->FileKind, kConfigBinary);
    EXPECT_EQ(TableName(game), "Table");
    EXPECT_EQ(game.PbList.Count(), 2);
    const std::string binPath = (root / "Bin" / "config.bin").string();
    EXPECT_NE(std::find(rec.Status.begin(), rec.Status.end(), "Loading \"" + binPath + "\"..."), rec.Status.end());
    ASSERT_FALSE(rec.Status.empty());
    EXPECT_EQ(rec.Status.back(), "");

    // Without the binarized file the text is read.
    fs::remove(binPath);
    TGameData again;
    again.GameFolder = dir.string();
    again.SetModFolder("MyMod");
    OpenGameData(again);
    EXPECT_TRUE(rec.Messages.empty());
    EXPECT_EQ(ConfigName(again), "from text");
    // Opening again replaces what was loaded.
    again.SetModFolder("");
    OpenGameData(again);
    EXPECT_EQ(ConfigName(again), "game folder");
}

TEST(GameData, MissingAndBrokenFilesGiveBoxes)
{
    TRecordingServices rec;
    const fs::path dir = TempDir("game-missing");
    TGameData game;
    game.GameFolder = dir.string();
    OpenGameData(game);
    const std::string table = (dir / "Bin" / "stringtable.csv").string();
    const std::string bin = (dir / "Bin" / "config.bin").string();
    const std::string cpp = (dir / "Bin" / "config.cpp").string();
    ASSERT_EQ(rec.Messages.size(), 2u);
    EXPECT_EQ(rec.Messages[0], "File \"" + table + "\" not loaded!");
    EXPECT_EQ(rec.Messages[1], "Neither \"" + bin + "\" nor \"" + cpp + "\" were found.");
    EXPECT_EQ(rec.MessageKinds, (std::vector<TMessageKind>{TMessageKind::Warning, TMessageKind::Warning}));
    EXPECT_FALSE(game.GameStringTable);
    EXPECT_FALSE(game.GameConfig);
    EXPECT_EQ(game.PbList.Count(), 0);
    EXPECT_EQ(rec.WaitDepth, 0);

    // A config that does not load is an error box with the reader's message;
    // the loads after it still run.
    rec.Messages.clear();
    rec.MessageKinds.clear();
    WriteFile(dir / "Bin" / "stringtable.csv", Text("LANGUAGE,English\nSTR_NAME,Table\n"));
    WriteFile(dir / "Bin" / "config.cpp", Text("class A {\n  x = ;\n  = 5;\n};"));
    WriteFile(dir / "Dta" / "data.pbo", StoredArchive({{"a.txt", Text("a")}}));
    OpenGameData(game);
    ASSERT_EQ(rec.Messages.size(), 1u);
    EXPECT_EQ(rec.MessageKinds[0], TMessageKind::Error);
    EXPECT_EQ(rec.Messages[0].rfind("File \"" + cpp + "\" not loaded:\r[Cpp Loaded] ", 0), 0u) << rec.Messages[0];
    EXPECT_NE(rec.Messages[0].find("line: 3"), std::string::npos) << rec.Messages[0];
    EXPECT_FALSE(game.GameConfig);
    EXPECT_EQ(TableName(game), "Table");
    EXPECT_EQ(game.PbList.Count(), 1);

    // A binarized config of the later game's layout says so.
    rec.Messages.clear();
    rec.MessageKinds.clear();
    WriteFile(dir / "Bin" / "config.bin", {0, 'r', 'a', 'P', 0, 0, 0, 0, 8, 0, 0, 0, 0, 0, 0, 0});
    OpenGameData(game);
    ASSERT_EQ(rec.Messages.size(), 1u);
    EXPECT_EQ(rec.MessageKinds[0], TMessageKind::Error);
    EXPECT_EQ(rec.Messages[0].rfind("File \"" + bin + "\" not loaded:\runsupported version 0", 0), 0u)
        << rec.Messages[0];
    EXPECT_NE(rec.Messages[0].find("later game"), std::string::npos);

    // An archive whose headers raise is an error box too.
    rec.Messages.clear();
    rec.MessageKinds.clear();
    fs::remove(dir / "Bin" / "config.bin");
    WriteFile(dir / "Bin" / "config.cpp", Text("x = 1;"));
    game.PbList.CloseAll();  // Windows does not let an open archive be rewritten
    WriteFile(dir / "Dta" / "data.pbo", StoredArchive({{"a.txt", Text("a")}, {"A.TXT", Text("b")}}));
    OpenGameData(game);
    ASSERT_EQ(rec.Messages.size(), 1u);
    EXPECT_EQ(rec.MessageKinds[0], TMessageKind::Error);
    EXPECT_EQ(rec.Messages[0], "String list does not allow duplicates");
    EXPECT_TRUE(game.GameConfig);
    EXPECT_EQ(rec.WaitDepth, 0);
}
