// The texture flavour of LZSS: ring start contents and the signed checksum.
#include <gtest/gtest.h>

#include "Core/Stream.h"
#include "Texture/TextureLzss.h"
#include "TextureFiles.h"

using namespace mc;
using namespace mc::test;

namespace {

bool Decode(const Bytes& stream, Bytes& out)
{
    TMemoryReader in(stream.data(), stream.size());
    return DecodeTextureLzss(in, out.data(), out.size());
}

// Checksum bytes of a signed sum.
Bytes WithSignedSum(Bytes stream, const Bytes& output)
{
    uint32_t sum = 0;
    for (uint8_t c : output) sum += uint32_t(int32_t(int8_t(c)));
    PutU32(stream, sum);
    return stream;
}

TEST(TextureLzss, ReferencesAtTheStartReadTheRingsInitialContents)
{
    // Distance 1 reaches the last space before the write position; distance
    // 0 is a whole ring back, where the zero-filled tail starts.
    Bytes out(3);
    ASSERT_TRUE(Decode(WithSignedSum({0x00, 0x01, 0x00}, {0x20, 0x20, 0x20}), out));
    EXPECT_EQ(out, (Bytes{0x20, 0x20, 0x20}));
    ASSERT_TRUE(Decode(WithSignedSum({0x00, 0x00, 0x00}, {0, 0, 0}), out));
    EXPECT_EQ(out, (Bytes{0, 0, 0}));
    // Distance 2 of four bytes overlaps what it produces.
    Bytes four(4);
    ASSERT_TRUE(Decode(WithSignedSum({0x00, 0x02, 0x01}, {0x20, 0x20, 0x20, 0x20}), four));
}

TEST(TextureLzss, ChecksumSumsBytesAsSigned)
{
    const Bytes data = {0x80, 0xFF, 0x10, 0xC0};
    Bytes stream = {0x0F, 0x80, 0xFF, 0x10, 0xC0};  // four literals
    Bytes out(4);
    EXPECT_TRUE(Decode(WithSignedSum(stream, data), out));
    EXPECT_EQ(out, data);
    EXPECT_EQ(TextureChecksum(data.data(), data.size()), uint32_t(-128 - 1 + 16 - 64));

    Bytes unsignedSum = stream;
    PutU32(unsignedSum, 0x80 + 0xFF + 0x10 + 0xC0);
    EXPECT_FALSE(Decode(unsignedSum, out));
}

TEST(TextureLzss, DamagedStreamsFailWithoutRaising)
{
    const Bytes data(300, 0x41);
    const Bytes good = EncodeTextureLzss(data);
    Bytes out(data.size());
    ASSERT_TRUE(Decode(good, out));
    EXPECT_EQ(out, data);

    // Cut anywhere, including inside the checksum.
    for (size_t cut : {size_t(0), size_t(1), good.size() / 2, good.size() - 1}) {
        const Bytes shortStream(good.begin(), good.begin() + ptrdiff_t(cut));
        EXPECT_FALSE(Decode(shortStream, out)) << cut;
    }
    // A reference running past the output.
    Bytes small(2);
    EXPECT_FALSE(Decode(WithSignedSum({0x00, 0x01, 0x00}, {}), small));
    // Nothing to decode: only the checksum of nothing is read.
    Bytes none;
    EXPECT_TRUE(Decode({0, 0, 0, 0}, none));
    EXPECT_FALSE(Decode({1, 0, 0, 0}, none));
}

}  // namespace
