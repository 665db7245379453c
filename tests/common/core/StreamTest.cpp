// Byte-stream reads and writes: values, texts and the two failure messages.
#include <gtest/gtest.h>

#include <filesystem>

#include "Core/LoadResult.h"
#include "Core/Stream.h"
#include "Core/StreamIO.h"
#include "TestSupport.h"

using namespace mc;

namespace {

std::string ReadErrorOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const EFileError& e) {
        return e.what();
    }
    return "no error";
}

}  // namespace

TEST(Stream, ValuesRoundTripLittleEndian)
{
    TMemoryStream s;
    WriteByte(s, 0xAB);
    WriteWord(s, 0x1234);
    WriteInteger(s, -2);
    WriteSingle(s, 1.5f);
    WriteZString(s, "name");
    WriteText(s, "");
    WriteTextLine(s, "x");
    const std::vector<uint8_t> expected = {0xAB, 0x34, 0x12, 0xFE, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0xC0, 0x3F,
                                           'n',  'a',  'm',  'e',  0,    'x',  13,   10};
    EXPECT_EQ(s.Bytes(), expected);

    s.Seek(0);
    EXPECT_EQ(ReadByte(s), 0xAB);
    EXPECT_EQ(ReadWord(s), 0x1234);
    EXPECT_EQ(ReadInteger(s), -2);
    EXPECT_EQ(ReadSingle(s), 1.5f);
    EXPECT_EQ(ReadZString(s), "name");

    TMemoryReader r24("\x01\x02\x83", 3);
    EXPECT_EQ(ReadInteger24(r24), 0x830201u);
}

TEST(Stream, ShortReadRaisesTheReadMessage)
{
    const uint8_t three[3] = {1, 2, 3};
    TMemoryReader r(three, 3);
    EXPECT_EQ(ReadErrorOf([&] { ReadInteger(r); }), "Error read operation due to file possibly corrupted.");
    TMemoryReader noZero("abc", 3);
    EXPECT_EQ(ReadErrorOf([&] { ReadZString(noZero); }), kReadErrorText);
    TMemoryReader shortField("abc", 3);
    EXPECT_EQ(ReadErrorOf([&] { ReadString32(shortField); }), kReadErrorText);
    TMemoryReader shortBuffer(three, 3);
    uint8_t buf[4];
    EXPECT_EQ(ReadErrorOf([&] { ReadBuffer(shortBuffer, buf, 4); }), kReadErrorText);
}

TEST(Stream, ShortWriteRaisesTheWriteMessage)
{
    TMemoryStream s;
    s.SetCapacityLimit(5);
    WriteInteger(s, 1);
    EXPECT_EQ(ReadErrorOf([&] { WriteInteger(s, 2); }), "Error write operation. Please check free disk's space.");
    TMemoryReader readOnly("", 0);
    EXPECT_EQ(ReadErrorOf([&] { WriteByte(readOnly, 1); }), kWriteErrorText);
}

TEST(Stream, FixedWidthTexts)
{
    TMemoryStream s;
    WriteString32(s, std::string(40, 'q'));
    ASSERT_EQ(s.Size(), 32);
    EXPECT_EQ(std::string(s.Bytes().begin(), s.Bytes().begin() + 31), std::string(31, 'q'));
    EXPECT_EQ(s.Bytes()[31], 0);

    std::vector<uint8_t> field = {'a', 'b', 'c', 0};
    for (int i = 0; i < 28; ++i) field.push_back(static_cast<uint8_t>(0x41 + i));
    field.push_back(0x77);
    TMemoryReader r(field.data(), field.size());
    EXPECT_EQ(ReadString32(r), "abc");
    EXPECT_EQ(r.Position(), 32);
    EXPECT_EQ(ReadByte(r), 0x77);

    TMemoryStream w;
    WriteString64(w, "hello");
    EXPECT_EQ(w.Size(), 64);
    w.Seek(0);
    EXPECT_EQ(ReadString64(w), "hello");
}

TEST(Stream, FileStreamReadsWhatWasWritten)
{
    const auto dir = test::TempDir("stream-file");
    const std::string path = (dir / "f.bin").string();
    {
        TFileStream f;
        ASSERT_TRUE(f.Open(path, TFileStream::Mode::Create));
        WriteInteger(f, 7);
        WriteZString(f, "abc");
        EXPECT_EQ(f.Size(), 8);
        ASSERT_TRUE(f.Close());
    }
    TFileStream f;
    ASSERT_TRUE(f.Open(path, TFileStream::Mode::Read));
    EXPECT_EQ(f.Size(), 8);
    EXPECT_EQ(ReadInteger(f), 7);
    EXPECT_EQ(ReadZString(f), "abc");
    EXPECT_EQ(f.Remaining(), 0);
    EXPECT_THROW(ReadByte(f), EReadError);
    EXPECT_FALSE(TFileStream().Open((dir / "missing" / "x").string(), TFileStream::Mode::Read));
}

TEST(Stream, FoldersAndMissingFilesAreNoFiles)
{
    // A folder opens as a stream on some systems and then reads nonsense
    // sizes: it is refused before, by name.
    const auto dir = test::TempDir("stream-folder");
    const std::string folder = dir.string();
    const std::string missing = (dir / "missing.p3d").string();
    const std::string file = (dir / "f.bin").string();
    {
        TFileStream f;
        ASSERT_TRUE(f.Open(file, TFileStream::Mode::Create));
        WriteInteger(f, 1);
    }
    for (auto mode : {TFileStream::Mode::Read, TFileStream::Mode::ReadWrite, TFileStream::Mode::Create}) {
        TFileStream f;
        EXPECT_FALSE(f.Open(folder, mode));
        EXPECT_FALSE(f.IsOpen());
    }
    EXPECT_FALSE(TFileStream().Open(missing, TFileStream::Mode::Read));
    EXPECT_FALSE(TFileStream().Open(missing, TFileStream::Mode::ReadWrite));
    EXPECT_TRUE(TFileStream().Open(file, TFileStream::Mode::ReadWrite));
    std::vector<uint8_t> bytes;
    EXPECT_FALSE(ReadWholeFile(folder, bytes));
    EXPECT_TRUE(bytes.empty());
    ASSERT_TRUE(ReadWholeFile(file, bytes));
    EXPECT_EQ(bytes.size(), 4u);

    EXPECT_EQ(FileRefusal(folder), "\"" + folder + "\" is a folder");
    EXPECT_EQ(FileRefusal(missing), "\"" + missing + "\" does not exist");
    EXPECT_EQ(FileRefusal(file), "");
#ifndef _WIN32
    EXPECT_EQ(FileRefusal("/dev/null"), "\"/dev/null\" is not a regular file");
    EXPECT_FALSE(TFileStream().Open("/dev/null", TFileStream::Mode::Read));
#endif
}

TEST(Stream, SkipAndRemainingGuards)
{
    const uint8_t data[10] = {};
    TMemoryReader r(data, 10);
    SkipBytes(r, 4);
    EXPECT_EQ(r.Position(), 4);
    EXPECT_THROW(SkipBytes(r, 7), EReadError);
    EXPECT_NO_THROW(RequireRemaining(r, 6));
    EXPECT_THROW(RequireRemaining(r, 7), EReadError);
    EXPECT_THROW(RequireRemaining(r, UINT64_MAX), EReadError);
}
