// The archive list: keys, the add-on rule, game-path lookup and removal.
#include <gtest/gtest.h>

#include <filesystem>

#include "Archive/PbList.h"
#include "ArchiveBuilder.h"
#include "FileTree.h"
#include "TestSupport.h"

using namespace mc;
using namespace mc::test;
namespace fs = std::filesystem;

namespace {

void WriteArchive(const fs::path& path, const std::vector<TEntrySpec>& entries)
{
    WriteFile(path, BuildArchive(entries));
}

std::string Content(const TPbList& list, const std::string& gamePath)
{
    auto stream = list.Extract(gamePath);
    if (!stream) return "<none>";
    EXPECT_EQ(stream->Position(), 0);
    return std::string(stream->Bytes().begin(), stream->Bytes().end());
}

// A game folder with Dta\data3d.pbo, AddOns\Data3D.pbo and AddOns\MyAddon.pbo.
fs::path MakeGameFolder(const std::string& name, const std::string& mod = {})
{
    const fs::path game = TempDir(name);
    const fs::path root = mod.empty() ? game : game / mod;
    WriteArchive(root / "Dta" / "data3d.pbo", {{"x.p3d", Bytes("game x")}, {"sub\\Y.p3d", Bytes("game y")}});
    WriteArchive(root / "AddOns" / "Data3D.pbo", {{"x.p3d", Bytes("addon x")}});
    WriteArchive(root / "AddOns" / "MyAddon.pbo", {Packed("m.p3d", Bytes("addon m, packed"))});
    WriteFile(root / "AddOns" / "readme.txt", Bytes("not an archive"));
    return game;
}

}  // namespace

TEST(PbList, SplitGamePath)
{
    std::string a, r;
    ASSERT_TRUE(SplitGamePath("Data3D\\Tank.P3D", a, r));
    EXPECT_EQ(a, "data3d");
    EXPECT_EQ(r, "tank.p3d");
    ASSERT_TRUE(SplitGamePath("\\MyAddon\\sub\\x.p3d", a, r));
    EXPECT_EQ(a, "\\myaddon");
    EXPECT_EQ(r, "sub\\x.p3d");
    ASSERT_TRUE(SplitGamePath("a\\b", a, r));
    EXPECT_EQ(a, "a");
    EXPECT_EQ(r, "b");
    for (const char* bad : {"", "a\\", "ab", "abc", "abc\\", "\\x.p3d", "\\\\x\\y", "\\ab\\", "\\a"})
        EXPECT_FALSE(SplitGamePath(bad, a, r)) << bad;
    EXPECT_EQ(PbArchiveKey("/x/Dta/Data3D.PBO", false), "data3d");
    EXPECT_EQ(PbArchiveKey("C:\\Game\\AddOns\\My.pbo", true), "\\my");
}

TEST(PbList, GameArchivesBeforeAddOns)
{
    const fs::path game = MakeGameFolder("pblist-game");
    TPbList list;
    ASSERT_TRUE(list.OpenGameArchives(game.string()));
    // AddOns\Data3D.pbo is not opened: a game archive of that name is.
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Key(0), "\\myaddon");
    EXPECT_EQ(list.Key(1), "data3d");
    EXPECT_EQ(list.Archive(0)->Name, "\\MyAddon");

    EXPECT_EQ(Content(list, "data3d\\x.p3d"), "game x");
    EXPECT_EQ(Content(list, "DATA3D\\SUB\\y.p3d"), "game y");
    EXPECT_EQ(Content(list, "\\data3d\\x.p3d"), "<none>");
    // An add-on archive is found with and without its backslash.
    EXPECT_EQ(Content(list, "\\myaddon\\m.p3d"), "addon m, packed");
    EXPECT_EQ(Content(list, "myaddon\\m.p3d"), "addon m, packed");
    for (const char* none : {"\\x.p3d", "x.p3d", "ab", "data3d\\nothere.p3d", "nosuch\\x.p3d", "data3d\\"})
        EXPECT_EQ(Content(list, none), "<none>") << none;

    EXPECT_TRUE(list.HasArchiveFor("data3d\\anything"));
    EXPECT_TRUE(list.HasArchiveFor("myaddon\\anything"));
    EXPECT_FALSE(list.HasArchiveFor("\\data3d\\x.p3d"));
    EXPECT_FALSE(list.HasArchiveFor("other\\x.p3d"));

    // The entry part alone is used by ExtractFrom.
    auto fromAddOn = TPbList::ExtractFrom(*list.Archive(0), "whatever\\m.p3d");
    ASSERT_TRUE(fromAddOn);
    EXPECT_EQ(fromAddOn->Size(), 15);

    // Opening again starts afresh.
    ASSERT_TRUE(list.OpenGameArchives(game.string()));
    EXPECT_EQ(list.Count(), 2);
}

TEST(PbList, ModFolder)
{
    // The archives are opened below the data root: the game folder followed
    // by the MOD folder.
    const fs::path game = MakeGameFolder("pblist-mod", "MyMod");
    TPbList list;
    ASSERT_TRUE(list.OpenGameArchives(game.string() + "\\MyMod"));
    EXPECT_EQ(list.Count(), 2);
    TPbList none;
    EXPECT_FALSE(none.OpenGameArchives(game.string()));
}

TEST(PbList, AddFindAndRemove)
{
    const fs::path game = MakeGameFolder("pblist-add");
    const std::string dta = (game / "Dta" / "data3d.pbo").string();
    const std::string addOn = (game / "AddOns" / "Data3D.pbo").string();
    TPbList list;

    // The manager's Add twice: opened once.
    list.AddArchive(addOn, true);
    list.AddArchive(addOn, true);
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(Content(list, "data3d\\x.p3d"), "addon x");
    // A game archive of the same name is opened beside it, and wins.
    list.AddArchive(dta, false);
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(Content(list, "data3d\\x.p3d"), "game x");
    EXPECT_EQ(Content(list, "\\data3d\\x.p3d"), "addon x");

    // Files that are not archives or are missing are skipped.
    list.AddArchive((game / "AddOns" / "readme.txt").string(), false);
    list.AddArchive((game / "nothere.pbo").string(), false);
    EXPECT_EQ(list.Count(), 2);

    // Lookup by file name ignores case.
    std::string upper = dta;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    EXPECT_EQ(list.FindArchive(upper), list.ArchiveByKey("data3d"));
    EXPECT_TRUE(list.IsArchiveOpen(addOn));

    auto removed = list.RemoveArchive(dta);
    ASSERT_TRUE(removed);
    EXPECT_EQ(removed->Name, "data3d");
    EXPECT_EQ(list.Count(), 1);
    EXPECT_FALSE(list.IsArchiveOpen(dta));
    EXPECT_EQ(Content(list, "data3d\\x.p3d"), "addon x");
    removed.reset();
    // The removed archive's file can be replaced.
    WriteArchive(dta, {{"new.txt", Bytes("new")}});
    list.AddArchive(dta, false);
    EXPECT_EQ(Content(list, "data3d\\new.txt"), "new");
    EXPECT_EQ(list.RemoveArchive((game / "elsewhere.pbo").string()), nullptr);

    list.CloseAll();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(Content(list, "data3d\\new.txt"), "<none>");
}
