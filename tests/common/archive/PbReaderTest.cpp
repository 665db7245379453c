// Reading archives: headers, data offsets, the folder tree, entry extraction.
#include <gtest/gtest.h>

#include <stdexcept>

#include "Archive/PbFile.h"
#include "ArchiveBuilder.h"
#include "Core/Stream.h"
#include "DemoModel.h"
#include "FileTree.h"
#include "Model/Mlod.h"
#include "Model/Model.h"
#include "Model/Odol.h"
#include "TestSupport.h"

using namespace mc;
using namespace mc::test;

namespace {

std::vector<uint8_t> ExtractBytes(const TPbFile& archive, const std::string& name, bool* ok = nullptr,
                                  std::string* reason = nullptr)
{
    const TPbFileItem* item = archive.FindFile(name);
    EXPECT_NE(item, nullptr) << name;
    TMemoryStream out;
    const bool done = item && item->Extract(archive.Stream.get(), &out, reason);
    if (ok) *ok = done;
    else EXPECT_TRUE(done) << name;
    return out.Bytes();
}

}  // namespace

TEST(PbReader, EntriesOffsetsAndNames)
{
    const auto bytes = BuildArchive({{"data\\one.txt", Bytes("first")},
                                     {"Two/Deep/TWO.bin", Bytes("second!"), kPbMethodStored, 0, 1000000000},
                                     {"empty.txt", {}}});
    auto archive = OpenBytes(bytes, "folder/Data3D.pbo");
    ASSERT_TRUE(archive);
    EXPECT_EQ(archive->Name, "Data3D");
    EXPECT_EQ(archive->Ext, "pbo");
    EXPECT_EQ(archive->FilePath, "folder/");
    ASSERT_EQ(archive->Files.Count(), 3);
    ASSERT_EQ(archive->Entries().size(), 3u);

    // Slashes are read as backslashes; case is kept; lookup ignores it.
    const TPbFileItem* two = archive->FindFile("two\\deep\\two.BIN");
    ASSERT_TRUE(two);
    EXPECT_EQ(two->Name, "Two\\Deep\\TWO.bin");
    EXPECT_EQ(two->FullName(), "Data3D\\Two\\Deep\\TWO.bin");
    EXPECT_EQ(archive->FindFile("two/deep/two.bin"), two);

    // Offsets follow the terminator in storage order.
    const uint32_t dataStart = static_cast<uint32_t>(bytes.size() - 12);
    EXPECT_EQ(archive->Entries()[0]->DataOffset, dataStart);
    EXPECT_EQ(archive->Entries()[1]->DataOffset, dataStart + 5);
    EXPECT_EQ(archive->Entries()[2]->DataOffset, dataStart + 12);

    EXPECT_EQ(ExtractBytes(*archive, "data\\one.txt"), Bytes("first"));
    EXPECT_EQ(ExtractBytes(*archive, "two\\deep\\two.bin"), Bytes("second!"));
    EXPECT_TRUE(ExtractBytes(*archive, "empty.txt").empty());

    // Timestamps: a file time, shown as local time; none for 0.
    EXPECT_EQ(two->Modified, (1000000000LL + 11644473600LL) * 10000000LL);
    EXPECT_EQ(two->ModifiedText().size(), 17u);
    EXPECT_EQ(two->ModifiedText()[2], '/');
    EXPECT_EQ(archive->FindFile("empty.txt")->ModifiedText(), "");
}

TEST(PbReader, HeaderEntryAndTrailerAreSkipped)
{
    const std::vector<uint8_t> trailer(21, 0xAB);
    const auto bytes = BuildArchive({{"a.txt", Bytes("abc")}, {"b.txt", Bytes("de")}},
                                    HeaderEntry({"prefix", "x\\y", "version", "1"}), trailer);
    auto archive = OpenBytes(bytes);
    ASSERT_TRUE(archive);
    ASSERT_EQ(archive->Files.Count(), 2);
    EXPECT_EQ(archive->Entries()[0]->Name, "a.txt");
    EXPECT_EQ(ExtractBytes(*archive, "b.txt"), Bytes("de"));

    // Only a header entry and the terminator: no entries.
    auto empty = OpenBytes(BuildArchive({}, HeaderEntry({"prefix", "p"})));
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->Files.Count(), 0);
}

