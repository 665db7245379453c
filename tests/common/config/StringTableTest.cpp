#include <gtest/gtest.h>

#include "Config/StringTable.h"
#include "Core/Stream.h"
#include "TestSupport.h"

namespace mc::test {
namespace {

std::unique_ptr<TStringTable> Table(const std::string& text)
{
    TMemoryReader stream(text.data(), text.size());
    return LoadStringTable("test.csv", stream);
}

TEST(StringTable, RowsCellsAndHeader)
{
    const auto t = Table(
        "LANGUAGE,English,German\r\n"
        "COMMENT,ignored,\"x\"\r\n"
        "STR_A,a,b\r\n"
        "STR_B,,b\r\n"
        "STR_C,a,\r\n"
        "STR_D\r\n"
        "\"STR_E\",\"q\"\"uote\",\"com,ma\"\r\n"
        "  STR_F , padded ,\t");
    ASSERT_TRUE(t);
    EXPECT_EQ(t->Languages, (std::vector<std::string>{"English", "German"}));
    ASSERT_EQ(t->RowCount(), 6);
    EXPECT_EQ(t->Cells(0), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(t->Cells(1), (std::vector<std::string>{"", "b"}));
    EXPECT_EQ(t->Cells(2), (std::vector<std::string>{"a", ""}));
    EXPECT_TRUE(t->Cells(3).empty());
    EXPECT_EQ(t->Key(4), "STR_E");
    EXPECT_EQ(t->Cells(4), (std::vector<std::string>{"q\"uote", "com,ma"}));
    EXPECT_EQ(t->Key(5), "STR_F");
    EXPECT_EQ(t->Cells(5), (std::vector<std::string>{"padded", ""}));
    ASSERT_NE(t->Find("str_a", "german"), nullptr);
    EXPECT_EQ(*t->Find("str_a", "german"), "b");
    EXPECT_EQ(t->Find("str_d", "english"), nullptr);
    EXPECT_EQ(t->Find("str_a", "czech"), nullptr);
}

TEST(StringTable, KeysLineEndsAndRepeats)
{
    // Line feeds alone read as CR LF; keys differing in case share a row,
    // which keeps its first place and its last cells.
    const auto lf = Table("LANGUAGE,English\nK1,one\nK2,two\nk1,uno\nLANGUAGE,Czech,German\n");
    const auto crlf = Table("LANGUAGE,English\r\nK1,one\r\nK2,two\r\nk1,uno\r\nLANGUAGE,Czech,German\r\n");
    ASSERT_TRUE(lf && crlf);
    for (const auto* t : {lf.get(), crlf.get()}) {
        ASSERT_EQ(t->RowCount(), 2);
        EXPECT_EQ(t->Key(0), "K1");
        EXPECT_EQ(t->Cells(0), (std::vector<std::string>{"uno"}));
        EXPECT_EQ(t->Languages, (std::vector<std::string>{"Czech", "German"}));
        EXPECT_EQ(t->FindRow("K2"), 1);
    }
    // Real tables name the header "Language" and comments "Comment".
    const auto mixed = Table("K,v\nLanguage,English,Russian,\ncomment,x\n");
    ASSERT_TRUE(mixed);
    ASSERT_EQ(mixed->RowCount(), 1);
    EXPECT_EQ(mixed->Key(0), "K");
    EXPECT_EQ(mixed->Languages, (std::vector<std::string>{"English", "Russian", ""}));
    EXPECT_EQ(mixed->FindRow("language"), -1);
}

TEST(StringTable, EmptyAndOddTexts)
{
    EXPECT_EQ(Table("")->RowCount(), 0);
    EXPECT_EQ(Table("\r\n\r\n  \t")->RowCount(), 0);
    EXPECT_EQ(Table("\"open,cell")->Cells(0), std::vector<std::string>());
    const auto marker = Table("A,1\nB,\x1A,2\nC,3");
    ASSERT_EQ(marker->RowCount(), 2);
    EXPECT_EQ(marker->Key(1), "B");
}

TEST(StringTable, RealTablesKeepTheirBytes)
{
    const auto files = RealFiles("csv", ".csv");
    if (files.empty()) GTEST_SKIP() << "no real string tables here";
    for (const auto& path : files) {
        const auto t = LoadStringTableFromFile(path.string());
        ASSERT_TRUE(t) << path;
        EXPECT_GT(t->RowCount(), 0) << path;
        EXPECT_FALSE(t->Languages.empty()) << path;
        // Every cell's bytes occur in the file as they are.
        const std::vector<uint8_t> bytes = ReadFileBytes(path);
        const std::string raw(bytes.begin(), bytes.end());
        for (const auto& row : t->Rows) {
            EXPECT_NE(raw.find(row.Key), std::string::npos);
            for (const std::string& cell : row.Cells) {
                if (cell.find('"') == std::string::npos) {
                    EXPECT_NE(raw.find(cell), std::string::npos) << cell;
                }
            }
        }
    }
}

}  // namespace
}  // namespace mc::test
