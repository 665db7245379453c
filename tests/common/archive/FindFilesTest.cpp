// Listing the files of a folder for packing.
#include <gtest/gtest.h>

#include <filesystem>

#include "Core/FindFiles.h"
#include "FileTree.h"
#include "TestSupport.h"

using namespace mc;
using namespace mc::test;
namespace fs = std::filesystem;

TEST(FindFiles, Masks)
{
    EXPECT_TRUE(MatchesMask("data3d.pbo", "*.pb?"));
    EXPECT_TRUE(MatchesMask("DATA3D.PBO", "*.pb?"));
    EXPECT_TRUE(MatchesMask("x.pb", "*.pb?"));  // a trailing '?' may match nothing
    EXPECT_FALSE(MatchesMask("x.pbox", "*.pb?"));
    EXPECT_FALSE(MatchesMask("x.txt", "*.pb?"));
    EXPECT_TRUE(MatchesMask("noext", "*.*"));
    EXPECT_TRUE(MatchesMask("a.b.c", "*.*"));
    EXPECT_TRUE(MatchesMask("readme", "readme.*"));
    EXPECT_TRUE(MatchesMask("abcabd", "*abd"));
    EXPECT_FALSE(MatchesMask("ac", "a?c"));
    EXPECT_TRUE(MatchesMask("abc", "a?c"));
}

TEST(FindFiles, FilesBeforeSubFoldersInNameOrder)
{
    const fs::path dir = TempDir("findfiles");
    WriteFile(dir / "b.txt", {});
    WriteFile(dir / "A.txt", {});
    WriteFile(dir / "c.pbo", {});
    WriteFile(dir / ".hidden", {});
    WriteFile(dir / "sub" / "z.txt", {});
    WriteFile(dir / "sub" / "deeper" / "y.txt", {});
    WriteFile(dir / "Another" / "x.txt", {});
    WriteFile(dir / ".git" / "config", {});
    // A link to a folder is not entered (where links can be made: not by
    // every Windows user).
    std::error_code linkError;
    fs::create_directory_symlink(dir / "sub", dir / "link", linkError);

    const std::string sep(1, kPathSeparator);
    const std::string base = dir.string();
    std::vector<std::string> list;
    FindFiles(base, "*.*", list, true);
    EXPECT_EQ(list, (std::vector<std::string>{base + sep + "A.txt", base + sep + "b.txt", base + sep + "c.pbo",
                                              base + sep + "Another" + sep + "x.txt", base + sep + "sub" + sep + "z.txt",
                                              base + sep + "sub" + sep + "deeper" + sep + "y.txt"}));

    list.clear();
    FindFiles(base + sep, "*.txt", list, false);
    EXPECT_EQ(list, (std::vector<std::string>{base + sep + "A.txt", base + sep + "b.txt"}));

    list = {"kept"};
    FindFiles((dir / "missing").string(), "*.*", list, true);
    EXPECT_EQ(list, std::vector<std::string>{"kept"});
}
