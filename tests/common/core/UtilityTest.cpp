// Number parsing, the sorted string list, small functions and safe saving.
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <fstream>

#include "Core/CustomStringList.h"
#include "Core/Misc.h"
#include "Core/SafeSave.h"
#include "Core/StreamIO.h"
#include "Core/Strings.h"
#include "Core/TextEncoding.h"
#include "Core/ValueParsing.h"
#include "TestSupport.h"

using namespace mc;

TEST(ValueParsing, FloatsAcceptTheLocaleSeparatorOnly)
{
    test::TRecordingServices rec;
    double v = 42;
    EXPECT_TRUE(StrToFloatCheck("  -1.25e2 ", v));
    EXPECT_EQ(v, -125.0);
    EXPECT_TRUE(StrToFloatCheck(".5", v));
    EXPECT_EQ(v, 0.5);
    EXPECT_TRUE(rec.Messages.empty());

    v = 42;
    EXPECT_FALSE(StrToFloatCheck("  1,5  ", v));
    EXPECT_EQ(v, 42);
    ASSERT_EQ(rec.Messages.size(), 1u);
    EXPECT_EQ(rec.Messages[0], "Floating-point value expected instead of \"1,5\" !");
    for (const char* bad : {"", "abc", "1.2.3", "1e", "-", "1 2"}) EXPECT_FALSE(StrToFloatCheck(bad, v)) << bad;
}

TEST(ValueParsing, IntegersAndRanges)
{
    test::TRecordingServices rec;
    int v = 9;
    EXPECT_TRUE(StrToIntCheck(" -2147483648 ", v));
    EXPECT_EQ(v, INT32_MIN);
    EXPECT_TRUE(StrToIntCheck("+17", v));
    EXPECT_EQ(v, 17);
    for (const char* bad : {"2147483648", "1.0", "0x10", "", "+"}) EXPECT_FALSE(StrToIntCheck(bad, v)) << bad;
    EXPECT_EQ(v, 17);
    EXPECT_EQ(rec.Messages[0], "Integer value expected instead of \"2147483648\" !");

    rec.Messages.clear();
    EXPECT_FALSE(CheckRange(5, 0, 4));
    ASSERT_EQ(rec.Messages.size(), 1u);
    EXPECT_EQ(rec.Messages[0], "Value from range 0..4 expected!");
    EXPECT_TRUE(CheckRange(4, 0, 4));
    EXPECT_TRUE(CheckRange(0, 0, 4));
    EXPECT_EQ(rec.Messages.size(), 1u);
}

TEST(CustomStringList, ExactKeysAndInsertionPoint)
{
    TCustomStringList<int> list;
    list.SetSorted(true);
    list.SetDuplicates(TDuplicates::Error);
    list.Add("Abc", 1);
    list.Add("abc", 2);
    list.Add("Ab", 3);
    list.Add("B", 4);
    // Byte order: upper case before lower case, shorter prefix first.
    ASSERT_EQ(list.Count(), 4);
    EXPECT_EQ(list.Key(0), "Ab");
    EXPECT_EQ(list.Key(1), "Abc");
    EXPECT_EQ(list.Key(2), "B");
    EXPECT_EQ(list.Key(3), "abc");
    EXPECT_EQ(list.IndexOf("ABC"), -1);
    EXPECT_EQ(list.Object(list.IndexOf("abc")), 2);
    int index = -1;
    EXPECT_FALSE(list.Find("Abd", index));
    EXPECT_EQ(index, 2);
    EXPECT_THROW(list.Add("Abc"), std::invalid_argument);

    TCustomStringList<int> dups;
    dups.SetSorted(true);
    dups.SetDuplicates(TDuplicates::Ignore);
    EXPECT_EQ(dups.Add("x", 1), 0);
    EXPECT_EQ(dups.Add("x", 2), 0);
    EXPECT_EQ(dups.Count(), 1);
    dups.SetDuplicates(TDuplicates::Accept);
    dups.Add("x", 3);
    EXPECT_EQ(dups.Count(), 2);
}

