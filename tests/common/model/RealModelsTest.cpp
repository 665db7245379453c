// Real models made by others: every ODOL one loads and saves back to the
// same bytes; editable ones are refused cleanly.
#include <gtest/gtest.h>

#include "Core/Stream.h"
#include "Model/Model.h"
#include "Model/ModelLoader.h"
#include "Model/Odol.h"
#include "TestSupport.h"

using namespace mc;

namespace {

bool IsOdol(const std::vector<uint8_t>& bytes)
{
    return bytes.size() >= 4 && std::equal(bytes.begin(), bytes.begin() + 4, "ODOL");
}

}  // namespace

TEST(RealModels, OdolFilesLoadAndSaveByteIdentical)
{
    const auto files = test::RealFiles("p3d", ".p3d");
    if (files.empty()) GTEST_SKIP() << "no real models here";
    int odol = 0;
    for (const auto& path : files) {
        const auto bytes = test::ReadFileBytes(path);
        if (!IsOdol(bytes)) continue;
        ++odol;
        test::TRecordingServices rec;
        auto model = LoadModelFromMemory(bytes.data(), bytes.size(), path.filename().string());
        ASSERT_TRUE(model) << path << ": " << (rec.Log.empty() ? "" : rec.Log.back());
        EXPECT_TRUE(rec.Log.empty());

        // Special LODs are named from the resolution table. A kind may share
        // another kind's LOD (the Geometry LOD often serves as Fire Geometry).
        for (int k = 0; k < kSpecialLODKindCount; ++k) {
            if (const TLOD* lod = model->SpecialLODPtr(k)) {
                EXPECT_GE(ResolutionRow(lod->Resolution), 0) << path;
            }
        }
        if (const TLOD* geometry = model->SpecialLODPtr(SpecialGeometry)) {
            EXPECT_EQ(geometry->Name(), "Geometry");
        }

        // Placement recomputed from the first face agrees with the stored one.
        for (const auto& lod : model->LODs)
            for (const auto& proxy : lod->Proxies) {
                if (!proxy->HasCorners) continue;
                const auto stored = *proxy->StoredPlacement;
                const auto held = proxy->Placement();
                for (int i = 0; i < 4; ++i) EXPECT_LT(Length(stored[i] - held[i]), 1e-5f) << path << " " << proxy->Name;
            }

        model->SaveFlags = SaveFlags::Animation;
        TMemoryStream out;
        ASSERT_TRUE(SaveOdol(*model, out));
        EXPECT_TRUE(out.Bytes() == bytes) << path << " differs after saving";
    }
    EXPECT_GT(odol, 0);
}

TEST(RealModels, EditableFilesAreRefusedForNow)
{
    const auto files = test::RealFiles("p3d", ".p3d");
    if (files.empty()) GTEST_SKIP() << "no real models here";
    for (const auto& path : files) {
        const auto bytes = test::ReadFileBytes(path);
        if (IsOdol(bytes)) continue;
        test::TRecordingServices rec;
        EXPECT_EQ(LoadModelFromMemory(bytes.data(), bytes.size(), "x.p3d"), nullptr) << path;
        ASSERT_EQ(rec.Log.size(), 2u);
        EXPECT_EQ(rec.Log[0], "Warning: MLOD (demo) model format!");
    }
}

TEST(RealModels, TruncatedRealModelIsRefused)
{
    const auto files = test::RealFiles("p3d", ".p3d");
    if (files.empty()) GTEST_SKIP() << "no real models here";
    for (const auto& path : files) {
        const auto bytes = test::ReadFileBytes(path);
        if (!IsOdol(bytes) || bytes.size() > 600000) continue;
        for (size_t cut : {bytes.size() - 1, bytes.size() / 2, bytes.size() / 3, size_t{100}}) {
            test::TRecordingServices rec;
            EXPECT_EQ(LoadModelFromMemory(bytes.data(), cut, "x.p3d"), nullptr) << path << " cut at " << cut;
        }
    }
}
