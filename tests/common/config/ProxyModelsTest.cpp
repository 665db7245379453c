// Proxies find their models through a game's configuration and archives.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "Archive/PbList.h"
#include "Core/Strings.h"
#include "ConfigTestSupport.h"
#include "DemoModel.h"
#include "Game/GameData.h"
#include "Model/LOD.h"
#include "Model/Model.h"
#include "Model/Odol.h"
#include "Model/ProxyModels.h"
#include "TestSupport.h"

namespace mc::test {
namespace {

namespace fs = std::filesystem;

void WriteBytes(const fs::path& path, const std::vector<uint8_t>& bytes)
{
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
}

// An archive of the files under folder, named after out.
void Pack(const fs::path& folder, const std::vector<fs::path>& files, const fs::path& out)
{
    fs::create_directories(out.parent_path());
    TPbFile archive;
    ASSERT_TRUE(archive.CreateNew(out.string()));
    archive.SetSourcePrefix(folder.string());
    std::vector<std::string> names;
    for (const auto& f : files) names.push_back(f.string());
    ASSERT_TRUE(archive.AddSourceFiles(names));
    ASSERT_TRUE(archive.WriteArchive());
}

TEST(ProxyModels, ModelPathFromTheConfig)
{
    TResources config;
    ASSERT_TRUE(LoadConfigText(config,
                               "class CfgNonAIVehicles {\n"
                               "  class ProxyWeapon { model = \"weapon\"; };\n"
                               "  class ProxySight : ProxyWeapon { };\n"
                               "  class ProxyEmpty { model = \"\"; };\n"
                               "  class ProxyNone { };\n"
                               "};"));
    TProxy p(nullptr);
    p.Name = "weapon";
    EXPECT_EQ(ProxyModelPath(p, &config), "weapon");
    p.Name = "SIGHT";
    EXPECT_EQ(ProxyModelPath(p, &config), "weapon");  // inherited
    p.Name = "empty";
    EXPECT_EQ(ProxyModelPath(p, &config), "");
    p.Name = "none";
    EXPECT_EQ(ProxyModelPath(p, &config), "");
    p.Name = "other";
    EXPECT_EQ(ProxyModelPath(p, &config), "other");
    EXPECT_EQ(ProxyModelPath(p, nullptr), "other");
}

TEST(ProxyModels, ResolvedFromTheArchives)
{
    TRecordingServices services;
    const fs::path dir = TempDir("config-proxies");
    TMemoryStream crate;
    ASSERT_TRUE(SaveOdol(*demo::MakeCrateModel(), crate));
    WriteBytes(dir / "src1" / "note.txt", {'n'});
    WriteBytes(dir / "src2" / "sub" / "box.p3d", crate.Bytes());
    Pack(dir / "src1", {dir / "src1" / "note.txt"}, dir / "Dta" / "first.pbo");
    Pack(dir / "src2", {dir / "src2" / "sub" / "box.p3d"}, dir / "Dta" / "second.pbo");
    TGameData game;
    game.PbList.AddArchive((dir / "Dta" / "first.pbo").string(), false);
    game.PbList.AddArchive((dir / "Dta" / "second.pbo").string(), false);
    ASSERT_EQ(game.PbList.Count(), 2);

    game.GameConfig = std::make_unique<TResources>();
    ASSERT_TRUE(LoadConfigText(*game.GameConfig,
                               "class CfgNonAIVehicles {\n"
                               "  class ProxyCrate { model = \"\\sub\\box\"; };\n"
                               "  class ProxyEmpty { model = \"\"; };\n"
                               "};"));
    auto model = demo::MakeCrateModel();
    TLOD& lod = *model->LOD(0);
    lod.Proxies.clear();
    for (const char* name : {"crate", "sub\\box", "empty", "missing"}) {
        lod.Proxies.push_back(std::make_unique<TProxy>(&lod));
        lod.Proxies.back()->Name = name;
    }
    TProxy& byClass = *lod.Proxies[0];
    TProxy& byName = *lod.Proxies[1];
    TProxy& empty = *lod.Proxies[2];
    TProxy& missing = *lod.Proxies[3];

    TModel* loaded = ResolveProxyModel(byClass, game);
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded, byClass.ProxyModel.get());
    EXPECT_EQ(loaded->FileName, "second\\sub\\box.p3d");
    // A proxy that has its model already gets nothing new.
    EXPECT_EQ(ResolveProxyModel(byClass, game), nullptr);
    EXPECT_NE(ResolveProxyModel(byName, game), nullptr);
    EXPECT_EQ(ResolveProxyModel(empty, game), nullptr);
    EXPECT_EQ(ResolveProxyModel(missing, game), nullptr);
    EXPECT_EQ(empty.ProxyModel, nullptr);

    // Only proxies switched on are resolved; all of them must get a model.
    byClass.ProxyModel.reset();
    byName.ProxyModel.reset();
    byClass.ShowModel = byName.ShowModel = true;
    EXPECT_TRUE(ResolveProxyModels(lod, game));
    EXPECT_FALSE(ResolveProxyModels(lod, game));  // nothing new this time
    missing.ShowModel = true;
    byClass.ProxyModel.reset();
    EXPECT_FALSE(ResolveProxyModels(lod, game));
    EXPECT_NE(byClass.ProxyModel, nullptr);
}

TEST(ProxyModels, ConfigPathWithItsExtension)
{
    TRecordingServices services;
    const fs::path dir = TempDir("config-proxy-extension");
    TMemoryStream crate;
    ASSERT_TRUE(SaveOdol(*demo::MakeCrateModel(), crate));
    WriteBytes(dir / "src" / "sub" / "box.p3d", crate.Bytes());
    Pack(dir / "src", {dir / "src" / "sub" / "box.p3d"}, dir / "Dta" / "models.pbo");
    TGameData game;
    game.PbList.AddArchive((dir / "Dta" / "models.pbo").string(), false);
    ASSERT_EQ(game.PbList.Count(), 1);

    // Addon configs often name the model file with its extension.
    game.GameConfig = std::make_unique<TResources>();
    ASSERT_TRUE(LoadConfigText(*game.GameConfig,
                               "class CfgNonAIVehicles {\n"
                               "  class ProxyLower { model = \"\\sub\\box.p3d\"; };\n"
                               "  class ProxyUpper { model = \"\\sub\\BOX.P3D\"; };\n"
                               "};"));
    auto model = demo::MakeCrateModel();
    TLOD& lod = *model->LOD(0);
    for (const char* name : {"Lower", "Upper"}) {
        TProxy proxy(&lod);
        proxy.Name = name;
        TModel* loaded = ResolveProxyModel(proxy, game);
        ASSERT_NE(loaded, nullptr) << name;
        EXPECT_EQ(LowerCase(loaded->FileName), "models\\sub\\box.p3d");
    }
}

}  // namespace
}  // namespace mc::test
