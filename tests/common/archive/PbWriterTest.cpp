// Writing archives: header bytes, entry order, and never losing the archive
// that was there before.
#include <gtest/gtest.h>

#include <filesystem>

#include "Archive/PbFile.h"
#include "ArchiveBuilder.h"
#include "Core/FindFiles.h"
#include "Core/Strings.h"
#include "FileTree.h"
#include "TestSupport.h"

using namespace mc;
using namespace mc::test;
namespace fs = std::filesystem;

namespace {

bool Pack(const fs::path& folder, const fs::path& out, bool recursive = true)
{
    std::vector<std::string> files;
    FindFiles(folder.string(), "*.*", files, recursive);
    TPbFile archive;
    if (!archive.CreateNew(out.string())) return false;
    archive.SetSourcePrefix(folder.string());
    archive.AddSourceFiles(files);
    return archive.WriteArchive();
}

std::vector<std::string> StoredNames(const fs::path& archivePath)
{
    TPbFile archive;
    EXPECT_TRUE(archive.Open(archivePath.string()));
    std::vector<std::string> names;
    for (const auto* e : archive.Entries()) names.push_back(e->Name);
    return names;
}

}  // namespace

TEST(PbWriter, HeaderBytesAsExpected)
{
    const fs::path dir = TempDir("pbwriter-bytes");
    WriteFile(dir / "src" / "a.txt", Bytes("hello"), 1000000000);        // 0x3B9ACA00
    WriteFile(dir / "src" / "sub" / "b.p3d", Bytes("xyz"), 0x01020304);  // 16909060
    ASSERT_TRUE(Pack(dir / "src", dir / "out.pbo"));

    const std::vector<uint8_t> expected = {
        'a', '.', 't', 'x', 't', 0,                          // name
        0, 0, 0, 0,                                          // method: stored
        0, 0, 0, 0,                                          // original size
        0, 0, 0, 0,                                          // reserved
        0x00, 0xCA, 0x9A, 0x3B,                              // timestamp
        5, 0, 0, 0,                                          // data size
        's', 'u', 'b', '\\', 'b', '.', 'p', '3', 'd', 0,     //
        0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,                  //
        0x04, 0x03, 0x02, 0x01,                              //
        3, 0, 0, 0,                                          //
        0,                                                   // terminator
        0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
        'h', 'e', 'l', 'l', 'o', 'x', 'y', 'z',  // data, nothing after it
    };
    EXPECT_EQ(ReadFileBytes(dir / "out.pbo"), expected);

    // Without sub-folders only a.txt is packed.
    ASSERT_TRUE(Pack(dir / "src", dir / "flat.pbo", false));
    EXPECT_EQ(StoredNames(dir / "flat.pbo"), std::vector<std::string>{"a.txt"});
}

TEST(PbWriter, OrderCaseAndEmptyFiles)
{
    const fs::path dir = TempDir("pbwriter-order");
    WriteFile(dir / "src" / "a1.txt", Bytes("1"));
    WriteFile(dir / "src" / "A2.TXT", Bytes("22"));
    WriteFile(dir / "src" / "a_.txt", Bytes("333"));
    WriteFile(dir / "src" / "a" / "x.txt", Bytes("4444"));
    WriteFile(dir / "src" / "Empty.bin", {});
    ASSERT_TRUE(Pack(dir / "src", dir / "out.pbo"));

    // Symbols before digits before letters; names keep their case.
    EXPECT_EQ(StoredNames(dir / "out.pbo"),
              (std::vector<std::string>{"a\\x.txt", "a_.txt", "a1.txt", "A2.TXT", "Empty.bin"}));

    TPbFile archive;
    ASSERT_TRUE(archive.Open((dir / "out.pbo").string()));
    const TPbFileItem* empty = archive.FindFile("empty.bin");
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->DataSize, 0);
    // Data follows in the same order: Empty.bin's data ends the file.
    EXPECT_EQ(empty->DataOffset, fs::file_size(dir / "out.pbo"));
}

TEST(PbWriter, WriteOrderComparison)
{
    EXPECT_TRUE(PbWriteOrderLess("a\\b", "a_b"));
    EXPECT_TRUE(PbWriteOrderLess("a_b", "a1"));
    EXPECT_TRUE(PbWriteOrderLess("a9", "aa"));
    EXPECT_TRUE(PbWriteOrderLess("a.txt", "a\\b"));
    EXPECT_TRUE(PbWriteOrderLess("ab", "ABC"));
    EXPECT_FALSE(PbWriteOrderLess("ABC", "abc"));
    EXPECT_FALSE(PbWriteOrderLess("abc", "ABC"));
    EXPECT_TRUE(PbWriteOrderLess("z", "\xE9"));
}