TEST(PbReader, RefusedArchives)
{
    test::TRecordingServices rec;
    // The terminator alone is taken for a header entry; the entry after it
    // runs past the end.
    EXPECT_FALSE(OpenBytes(std::vector<uint8_t>(21, 0)));
    // A file of 0 bytes and a header entry whose texts end early raise.
    EXPECT_THROW(OpenBytes({}), EReadError);
    auto cut = HeaderEntry({"prefix", "abc"});
    cut.resize(cut.size() - 3);
    EXPECT_THROW(OpenBytes(cut), EReadError);
    // A header cut inside its fields.
    auto bytes = BuildArchive({{"a.txt", Bytes("abc")}});
    bytes.resize(10);
    EXPECT_FALSE(OpenBytes(bytes));
    // Names differing only in case collide.
    EXPECT_THROW(OpenBytes(BuildArchive({{"Data/Tex.paa", Bytes("1")}, {"data\\tex.paa", Bytes("2")}})),
                 std::invalid_argument);
    // A missing file opens silently as false.
    TPbFile missing;
    EXPECT_FALSE(missing.Open("/nonexistent/folder/x.pbo"));
    EXPECT_TRUE(rec.Messages.empty());
}

TEST(PbReader, ModelFilesAreNoArchives)
{
    // A model opened as an archive (a renamed file, a wrong pick in the
    // open box) is refused by name, with the status line cleared.
    test::TRecordingServices rec;
    const auto dir = TempDir("pbreader-models");
    std::vector<std::filesystem::path> files;
    TMemoryStream odol, mlod;
    ASSERT_TRUE(SaveOdol(*demo::MakeCrateModel(), odol));
    ASSERT_TRUE(SaveMlod(*demo::MakeCrateModel(), mlod));
    WriteFile(dir / "crate_odol.pbo", odol.Bytes());
    WriteFile(dir / "crate_mlod.p3d", mlod.Bytes());
    files = {dir / "crate_odol.pbo", dir / "crate_mlod.p3d"};
    for (const auto& real : RealFiles("p3d", ".p3d")) files.push_back(real);
    for (const auto& path : files) {
        rec.Status.clear();
        TPbFile archive;
        EXPECT_FALSE(archive.Open(path.string())) << path;
        EXPECT_EQ(archive.LastError(), "\"" + path.string() + "\" is not a Pb archive") << path;
        EXPECT_EQ(archive.Files.Count(), 0) << path;
        ASSERT_FALSE(rec.Status.empty()) << path;
        EXPECT_EQ(rec.Status.back(), "") << path;
    }
    EXPECT_TRUE(rec.Messages.empty());

    // An archive opened after a refusal has no error left.
    TPbFile archive;
    EXPECT_FALSE(archive.Open(files[0].string()));
    WriteFile(dir / "real.pbo", BuildArchive({{"a.txt", Bytes("abc")}}));
    ASSERT_TRUE(archive.Open((dir / "real.pbo").string()));
    EXPECT_EQ(archive.LastError(), "");
}

TEST(PbReader, OpenShowsAndHidesStatus)
{
    test::TRecordingServices rec;
    ASSERT_TRUE(OpenBytes(BuildArchive({{"a", Bytes("x")}}), "dir/Some.pbo"));
    ASSERT_EQ(rec.Status.size(), 2u);
    EXPECT_EQ(rec.Status[0], "Open \"Some.pbo\"...");
    EXPECT_EQ(rec.Status[1], "");
}

