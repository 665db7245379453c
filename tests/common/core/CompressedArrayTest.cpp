// Arrays stored raw below their threshold and compressed from it on.
#include <gtest/gtest.h>

#include "Core/CompressedArray.h"
#include "Core/StreamIO.h"

using namespace mc;

TEST(CompressedArray, RawBelowThresholdCompressedFromIt)
{
    std::vector<uint16_t> a(511);
    for (size_t i = 0; i < a.size(); ++i) a[i] = static_cast<uint16_t>(i * 7);
    TMemoryStream raw;
    WriteCompressedArrayOf(raw, a);
    EXPECT_EQ(raw.Size(), 4 + 1022);

    std::vector<uint16_t> b(512);
    for (size_t i = 0; i < b.size(); ++i) b[i] = static_cast<uint16_t>(i * 7);
    TMemoryStream packed;
    WriteCompressedArrayOf(packed, b);
    EXPECT_NE(packed.Size(), 4 + 1024);
    // The block ends with the byte sum of the data.
    uint32_t sum = 0;
    for (uint16_t v : b) sum += (v & 0xFF) + (v >> 8);
    packed.Seek(packed.Size() - 4);
    EXPECT_EQ(ReadCardinal(packed), sum);

    for (TMemoryStream* s : {&raw, &packed}) {
        s->Seek(0);
        std::vector<uint16_t> back;
        ASSERT_TRUE(ReadCompressedArrayOf(*s, back));
        EXPECT_EQ(back, s == &raw ? a : b);
        EXPECT_EQ(s->Remaining(), 0);
    }
}

TEST(CompressedArray, EmptyArrayIsACountOnly)
{
    TMemoryStream s;
    WriteCompressedArrayOf(s, std::vector<float>{});
    WriteByte(s, 0x55);
    EXPECT_EQ(s.Size(), 5);
    s.Seek(0);
    const TRawArray r = ReadCompressedArray(s, 4, 256);
    EXPECT_TRUE(r.Valid);
    EXPECT_EQ(r.Count, 0);
    EXPECT_TRUE(r.Data.empty());
    EXPECT_EQ(s.Position(), 4);
}

TEST(CompressedArray, HostileCountsAreRefusedBeforeAllocating)
{
    // Compressed form: a count far beyond what the remaining bytes can expand to.
    TMemoryStream huge;
    WriteInteger(huge, 0x7FFFFFFF);
    WriteInteger(huge, 0);
    huge.Seek(0);
    EXPECT_THROW(ReadCompressedArray(huge, 4, 256), EReadError);

    TMemoryStream negative;
    WriteInteger(negative, -5);
    negative.Seek(0);
    EXPECT_THROW(ReadCompressedArray(negative, 2, 512), EReadError);

    // Raw form that is not all there: no buffer, no exception.
    TMemoryStream shortRaw;
    WriteInteger(shortRaw, 100);
    WriteInteger(shortRaw, 1);
    shortRaw.Seek(0);
    const TRawArray r = ReadCompressedArray(shortRaw, 4, 256);
    EXPECT_FALSE(r.Valid);
    EXPECT_TRUE(r.Data.empty());
}

TEST(CompressedArray, CorruptCompressedDataGivesNoBuffer)
{
    std::vector<uint32_t> v(300, 0x01020304);
    TMemoryStream s;
    WriteCompressedArrayOf(s, v);
    std::vector<uint8_t> bytes = s.TakeBytes();
    bytes.back() ^= 0xFF;  // checksum
    TMemoryReader r(bytes.data(), bytes.size());
    std::vector<uint32_t> back;
    EXPECT_FALSE(ReadCompressedArrayOf(r, back));
    EXPECT_TRUE(back.empty());

    // Cut inside the compressed data: the stream runs out.
    TMemoryReader cut(bytes.data(), bytes.size() - 6);
    EXPECT_THROW(ReadCompressedArrayOf(cut, back), EReadError);
}
