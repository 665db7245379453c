// The configs of the real-data folder: what loads round-trips through both
// forms; what cannot load is refused with the right message.
#include <gtest/gtest.h>

#include <filesystem>

#include "ConfigTestSupport.h"
#include "TestSupport.h"

namespace mc::test {
namespace {

namespace fs = std::filesystem;

struct TRealConfig {
    const char* Path;
    bool NeedsAddOnFolder;  // its includes name the add-on as OWP_Mi8
};

void CheckRoundTrips(const fs::path& path, const std::vector<std::string>& includeFolders)
{
    TResources doc;
    doc.IncludeFolders = includeFolders;
    ASSERT_TRUE(doc.LoadFromFile(path.string())) << doc.ErrorMessage;
    EXPECT_GT(doc.RootClass->MemberCount(), 0);
    const std::string text = ConfigText(doc);

    // text -> text
    TResources again;
    ASSERT_TRUE(LoadConfigText(again, text)) << again.ErrorMessage;
    EXPECT_EQ(ConfigText(again), text);

    // text -> binarized -> text, and binarized -> read -> binarized
    const std::vector<uint8_t> bytes = ConfigBinary(doc);
    ASSERT_FALSE(bytes.empty()) << doc.ErrorMessage;
    TResources fromBinary;
    ASSERT_TRUE(LoadConfigBinary(fromBinary, bytes)) << fromBinary.ErrorMessage;
    EXPECT_EQ(ConfigText(fromBinary), text);
    EXPECT_EQ(ConfigBinary(fromBinary), bytes);
}

TEST(RealConfigs, LoadAndRoundTrip)
{
    const fs::path root = RealDataDir();
    if (root.empty()) GTEST_SKIP() << "no real data here";
    // A folder in which OWP_Mi8 names the add-on's folder.
    const fs::path addOns = TempDir("config-addons");
    std::error_code ec;
    fs::create_directory_symlink(root / "cpp" / "owp_hip", addOns / "OWP_Mi8", ec);
    if (ec) {
        // Where links cannot be made (Windows without the right), a copy.
        ec.clear();
        fs::copy(root / "cpp" / "owp_hip", addOns / "OWP_Mi8", fs::copy_options::recursive, ec);
    }
    for (const TRealConfig& c : {TRealConfig{"cpp/mpiv_ah64_config.cpp", false},
                                 TRealConfig{"ext/tzk101_description.ext", false},
                                 TRealConfig{"cpp/owp_hip/config.cpp", true}}) {
        SCOPED_TRACE(c.Path);
        if (c.NeedsAddOnFolder && ec) {
            ADD_FAILURE() << "cannot make the add-on folder link: " << ec.message();
            continue;
        }
        CheckRoundTrips(root / c.Path, c.NeedsAddOnFolder ? std::vector<std::string>{addOns.string()}
                                                          : std::vector<std::string>{});
    }
}

TEST(RealConfigs, SpotValues)
{
    const fs::path root = RealDataDir();
    if (root.empty()) GTEST_SKIP() << "no real data here";
    TResources doc;
    ASSERT_TRUE(doc.LoadFromFile((root / "cpp" / "mpiv_ah64_config.cpp").string())) << doc.ErrorMessage;
    const TRClass* patch = doc.RootClass->FindPath({"CfgPatches", "MPIV_AH64"});
    ASSERT_NE(patch, nullptr);
    EXPECT_FLOAT_EQ(patch->FindField("requiredVersion")->ValueFloat(), 1.91f);
    const auto* units = patch->FindField("units");
    ASSERT_TRUE(units && units->IsArrayField());
    EXPECT_EQ(static_cast<const TRArray&>(*units->Value).Count(), 21);

    TResources ext;
    ASSERT_TRUE(ext.LoadFromFile((root / "ext" / "tzk101_description.ext").string())) << ext.ErrorMessage;
    EXPECT_EQ(ext.RootClass->Name, "tzk101_description.ext");
}

TEST(RealConfigs, MissingIncludesAndForeignFilesAreRefused)
{
    const fs::path root = RealDataDir();
    if (root.empty()) GTEST_SKIP() << "no real data here";
    TRecordingServices services;
    for (const char* name : {"cpp/tzk_objects_config.cpp", "cpp/tzk210_TZK_Effects_config.cpp"}) {
        TResources doc;
        EXPECT_FALSE(doc.LoadFromFile((root / name).string())) << name;
        EXPECT_EQ(doc.ErrorMessage.rfind("[Cpp Loaded] cannot open include file \"", 0), 0u) << doc.ErrorMessage;
        EXPECT_NE(doc.ErrorMessage.find("line: "), std::string::npos);
        EXPECT_NE(doc.ErrorMessage.find("pos: 10"), std::string::npos);
    }
    TResources later;
    EXPECT_FALSE(later.LoadFromFile((root / "bin" / "a3_cfgconvert_numbers.bin").string()));
    EXPECT_EQ(later.ErrorMessage, "unsupported version 0 (2 or later expected): the layout of a later game's "
                                  "binarized configs, not supported, stream pos: 0x00000008");
    TResources headers;
    EXPECT_FALSE(headers.LoadFromFile((root / "bin" / "a3_texHeaders.bin").string()));
    EXPECT_EQ(headers.ErrorMessage, "signature mismatch, stream pos: 0x00000004");
}

}  // namespace
}  // namespace mc::test