TEST(PbReader, PackedEntries)
{
    test::TRecordingServices rec;
    std::vector<uint8_t> content;
    for (int i = 0; i < 5000; ++i) content.push_back(static_cast<uint8_t>(i * 7 % 13 + (i / 100)));
    TEntrySpec emptyPacked{"zero.bin", Bytes("junk"), kPbMethodPacked, 0};
    auto archive = OpenBytes(BuildArchive({Packed("p.bin", content), emptyPacked, {"s.txt", Bytes("plain")}}));
    ASSERT_TRUE(archive);
    const TPbFileItem* p = archive->FindFile("p.bin");
    EXPECT_TRUE(p->IsPacked());
    EXPECT_EQ(p->Size(), 5000);
    EXPECT_EQ(ExtractBytes(*archive, "p.bin"), content);
    // Original size 0: an empty file whatever the data.
    EXPECT_TRUE(ExtractBytes(*archive, "zero.bin").empty());
    EXPECT_EQ(ExtractBytes(*archive, "s.txt"), Bytes("plain"));

    std::vector<uint8_t> bytes;
    EXPECT_TRUE(p->ExtractToBytes(archive->Stream.get(), bytes));
    EXPECT_EQ(bytes, content);
    EXPECT_TRUE(rec.Messages.empty());

    TMemoryStream out;
    EXPECT_FALSE(p->Extract(nullptr, &out));
    EXPECT_FALSE(p->Extract(archive->Stream.get(), nullptr));
}

// Entries whose header lies: each fails alone, the others extract.
TEST(PbReader, JunkEntriesFailAlone)
{
    test::TRecordingServices rec;
    const std::vector<uint8_t> content(300, 'q');
    TEntrySpec beyond{"beyond.bin", Bytes("abcd"), kPbMethodStored, 0, 0, true, 0x7FFFFFF0};
    TEntrySpec negative{"negative.bin", {}, kPbMethodStored, 0, 0, true, -5};
    TEntrySpec unknown{"unknown.bin", Bytes("zz"), 0x12345678, 10};
    TEntrySpec noData{"nodata.bin", {}, kPbMethodPacked, 10};
    TEntrySpec negOriginal{"negorig.bin", Bytes("zz"), kPbMethodPacked, -3};
    TEntrySpec huge{"huge.bin", Bytes("zzzz"), kPbMethodPacked, 0x7FFFFFFF};
    auto corrupt = Packed("corrupt.bin", content);
    corrupt.Data[corrupt.Data.size() - 1] ^= 0xFF;  // checksum
    auto good = Packed("good.bin", content);
    auto bytes = BuildArchive({good, corrupt, unknown, noData, negOriginal, huge, beyond, {"last.txt", Bytes("end")}});
    auto archive = OpenBytes(bytes);
    ASSERT_TRUE(archive);

    EXPECT_EQ(ExtractBytes(*archive, "good.bin"), content);
    for (const char* name : {"beyond.bin", "unknown.bin", "nodata.bin", "negorig.bin", "huge.bin", "corrupt.bin"}) {
        bool ok = true;
        std::string reason;
        ExtractBytes(*archive, name, &ok, &reason);
        EXPECT_FALSE(ok) << name;
        EXPECT_FALSE(reason.empty()) << name;
        if (std::string(name) == "corrupt.bin") {
            EXPECT_NE(reason.find("checksum"), std::string::npos) << reason;
        }
        if (std::string(name) == "beyond.bin") {
            EXPECT_NE(reason.find("beyond the end"), std::string::npos) << reason;
        }
    }
    // The three format faults are shown; the others only fail.
    ASSERT_EQ(rec.Messages.size(), 3u);
    EXPECT_EQ(rec.Messages[0], "[Unknown compress method (signature: 0x12345678)]");
    EXPECT_EQ(rec.Messages[1], "[Wrong file size:0 \"nodata.bin\"]");
    EXPECT_EQ(rec.Messages[2], "[Wrong original file size:-3 \"negorig.bin\"]");

    // The beyond entry shifts the running offset past the end: the last one
    // fails too, since its data is not where its header puts it.
    bool ok = true;
    ExtractBytes(*archive, "last.txt", &ok);
    EXPECT_FALSE(ok);

    auto withNegative = OpenBytes(BuildArchive({negative, {"after.txt", Bytes("ok")}}));
    ASSERT_TRUE(withNegative);
    ExtractBytes(*withNegative, "negative.bin", &ok);
    EXPECT_FALSE(ok);
}

