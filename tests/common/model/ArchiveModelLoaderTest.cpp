// Models loaded out of a game's archives, from one archive and by game path.
#include <gtest/gtest.h>

#include "Archive/PbList.h"
#include "ArchiveBuilder.h"
#include "DemoModel.h"
#include "FileTree.h"
#include "Game/GameData.h"
#include "Model/ArchiveModelLoader.h"
#include "Model/Model.h"
#include "Model/Odol.h"
#include "TestSupport.h"

using namespace mc;
using namespace mc::test;

namespace {

std::vector<uint8_t> CrateBytes()
{
    auto model = demo::MakeCrateModel();
    TMemoryStream out;
    EXPECT_TRUE(SaveOdol(*model, out));
    return out.Bytes();
}

}  // namespace

TEST(ArchiveModelLoader, FromArchiveAndThroughTheGameArchives)
{
    TRecordingServices rec;
    TGameData game;
    const auto crate = CrateBytes();
    const auto bytes = BuildArchive({Packed("data3d\\crate.p3d", crate), {"data3d\\bad.p3d", Bytes("nonsense")}});
    auto archive = OpenBytes(bytes, "Dta/models.pbo");
    ASSERT_TRUE(archive);

    auto model = LoadModelFromArchive(game, *archive, "models\\data3d\\crate.p3d");
    ASSERT_TRUE(model);
    EXPECT_EQ(model->FileName, "models\\data3d\\crate.p3d");
    EXPECT_EQ(model->LODs.size(), demo::MakeCrateModel()->LODs.size());
    EXPECT_FALSE(LoadModelFromArchive(game, *archive, "models\\data3d\\none.p3d"));
    EXPECT_TRUE(rec.Log.empty());
    // An entry that is not a model: the loader says why.
    EXPECT_FALSE(LoadModelFromArchive(game, *archive, "models\\data3d\\bad.p3d"));
    ASSERT_EQ(rec.Log.size(), 1u);
    EXPECT_EQ(rec.Log.back(), "Cannot load \"models\\data3d\\bad.p3d\": unknown model format");

    // No archive open: not found, and the refusal says so.
    auto missing = ReadModelFromArchives(game, "models\\data3d\\crate.p3d");
    EXPECT_FALSE(missing);
    EXPECT_EQ(rec.Log.back(), "Model file \"models\\data3d\\crate.p3d\" not found.");
    EXPECT_EQ(missing.Reason, rec.Log.back());
    EXPECT_FALSE(LoadModelFromArchives(game, "models\\data3d\\crate.p3d"));

    const auto path = TempDir("archive-model-loader") / "Models.pbo";
    WriteFile(path, bytes);
    game.PbList.AddArchive(path.string(), true);
    auto found = ReadModelFromArchives(game, "models\\data3d\\crate.p3d");
    ASSERT_TRUE(found);
    EXPECT_TRUE(found.Reason.empty());
    EXPECT_EQ(found->FileName, "models\\data3d\\crate.p3d");
    EXPECT_TRUE(LoadModelFromArchives(game, "\\models\\DATA3D\\Crate.p3d"));

    // A refused entry: the reason is the one logged.
    const size_t lines = rec.Log.size();
    auto bad = ReadModelFromArchives(game, "models\\data3d\\bad.p3d");
    EXPECT_FALSE(bad);
    EXPECT_EQ(bad.Reason, "unknown model format");
    ASSERT_EQ(rec.Log.size(), lines + 1);
    EXPECT_EQ(rec.Log.back(), "Cannot load \"models\\data3d\\bad.p3d\": unknown model format");
}
