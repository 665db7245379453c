#include <gtest/gtest.h>

#include <fstream>

#include "ConfigTestSupport.h"
#include "Config/ConfigBinary.h"
#include "Config/ConfigClass.h"
#include "Core/Stream.h"
#include "Core/Strings.h"
#include "TestSupport.h"

namespace mc::test {
namespace {

std::vector<uint8_t> Bytes(std::initializer_list<int> list)
{
    std::vector<uint8_t> v;
    for (int b : list) v.push_back(static_cast<uint8_t>(b));
    return v;
}

void Append(std::vector<uint8_t>& v, const std::string& s, bool zero = true)
{
    v.insert(v.end(), s.begin(), s.end());
    if (zero) v.push_back(0);
}

std::string LoadError(const std::vector<uint8_t>& bytes)
{
    TResources doc;
    return LoadConfigBinary(doc, bytes) ? std::string() : doc.ErrorMessage;
}

TEST(ConfigBinary, LayoutOfASmallDocument)
{
    TResources doc;
    ASSERT_TRUE(LoadConfigText(doc, "count = 258;", "r.cpp"));
    std::vector<uint8_t> expected = Bytes({0x00, 0x72, 0x61, 0x50, 2, 0, 0, 0, 0x00});
    Append(expected, "r.cpp");
    for (int b : {0x00, 0x01, 0x01, 0x02, 0x01}) expected.push_back(static_cast<uint8_t>(b));
    Append(expected, "count");
    for (int b : {0x02, 0x01, 0x00, 0x00, 0, 0, 0, 0}) expected.push_back(static_cast<uint8_t>(b));
    EXPECT_EQ(ConfigBinary(doc), expected);
}

TEST(ConfigBinary, PoolSharesNamesButNotTheRootName)
{
    TResources doc;
    ASSERT_TRUE(LoadConfigText(doc, "class A { x = \"A\"; };\nclass B { x = \"r.cpp\"; };", "r.cpp"));
    const std::vector<uint8_t> bytes = ConfigBinary(doc);
    const std::string text(bytes.begin(), bytes.end());
    // "x" and "A" are written once; "r.cpp" twice: the root's name is not
    // looked up again.
    const auto count = [&](const std::string& s) {
        size_t n = 0;
        for (size_t p = text.find(s); p != std::string::npos; p = text.find(s, p + 1)) ++n;
        return n;
    };
    EXPECT_EQ(count(std::string("x\0", 2)), 1u);
    EXPECT_EQ(count(std::string("A\0", 2)), 1u);
    EXPECT_EQ(count(std::string("r.cpp\0", 6)), 2u);
    TResources back;
    ASSERT_TRUE(LoadConfigBinary(back, bytes)) << back.ErrorMessage;
    EXPECT_EQ(ConfigText(back), ConfigText(doc));
    EXPECT_EQ(ConfigBinary(back), bytes);
}

TEST(ConfigBinary, CompactNumbers)
{
    std::vector<uint8_t> out;
    AppendCompactNumber(out, 127);
    EXPECT_EQ(out, Bytes({0x7F}));
    out.clear();
    AppendCompactNumber(out, 200);
    EXPECT_EQ(out, Bytes({0xC8, 0x01}));
    out.clear();
    AppendCompactNumber(out, 32767);
    EXPECT_EQ(out, Bytes({0xFF, 0xFF}));

    // 200 members round-trip through the two-byte count.
    TResources doc;
    std::string text;
    for (int i = 0; i < 200; ++i) text += "f" + std::to_string(i) + " = " + std::to_string(i) + ";\n";
    ASSERT_TRUE(LoadConfigText(doc, text));
    const auto bytes = ConfigBinary(doc);
    TResources back;
    ASSERT_TRUE(LoadConfigBinary(back, bytes)) << back.ErrorMessage;
    EXPECT_EQ(back.RootClass->MemberCount(), 200);
    EXPECT_EQ(back.RootClass->FindField("f150")->Value->AsInteger(), 150);
}

TEST(ConfigBinary, WriterRefusesWhatDoesNotFit)
{
    TResources doc;
    auto* arr = new TRArray;
    doc.RootClass->AddMember(std::make_unique<TRField>("a", std::unique_ptr<TRData>(arr)));
    for (int i = 0; i < 32768; ++i) arr->Add(std::make_unique<TRInteger>(i));
    TMemoryStream out;
    EXPECT_FALSE(doc.WriteBinary(out));
    EXPECT_EQ(doc.ErrorMessage, "array element count 32768 does not fit the binarized form (at most 32767)");
    EXPECT_EQ(out.Size(), 0);

    TResources strings;
    auto* many = new TRArray;
    strings.RootClass->AddMember(std::make_unique<TRField>("a", std::unique_ptr<TRData>(many)));
    for (int i = 0; i < 32767; ++i) many->Add(std::make_unique<TRString>("s" + std::to_string(i)));
    EXPECT_FALSE(strings.WriteBinary(out));
    EXPECT_EQ(strings.ErrorMessage, "string pool index 32768 does not fit the binarized form (at most 32767)");

    // Saving to a file leaves the file there untouched.
    const auto dir = TempDir("config-refused");
    const std::string path = (dir / "keep.bin").string();
    std::ofstream(path, std::ios::binary) << "old";
    EXPECT_FALSE(doc.SaveToFile(path, kConfigBinary));
    EXPECT_EQ(ReadFileBytes(path), Bytes({'o', 'l', 'd'}));
}

TEST(ConfigBinary, ReaderRefusals)
{
    TResources doc;
    ASSERT_TRUE(LoadConfigText(doc, "class A { v = 1; };\nenum { E };", "r.cpp"));
    const std::vector<uint8_t> good = ConfigBinary(doc);
    ASSERT_TRUE(LoadError(good).empty());

    std::vector<uint8_t> extra = good;
    extra.push_back(0);
    const auto n = static_cast<unsigned>(good.size());
    EXPECT_EQ(LoadError(extra), Format("end position mismatch: 0x%08X, file size: 0x%08X, stream pos: 0x%08X", n, n + 1, n));

    std::vector<uint8_t> v1 = good;
    v1[4] = 1;
    EXPECT_EQ(LoadError(v1), "unsupported version 1 (2 or later expected), stream pos: 0x00000008");
    EXPECT_EQ(LoadError(Bytes({'0', 'D', 'H', 'T', 1, 0, 0, 0})), "signature mismatch, stream pos: 0x00000004");

    // A document created empty carries version 0, which the reader refuses.
    TResources empty;
    // That is also what a later game's binarized configs hold there.
    const std::string later =
        "unsupported version 0 (2 or later expected): the layout of a later game's binarized configs, not supported";
    EXPECT_EQ(LoadError(ConfigBinary(empty)).rfind(later + ", stream pos: ", 0), 0u);
    std::vector<uint8_t> v0 = good;
    v0[4] = 0;
    EXPECT_EQ(LoadError(v0), later + ", stream pos: 0x00000008");

    std::vector<uint8_t> kind = Bytes({0x00, 0x72, 0x61, 0x50, 2, 0, 0, 0, 0, 'r', 0, 0, 1, 7});
    EXPECT_EQ(LoadError(kind), "unknown member kind (0x07), stream pos: 0x0000000E");
    std::vector<uint8_t> type = Bytes({0x00, 0x72, 0x61, 0x50, 2, 0, 0, 0, 0, 'r', 0, 0, 1, 1, 5, 1, 'x', 0});
    EXPECT_EQ(LoadError(type), "unknown value type (0x05), stream pos: 0x00000012");
    std::vector<uint8_t> pool = Bytes({0x00, 0x72, 0x61, 0x50, 2, 0, 0, 0, 0, 'r', 0, 0, 1, 1, 2, 5});
    EXPECT_EQ(LoadError(pool), "string expected, stream pos: 0x00000010");
    std::vector<uint8_t> base = Bytes({0x00, 0x72, 0x61, 0x50, 2, 0, 0, 0, 0, 'r', 0, 0, 1, 0, 1, 'k', 0, 'k', 0, 0});
    EXPECT_EQ(LoadError(base), "class \"k\" cannot inherit from itself, stream pos: 0x00000013");
    std::vector<uint8_t> missing = Bytes({0x00, 0x72, 0x61, 0x50, 2, 0, 0, 0, 0, 'r', 0, 0, 1, 0, 1, 'k', 0, 'q', 0, 0});
    EXPECT_EQ(LoadError(missing), "parent class \"q\" not found, stream pos: 0x00000013");

    // Every truncation of a good file is refused with the read error.
    for (size_t n = 0; n < good.size(); ++n) {
        const std::vector<uint8_t> cut(good.begin(), good.begin() + static_cast<long>(n));
        EXPECT_FALSE(LoadError(cut).empty()) << n;
    }
    EXPECT_EQ(LoadError(std::vector<uint8_t>(good.begin(), good.end() - 1)), kReadErrorText);
}

TEST(ConfigBinary, ReaderKnowsAClassByNameBeforeItsBody)
{
    // A nested class whose base is the class around it: the writer writes
    // it, so the reader must read it.
    TResources doc;
    ASSERT_TRUE(LoadConfigText(doc, "class Outer { class B { class C : B { x = 1; }; }; };"));
    const auto bytes = ConfigBinary(doc);
    TResources back;
    ASSERT_TRUE(LoadConfigBinary(back, bytes)) << back.ErrorMessage;
    EXPECT_EQ(ConfigBinary(back), bytes);
}

TEST(ConfigBinary, EnumerationsResolveAfterReading)
{
    TResources doc;
    ASSERT_TRUE(LoadConfigText(doc, "early = Red;\nenum { Red, Green };\nlate = green;\nq = \"Red\";"));
    EXPECT_EQ(doc.RootClass->FindField("early")->ValueText(), "\"Red\"");
    TResources back;
    ASSERT_TRUE(LoadConfigBinary(back, ConfigBinary(doc)));
    EXPECT_EQ(back.RootClass->FindField("early")->ValueText(), "Red");
    EXPECT_EQ(back.RootClass->FindField("late")->ValueText(), "green");
    // The binarized form does not tell a quoted string from a bare one.
    EXPECT_EQ(back.RootClass->FindField("q")->ValueText(), "Red");
    EXPECT_EQ(ConfigBinary(back), ConfigBinary(doc));
}

}  // namespace
}  // namespace mc::test