TEST(PbWriter, SourceNamesAndFailures)
{
    test::TRecordingServices rec;
    const fs::path dir = TempDir("pbwriter-names");
    WriteFile(dir / "Src" / "Models" / "Tank.p3d", Bytes("t"));
    WriteFile(dir / "other" / "Loose.txt", Bytes("l"));

    TPbFile archive;
    ASSERT_TRUE(archive.CreateNew((dir / "x.pbo").string()));
    archive.SetSourcePrefix((dir / "Src").string());
    EXPECT_EQ(archive.SourcePrefix, LowerCase((dir / "Src").string()) + kPathSeparator);
    // A file under the prefix keeps the rest of its path; any other file
    // only its name.
    EXPECT_TRUE(archive.AddSourceFiles({(dir / "Src" / "Models" / "Tank.p3d").string(),
                                        (dir / "other" / "Loose.txt").string()}));
    EXPECT_TRUE(archive.FindFile("models\\tank.p3d"));
    EXPECT_EQ(archive.FindFile("models\\tank.p3d")->Name, "Models\\Tank.p3d");
    EXPECT_TRUE(archive.FindFile("loose.txt"));

    // A missing file ends the adding with a box; what was added stays.
    const std::string missing = (dir / "nothere.txt").string();
    EXPECT_FALSE(archive.AddSourceFiles({missing, (dir / "other" / "Loose.txt").string()}));
    ASSERT_EQ(rec.Messages.size(), 1u);
    EXPECT_EQ(rec.Messages[0], "Cannot open file \"" + missing + "\"");
    EXPECT_EQ(archive.Files.Count(), 2);
    EXPECT_TRUE(archive.WriteArchive());

    // Destinations that cannot be created.
    TPbFile bad;
    EXPECT_FALSE(bad.CreateNew((dir / "no" / "such" / "folder" / "x.pbo").string()));
    EXPECT_FALSE(bad.LastError().empty());
    EXPECT_FALSE(bad.CreateNew(dir.string()));
}

TEST(PbWriter, FailedWriteKeepsTheOldArchive)
{
    test::TRecordingServices rec;
    const fs::path dir = TempDir("pbwriter-fail");
    WriteFile(dir / "src" / "a.txt", Bytes("aaa"));
    WriteFile(dir / "src" / "b.txt", Bytes("bbb"));
    WriteFile(dir / "old.pbo", Bytes("the archive that was here"));

    std::vector<std::string> files;
    FindFiles((dir / "src").string(), "*.*", files, true);
    TPbFile archive;
    ASSERT_TRUE(archive.CreateNew((dir / "old.pbo").string()));
    archive.SetSourcePrefix((dir / "src").string());
    ASSERT_TRUE(archive.AddSourceFiles(files));
    // The file shrinks after it was added: fewer bytes than announced.
    WriteFile(dir / "src" / "b.txt", Bytes("b"));
    EXPECT_FALSE(archive.WriteArchive());
    EXPECT_FALSE(archive.LastError().empty());
    ASSERT_FALSE(rec.Log.empty());
    EXPECT_EQ(rec.Log.back(), "Error write operation");
    EXPECT_EQ(ReadFileBytes(dir / "old.pbo"), Bytes("the archive that was here"));
    // No temporary file is left beside it.
    int count = 0;
    for (const auto& e : fs::directory_iterator(dir)) count += e.is_regular_file();
    EXPECT_EQ(count, 1);
}

TEST(PbWriter, StreamSourcesAndHeaderRoundTrip)
{
    TPbFile archive;
    const fs::path dir = TempDir("pbwriter-stream");
    ASSERT_TRUE(archive.CreateNew((dir / "mem.pbo").string()));
    auto item = std::make_unique<TPbFileItem>(&archive, "Mem\\Data.bin");
    item->DataSize = 4;
    item->TimeStamp = kPbNoTime;
    item->SetSource(new TMemoryStream(Bytes("DATA")), true);
    archive.Files.Add("mem\\data.bin", std::move(item));
    ASSERT_TRUE(archive.WriteArchive());

    TPbFile back;
    ASSERT_TRUE(back.Open((dir / "mem.pbo").string()));
    const TPbFileItem* read = back.FindFile("mem\\data.bin");
    ASSERT_TRUE(read);
    EXPECT_EQ(read->TimeStamp, kPbNoTime);
    EXPECT_EQ(read->Modified, 0);
    EXPECT_EQ(read->ModifiedText(), "");
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(read->ExtractToBytes(back.Stream.get(), bytes));
    EXPECT_EQ(bytes, Bytes("DATA"));
}