TEST(PbReader, OffsetsSumIn32Bits)
{
    // Two junk sizes that add up to 2^32 leave the following offsets where
    // the game finds them.
    TEntrySpec a{"a.bin", {}, kPbMethodStored, 0, 0, true, 0x7FFFFFFF};
    TEntrySpec b{"b.bin", {}, kPbMethodStored, 0, 0, true, static_cast<int32_t>(0x80000001u)};
    auto archive = OpenBytes(BuildArchive({a, b, {"c.txt", Bytes("hello")}}));
    ASSERT_TRUE(archive);
    EXPECT_EQ(ExtractBytes(*archive, "c.txt"), Bytes("hello"));
}

TEST(PbReader, TruncatedDataFails)
{
    auto bytes = BuildArchive({{"a.txt", Bytes("0123456789")}, Packed("p.bin", std::vector<uint8_t>(100, 'x'))});
    bytes.resize(bytes.size() - 3);
    auto archive = OpenBytes(bytes);
    ASSERT_TRUE(archive);
    EXPECT_EQ(ExtractBytes(*archive, "a.txt"), Bytes("0123456789"));
    bool ok = true;
    ExtractBytes(*archive, "p.bin", &ok);
    EXPECT_FALSE(ok);
}

TEST(PbReader, TreeOfFolders)
{
    test::TRecordingServices rec;
    auto archive = OpenBytes(BuildArchive(
        {{"a\\b\\c.p3d", Bytes("1")}, {"a\\d.paa", Bytes("2")}, {"A\\B\\e.paa", Bytes("3")}, {"top.txt", Bytes("4")}}));
    ASSERT_TRUE(archive);
    archive->BuildTree();
    archive->BuildTree();  // once only

    TPbDirectory& root = archive->Root;
    ASSERT_EQ(root.Items.Count(), 2);  // folder a and top.txt
    EXPECT_EQ(root.Items.Key(0), "a");
    ASSERT_TRUE(root.Items.Object(0)->IsDirectory());
    auto* a = static_cast<TPbDirectory*>(root.Items.Object(0));
    ASSERT_EQ(a->Items.Count(), 2);  // folder b and a\d.paa
    EXPECT_EQ(a->Items.Key(0), "a\\d.paa");
    EXPECT_EQ(a->Items.Key(1), "b");
    auto* b = static_cast<TPbDirectory*>(a->Items.Object(1));
    EXPECT_EQ(b->Items.Count(), 2);
    EXPECT_EQ(b->FullName(), "test\\b");
    EXPECT_TRUE(rec.Messages.empty());

    // ForcePath through a file: an error box, and no folder.
    TPbDirectory* missing = root.ForcePath("top.txt\\x");
    EXPECT_EQ(missing, nullptr);
    ASSERT_EQ(rec.Messages.size(), 1u);
    EXPECT_EQ(rec.Messages[0], "Internal error: \"top.txt\" not a directory!");
    EXPECT_EQ(root.ForcePath(""), &root);
    EXPECT_FALSE(root.AddFile(archive->FindFile("top.txt")));
    EXPECT_EQ(rec.Messages.back(), "File \"top.txt\" already exists!");
}

TEST(PbReader, ManyEntriesInAnyOrder)
{
    std::vector<TEntrySpec> entries;
    for (int i = 0; i < 3000; ++i) {
        const int k = (i * 7919) % 3000;  // not in name order
        entries.push_back({"dir" + std::to_string(k % 17) + "\\file" + std::to_string(k) + ".txt",
                           Bytes(std::to_string(k))});
    }
    auto archive = OpenBytes(BuildArchive(entries));
    ASSERT_TRUE(archive);
    ASSERT_EQ(archive->Files.Count(), 3000);
    for (int i = 1; i < archive->Files.Count(); ++i) EXPECT_LT(archive->Files.Key(i - 1), archive->Files.Key(i));
    EXPECT_EQ(ExtractBytes(*archive, "dir5\\file2997.txt"), Bytes("2997"));
    archive->BuildTree();
    EXPECT_EQ(archive->Root.Items.Count(), 17);
}
