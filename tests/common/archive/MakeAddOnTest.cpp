// Make AddOn: the boxes, the archive list before and after, and the archive
// that was there before.
#include <gtest/gtest.h>

#include <filesystem>

#include "Archive/MakeAddOn.h"
#include "Archive/PbList.h"
#include "ArchiveBuilder.h"
#include "FileTree.h"
#include "TestSupport.h"

using namespace mc;
using namespace mc::test;
namespace fs = std::filesystem;

namespace {

struct TAddOnSetup {
    // A folder of each test's own: ctest runs the tests side by side.
    fs::path Dir = TempDir(std::string("makeaddon-") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    TAddOnOptions Options;

    TAddOnSetup()
    {
        WriteFile(Dir / "src" / "a.txt", Bytes("a"));
        WriteFile(Dir / "src" / "sub" / "b.p3d", Bytes("bb"));
        fs::create_directories(Dir / "AddOns");
        Options.SourceFolder = (Dir / "src").string();
        Options.DestFile = (Dir / "AddOns" / "mine.pbo").string();
        Options.AddToPbManager = false;
    }
};

}  // namespace

TEST(MakeAddOn, OptionTexts)
{
    EXPECT_EQ(AddOnSourceFolder("  C:\\Work\\Tank\\  "), "C:\\Work\\Tank");
    EXPECT_EQ(AddOnDestFile("/game", "  "), "");
    // The data root is the game folder followed by the MOD folder.
#ifdef _WIN32
    EXPECT_EQ(AddOnDestFile("C:\\Game\\Mod", " tank "), "C:\\Game\\Mod\\AddOns\\tank.pbo");
    EXPECT_EQ(AddOnDestFile("C:\\Game", "tank"), "C:\\Game\\AddOns\\tank.pbo");
#else
    EXPECT_EQ(AddOnDestFile("/game\\Mod", " tank "), "/game/Mod/AddOns/tank.pbo");
    EXPECT_EQ(AddOnDestFile("/game", "tank"), "/game/AddOns/tank.pbo");
#endif
}

TEST(MakeAddOn, WritesAndListsAsGameArchive)
{
    test::TRecordingServices rec;
    TAddOnSetup s;
    s.Options.AddToPbManager = true;
    TPbList list;
    EXPECT_TRUE(MakeAddOn(s.Options, &list));
    ASSERT_EQ(rec.Messages.size(), 1u);
    EXPECT_EQ(rec.Messages[0], "OK Created");
    EXPECT_EQ(rec.WaitDepth, 0);
    // Added only because of the option: as a game archive.
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list.Key(0), "mine");
    auto b = list.Extract("mine\\sub\\b.p3d");
    ASSERT_TRUE(b);
    EXPECT_EQ(b->Bytes(), Bytes("bb"));

    // Without the option and not open before: not listed. (The first list
    // lets the archive go: Windows does not replace a file open elsewhere.)
    list.CloseAll();
    TPbList other;
    s.Options.AddToPbManager = false;
    EXPECT_TRUE(MakeAddOn(s.Options, &other));
    EXPECT_EQ(other.Count(), 0);
}

TEST(MakeAddOn, RemakeKeepsTheKindOfAnOpenArchive)
{
    test::TRecordingServices rec;
    TAddOnSetup s;
    WriteFile(s.Options.DestFile, BuildArchive({{"old.txt", Bytes("old")}}));
    TPbList list;
    list.AddArchive(s.Options.DestFile, true);
    ASSERT_EQ(list.Key(0), "\\mine");

    EXPECT_TRUE(MakeAddOn(s.Options, &list));
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list.Key(0), "\\mine");
    EXPECT_FALSE(list.Extract("\\mine\\old.txt"));
    EXPECT_TRUE(list.Extract("\\mine\\a.txt"));
}

TEST(MakeAddOn, EmptyFolderAndMissingDestination)
{
    test::TRecordingServices rec;
    TAddOnSetup s;
    fs::create_directories(s.Dir / "empty");
    TAddOnOptions empty = s.Options;
    empty.SourceFolder = (s.Dir / "empty").string();
    EXPECT_FALSE(MakeAddOn(empty, nullptr));
    ASSERT_EQ(rec.Messages.size(), 1u);
    EXPECT_EQ(rec.Messages[0], "There are no files in the source folder \"" + empty.SourceFolder + "\"!");

    // The archive already there is still listed when the option asks for it.
    WriteFile(empty.DestFile, BuildArchive({{"old.txt", Bytes("old")}}));
    empty.AddToPbManager = true;
    TPbList list;
    EXPECT_FALSE(MakeAddOn(empty, &list));
    EXPECT_EQ(list.Count(), 1);
    EXPECT_TRUE(list.Extract("mine\\old.txt"));

    // Only sub-folder files and no recursion: nothing either.
    TAddOnOptions flat = s.Options;
    fs::remove(s.Dir / "src" / "a.txt");
    flat.Recursive = false;
    EXPECT_FALSE(MakeAddOn(flat, nullptr));

    TAddOnOptions nowhere = s.Options;
    nowhere.DestFile = (s.Dir / "NoAddOns" / "mine.pbo").string();
    EXPECT_FALSE(MakeAddOn(nowhere, nullptr));
    EXPECT_EQ(rec.Messages.back().rfind("Cannot create file \"" + nowhere.DestFile + "\":\r", 0), 0u)
        << rec.Messages.back();
    EXPECT_FALSE(fs::exists(s.Dir / "NoAddOns"));
}

TEST(MakeAddOn, FailureLeavesTheListAsItWas)
{
    test::TRecordingServices rec;
    TAddOnSetup s;
    const auto old = BuildArchive({{"old.txt", Bytes("old")}});
    WriteFile(s.Options.DestFile, old);
    TPbList list;
    list.AddArchive(s.Options.DestFile, false);
    TAddOnOptions bad = s.Options;
    bad.DestFile = (s.Dir / "AddOns").string();  // a folder
    bad.AddToPbManager = true;
    EXPECT_FALSE(MakeAddOn(bad, &list));
    EXPECT_EQ(rec.Messages.back().rfind("Cannot create file", 0), 0u);
    EXPECT_EQ(ReadFileBytes(s.Options.DestFile), old);
    EXPECT_EQ(list.Count(), 1);
    EXPECT_TRUE(list.Extract("mine\\old.txt"));
}
