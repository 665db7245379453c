// Models loaded out of archives, directly and through the archive list.
#include <gtest/gtest.h>

#include "Archive/PbList.h"
#include "ArchiveBuilder.h"
#include "DemoModel.h"
#include "FileTree.h"
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

TEST(ArchiveModelLoader, FromArchiveAndThroughTheList)
{
    TRecordingServices rec;
    const auto crate = CrateBytes();
    const auto bytes = BuildArchive({Packed("data3d\\crate.p3d", crate), {"data3d\\bad.p3d", Bytes("nonsense")}});
    auto archive = OpenBytes(bytes, "Dta/models.pbo");
    ASSERT_TRUE(archive);

    auto model = LoadModelFromArchive(*archive, "models\\data3d\\crate.p3d");
    ASSERT_TRUE(model);
    EXPECT_EQ(model->FileName, "models\\data3d\\crate.p3d");
    EXPECT_EQ(model->LODs.size(), demo::MakeCrateModel()->LODs.size());
    EXPECT_FALSE(LoadModelFromArchive(*archive, "models\\data3d\\none.p3d"));
    EXPECT_TRUE(rec.Log.empty());
    // An entry that is not a model: the loader says why.
    EXPECT_FALSE(LoadModelFromArchive(*archive, "models\\data3d\\bad.p3d"));
    ASSERT_EQ(rec.Log.size(), 1u);

    TPbList list;
    TScopedPbList bound(&list);
    EXPECT_FALSE(LoadModelFromArchives("models\\data3d\\crate.p3d"));
    EXPECT_EQ(rec.Log.back(), "Model file \"models\\data3d\\crate.p3d\" not found.");
    {
        TScopedPbList none(nullptr);
        const size_t lines = rec.Log.size();
        EXPECT_FALSE(LoadModelFromArchives("models\\data3d\\crate.p3d"));
        EXPECT_EQ(rec.Log.size(), lines);
    }
    const auto path = TempDir("archive-model-loader") / "Models.pbo";
    WriteFile(path, bytes);
    list.AddArchive(path.string(), true);
    model = LoadModelFromArchives("models\\data3d\\crate.p3d");
    ASSERT_TRUE(model);
    EXPECT_EQ(model->FileName, "models\\data3d\\crate.p3d");
    EXPECT_TRUE(LoadModelFromArchives("\\models\\DATA3D\\Crate.p3d"));
}
