// Extracting to disk: names that would leave the folder are refused, the rest
// is written; pack then extract gives the same tree back.
#include <gtest/gtest.h>

#include <filesystem>

#include "Archive/MakeAddOn.h"
#include "Archive/PbExtract.h"
#include "Archive/PbFile.h"
#include "ArchiveBuilder.h"
#include "FileTree.h"
#include "TestSupport.h"

using namespace mc;
using namespace mc::test;
namespace fs = std::filesystem;

TEST(PbExtract, SafeEntryPaths)
{
    fs::path rel;
    std::string reason;
    ASSERT_TRUE(SafeEntryPath("Data\\Sub\\Tank.P3D", rel));
    EXPECT_EQ(rel, fs::path("Data") / "Sub" / "Tank.P3D");
    ASSERT_TRUE(SafeEntryPath("a\\\\.\\b..c\\..d", rel));
    EXPECT_EQ(rel, fs::path("a") / "b..c" / "..d");
    // Names that only begin like a device are files.
    for (const char* fine : {"console.txt", "nul2", "com10.p3d", "auxiliary\\x", "lpt", "a.nul", "x\\com"})
        EXPECT_TRUE(SafeEntryPath(fine, rel)) << fine;
    for (const char* bad : {"", "..\\evil.txt", "a\\..\\..\\evil", "a/../b", "..", "\\abs.txt", "/abs.txt",
                            "c:\\x.txt", "C:x.txt", "a\\b:c", "folder\\", ".\\.", "...\\evil", "a\\.. \\evil",
                            "a\\. . \\x", "nul", "NUL.txt", "a\\con\\b", "Aux.p3d", "com1", "LPT9.pbo",
                            "prn .txt", "conin$", "CONOUT$.x", "com\xC2\xB9.txt", "lpt0"}) {
        reason.clear();
        EXPECT_FALSE(SafeEntryPath(bad, rel, &reason)) << bad;
        EXPECT_FALSE(reason.empty()) << bad;
        EXPECT_TRUE(rel.empty()) << bad;
    }
}

TEST(PbExtract, UnsafeAndBrokenEntriesAreSkipped)
{
    test::TRecordingServices rec;
    const fs::path dir = TempDir("pbextract-unsafe");
    TEntrySpec beyond{"beyond.bin", Bytes("x"), kPbMethodStored, 0, 0, true, 1 << 20};
    const auto bytes = BuildArchive({{"..\\evil.txt", Bytes("evil")},
                                     {"\\abs.txt", Bytes("abs")},
                                     {"c:\\drive.txt", Bytes("drive")},
                                     {"ok\\Good.txt", Bytes("good")},
                                     Packed("ok\\packed.bin", std::vector<uint8_t>(1000, 'p')),
                                     beyond});
    WriteFile(dir / "archive.pbo", bytes);
    TPbFile archive;
    ASSERT_TRUE(archive.Open((dir / "archive.pbo").string()));

    const fs::path out = dir / "out";
    fs::create_directories(out);
    WriteFile(out / "ok" / "Good.txt", Bytes("replaced"));
    const TExtractSummary s = ExtractToFolder(archive, out.string());
    EXPECT_EQ(s.Extracted, 2);
    EXPECT_EQ(s.Refused, 3);
    EXPECT_EQ(s.Failed, 1);
    EXPECT_EQ(s.Bytes, 1004u);
    EXPECT_EQ(rec.Log.size(), 4u);
    EXPECT_EQ(rec.Log[0], "Entry \"..\\evil.txt\" refused: it has a \"..\" component");

    const auto tree = ReadTree(dir);
    EXPECT_EQ(tree.size(), 3u);  // archive.pbo and the two good entries
    EXPECT_EQ(tree.at("out/ok/Good.txt"), Bytes("good"));
    EXPECT_EQ(tree.at("out/ok/packed.bin"), std::vector<uint8_t>(1000, 'p'));
    EXPECT_FALSE(fs::exists(out / "beyond.bin"));
    ASSERT_GE(rec.Status.size(), 2u);
    EXPECT_EQ(rec.Status[rec.Status.size() - 2], "Extract \"archive.pbo\"...");
    EXPECT_EQ(rec.Status.back(), "");

    // Chosen entries only.
    const fs::path some = dir / "some";
    const TExtractSummary one = ExtractToFolder(archive, some.string(), {archive.FindFile("ok\\packed.bin")});
    EXPECT_EQ(one.Extracted, 1);
    EXPECT_EQ(ReadTree(some).size(), 1u);
}

TEST(PbExtract, PackThenExtractGivesTheSameTree)
{
    test::TRecordingServices rec;
    const fs::path dir = TempDir("pbextract-roundtrip");
    const fs::path src = dir / "Src";
    std::vector<uint8_t> binary(70000);
    for (size_t i = 0; i < binary.size(); ++i) binary[i] = static_cast<uint8_t>(i * 31 + i / 256);
    WriteFile(src / "Config.CPP", Bytes("class CfgPatches {};\r\n"));
    WriteFile(src / "Data" / "Tank.p3d", binary);
    WriteFile(src / "Data" / "Textures" / "camo_CO.paa", Bytes("texture"));
    WriteFile(src / "Data" / "Empty.txt", {});
    WriteFile(src / "sounds" / "engine.wss", std::vector<uint8_t>(2 << 20, 0x5A));

    TAddOnOptions options;
    options.SourceFolder = src.string();
    options.DestFile = (dir / "roundtrip.pbo").string();
    options.AddToPbManager = false;
    ASSERT_TRUE(MakeAddOn(options, nullptr));

    TPbFile archive;
    ASSERT_TRUE(archive.Open(options.DestFile));
    EXPECT_EQ(archive.Files.Count(), 5);
    const TExtractSummary s = ExtractToFolder(archive, (dir / "out").string());
    EXPECT_EQ(s.Extracted, 5);
    EXPECT_EQ(ReadTree(dir / "out"), ReadTree(src));
}
