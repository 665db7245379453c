// File names are UTF-8 texts everywhere in the library: names outside ASCII
// reach the file system unchanged (on Windows through its wide-character
// calls, not the code page of the day).
#include <gtest/gtest.h>

#include <filesystem>

#include "Archive/ArchiveFileStream.h"
#include "Archive/PbExtract.h"
#include "Archive/PbFile.h"
#include "ArchiveBuilder.h"
#include "Core/FilePaths.h"
#include "Core/FindFiles.h"
#include "Core/SafeSave.h"
#include "Core/Stream.h"
#include "Core/StreamIO.h"
#include "TestSupport.h"

using namespace mc;
using namespace mc::test;
namespace fs = std::filesystem;

namespace {

// Latin, Cyrillic and Japanese letters, and one outside the 16-bit plane.
const std::string kFolder = "Mod \xC3\x9C" "ber \xD0\x9E\xD0\xA4\xD0\x9F";
const std::string kFile = "t\xC3\xA4nk \xE6\x88\xA6\xE8\xBB\x8A \xF0\x9F\x98\x80.p3d";

std::string Join(const std::string& folder, const std::string& name) { return folder + kPathSeparator + name; }

}  // namespace

TEST(Utf8FileNames, StreamsSafeSaveAndSearch)
{
    const std::string base = PathToUtf8(TempDir("utf8-names"));
    const std::string folder = Join(base, kFolder);
    fs::create_directories(PathFromUtf8(folder));
    const std::string path = Join(folder, kFile);

    {
        TFileStream out;
        ASSERT_TRUE(out.Open(path, TFileStream::Mode::Create));
        WriteText(out, "first");
    }
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(ReadWholeFile(path, bytes));
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "first");

    // Replacing a file that is there, through a temporary file beside it.
    ASSERT_TRUE(SaveFileSafely(path, [](TStream& s) { WriteText(s, "second"); return true; }));
    ASSERT_TRUE(ReadWholeFile(path, bytes));
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "second");

    TArchiveFileStream archive;
    ASSERT_TRUE(archive.Open(path));
    EXPECT_EQ(archive.Size(), 6);
    archive.Close();

    // The search gives the names back as they were made.
    std::vector<std::string> found;
    FindFiles(base, "*.p3d", found, true);
    EXPECT_EQ(found, std::vector<std::string>{path});
    found.clear();
    FindFiles(folder, "T\xC3\xA4NK*.P3D", found, false);
    EXPECT_EQ(found, std::vector<std::string>{path});

#ifdef _WIN32
    // The name on disk is the wide one, not a code-page rendering of it.
    const std::wstring wide = fs::path(base).wstring() + L"\\Mod \u00DCber \u041E\u0424\u041F\\t\u00E4nk "
                              L"\u6226\u8ECA \U0001F600.p3d";
    EXPECT_TRUE(fs::exists(fs::path(wide)));
#endif
}

TEST(Utf8FileNames, ExtractedEntries)
{
    TRecordingServices rec;
    const fs::path dir = TempDir("utf8-extract");
    const std::string entry = "data\\" + kFile;
    const fs::path archivePath = dir / PathFromUtf8(kFolder + ".pbo");
    {
        const auto bytes = BuildArchive({{entry, Bytes("model")}});
        TFileStream out;
        ASSERT_TRUE(out.Open(PathToUtf8(archivePath), TFileStream::Mode::Create));
        WriteBuffer(out, bytes.data(), bytes.size());
    }
    TPbFile archive;
    ASSERT_TRUE(archive.Open(PathToUtf8(archivePath)));
    const fs::path out = dir / PathFromUtf8(kFolder);
    const TExtractSummary s = ExtractToFolder(archive, PathToUtf8(out));
    EXPECT_EQ(s.Extracted, 1);
    EXPECT_EQ(ReadFileBytes(out / "data" / PathFromUtf8(kFile)), Bytes("model"));
}
