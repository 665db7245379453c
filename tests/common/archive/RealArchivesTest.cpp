// Archives made by others: both start with a header entry or not, end with a
// checksum trailer, list and extract, through the file and the archive list.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>

#include "Archive/PbExtract.h"
#include "Archive/PbList.h"
#include "Config/Resources.h"
#include "Core/Strings.h"
#include "TestSupport.h"

using namespace mc;
using namespace mc::test;
namespace fs = std::filesystem;

namespace {

bool IsText(const std::vector<uint8_t>& bytes)
{
    return std::none_of(bytes.begin(), bytes.end(), [](uint8_t b) { return b == 0; });
}

}  // namespace

TEST(RealArchives, ListAndExtract)
{
    const auto files = RealFiles("pbo", ".pbo");
    if (files.empty()) GTEST_SKIP() << "no real archives here";
    for (const auto& path : files) {
        TRecordingServices rec;
        TPbFile archive;
        ASSERT_TRUE(archive.Open(path.string())) << path;
        ASSERT_FALSE(archive.Entries().empty()) << path;
        // The data blocks lie back to back up to the trailer: 21 bytes, or
        // none in some of the game's own archives.
        const TPbFileItem* last = archive.Entries().back();
        const uint64_t end = uint64_t(last->DataOffset) + uint64_t(last->DataSize);
        const uint64_t trailer = fs::file_size(path) - end;
        EXPECT_TRUE(trailer == 21u || trailer == 0u) << path << ": " << trailer;

        const fs::path out = TempDir("realpbo-" + path.stem().string());
        const TExtractSummary s = ExtractToFolder(archive, out.string());
        EXPECT_EQ(s.Extracted, static_cast<int>(archive.Entries().size())) << path;
        EXPECT_TRUE(rec.Log.empty()) << path << ": " << rec.Log.front();
        EXPECT_TRUE(rec.Messages.empty()) << path;

        // Each entry is known by its kind: scripts and configs as text,
        // binarized configs (config.bin, a binarized mission.sqm) by their
        // signature.
        for (const TPbFileItem* item : archive.Entries()) {
            const std::string ext = LowerExt(item->Name);
            std::string relName = item->Name;
            std::replace(relName.begin(), relName.end(), '\\', '/');
            const auto bytes = ReadFileBytes(out / relName);
            EXPECT_EQ(static_cast<int64_t>(bytes.size()), item->Size()) << item->Name;
            const bool binarized = bytes.size() >= 4 && std::equal(bytes.begin(), bytes.begin() + 4, "\0raP");
            static const std::set<std::string> textKinds = {".cpp", ".hpp", ".h",   ".ext",  ".sqm", ".sqs",
                                                            ".sqf", ".csv", ".txt", ".html", ".cfg", ".inc"};
            if (ext == ".bin") {
                EXPECT_TRUE(binarized) << item->Name;
            } else if (textKinds.count(ext) && !binarized) {
                EXPECT_TRUE(IsText(bytes)) << item->Name;
            }
        }
    }
}

TEST(RealArchives, LookupThroughTheList)
{
    const auto files = RealFiles("pbo", ".pbo");
    if (files.empty()) GTEST_SKIP() << "no real archives here";
    TPbList list;
    for (const auto& path : files) list.AddArchive(path.string(), true);
    ASSERT_EQ(list.Count(), static_cast<int>(files.size()));
    auto config = list.Extract("\\a3_hemtt_main\\CONFIG.BIN");
    ASSERT_TRUE(config);
    EXPECT_EQ(config->Size(), 352);
    auto mission = list.Extract("a3_exported_mission.vr\\functions\\frontlinedrawer\\fn_padinterppts.sqf");
    ASSERT_TRUE(mission);
    EXPECT_EQ(mission->Size(), 1379);
    for (int i = 0; i < list.Count(); ++i) {
        TPbFile& archive = *list.Archive(i);
        archive.BuildTree();
        EXPECT_GT(archive.Root.Items.Count(), 0);
    }
}

// The configs inside reach the project's config reader intact: they are of
// the later game's layout, so the reader refuses them, and where it stops
// shows that every byte before that point came out right.
TEST(RealArchives, ConfigsReachTheConfigReader)
{
    const auto files = RealFiles("pbo", ".pbo");
    if (files.empty()) GTEST_SKIP() << "no real archives here";
    TRecordingServices rec;
    TPbList list;
    for (const auto& path : files) list.AddArchive(path.string(), false);

    struct TCase {
        const char* GamePath;
        bool Binarized;
        const char* Error;
    };
    const char* laterLayout =
        "unsupported version 0 (2 or later expected): the layout of a later game's binarized configs, not supported";
    const TCase cases[] = {
        // Signature, then a version the older game never wrote.
        {"a3_hemtt_main\\config.bin", true, laterLayout},
        {"a3_exported_mission.vr\\mission.sqm", true, laterLayout},
        // Read as text up to the first forward class declaration.
        {"a3_exported_mission.vr\\description.ext", false, "line: 9, pos: 28"},
    };
    for (const TCase& c : cases) {
        auto stream = list.Extract(c.GamePath);
        ASSERT_TRUE(stream) << c.GamePath;
        TResources config;
        const bool loaded = c.Binarized ? config.LoadBinary(c.GamePath, *stream) : config.LoadText(c.GamePath, *stream);
        EXPECT_FALSE(loaded) << c.GamePath;
        EXPECT_NE(config.ErrorMessage.find(c.Error), std::string::npos) << c.GamePath << ": " << config.ErrorMessage;
    }
}