TEST(SmallFunctions, AnglesColoursAndNames)
{
    const float pi = 3.14159265f;
    EXPECT_NEAR(HeadingAngle(1, 0, 1), pi / 4, 1e-6);
    EXPECT_NEAR(HeadingAngle(-1, 0, 1), 7 * pi / 4, 1e-6);
    EXPECT_NEAR(HeadingAngle(0, 0, -1), pi, 1e-6);
    EXPECT_EQ(HeadingAngle(1, 0, 0), 1.5707964f);
    EXPECT_NEAR(HeadingAngle(-1, 5, 0), 1.5707964f + 2 * pi, 1e-5);
    EXPECT_EQ(InvertColor(0x12345678), 0x12CBA987u);
    EXPECT_EQ(SwapRedBlue(0xFF112233), 0x00332211u);
    EXPECT_EQ(Power(0, 5), 0);
    EXPECT_NEAR(Power(2, 10), 1024, 1e-9);
    EXPECT_EQ(LowerExt("Data\\Tank.P3D"), ".p3d");
    EXPECT_EQ(LowerExt("dir.d\\noext"), "");
    EXPECT_EQ(NameWithoutExt("data3d\\tank.p3d"), "tank");
    EXPECT_EQ(NameWithoutExt("c:/x/archive.tar.pbo"), "archive.tar");
    EXPECT_TRUE(StartsWithBackslash("\\a"));
    EXPECT_FALSE(StartsWithBackslash(""));
    EXPECT_EQ(ExcludeTrailingBackslash("a\\b\\"), "a\\b");
    EXPECT_TRUE(StrInArray("b", {"a", "b", "c"}, 1));
    EXPECT_FALSE(StrInArray("c", {"a", "b", "c"}, 1));
    EXPECT_FALSE(StrInArray("B", {"a", "b", "c"}, 2));
    EXPECT_EQ(Unscramble("bcd"), "aaa");
    EXPECT_TRUE(SameText("Proxy:Ladder", "proxy:ladder"));
}

TEST(SafeSave, FailureLeavesTheOldFile)
{
    const auto dir = test::TempDir("safe-save");
    const std::string path = (dir / "model.p3d").string();
    { std::ofstream(path, std::ios::binary) << "original"; }

    std::string error;
    EXPECT_FALSE(SaveFileSafely(path, [](TStream& s) { WriteText(s, "partial"); return false; }, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_THROW(SaveFileSafely(path, [](TStream& s) -> bool { WriteText(s, "partial"); throw EWriteError(); }),
                 EWriteError);
    EXPECT_EQ(test::ReadFileBytes(path), std::vector<uint8_t>({'o', 'r', 'i', 'g', 'i', 'n', 'a', 'l'}));

    EXPECT_TRUE(SaveFileSafely(path, [](TStream& s) { WriteText(s, "new"); return true; }));
    EXPECT_EQ(test::ReadFileBytes(path), std::vector<uint8_t>({'n', 'e', 'w'}));
    // No temporary files are left beside it.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), std::filesystem::directory_iterator()), 1);

    EXPECT_FALSE(SaveFileSafely((dir / "no" / "such" / "dir.p3d").string(), [](TStream&) { return true; }, &error));
}

TEST(TextEncoding, CodePageTextBecomesWellFormedUtf8)
{
    EXPECT_EQ(mc::ToUtf8("plain"), "plain");
    // Windows-1252 bytes, and UTF-8 that is already well formed.
    EXPECT_EQ(mc::ToUtf8("\x9A" "ipka \x80"), "\u0161ipka \u20AC");
    EXPECT_EQ(mc::ToUtf8("\u010Derven\u00E1"), "\u010Derven\u00E1");
    EXPECT_EQ(mc::ToUtf8("\xF0\x9F\x99\x82"), "\xF0\x9F\x99\x82");
    // Overlong forms, surrogates, code points past U+10FFFF and cut
    // sequences are not UTF-8: each byte is a character of its own.
    EXPECT_EQ(mc::ToUtf8("\xC0\xAF"), "\u00C0\u00AF");
    EXPECT_EQ(mc::ToUtf8("\xE0\x80\x80"), "\u00E0\u20AC\u20AC");
    EXPECT_EQ(mc::ToUtf8("\xED\xA0\x80"), "\u00ED\u00A0\u20AC");
    EXPECT_EQ(mc::ToUtf8("\xF4\x90\x80\x80"), "\u00F4\uFFFD\u20AC\u20AC");
    EXPECT_EQ(mc::ToUtf8("a\xC3"), "a\u00C3");
}
