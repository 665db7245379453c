#include "Core/LzssStream.h"
#include "LzssReference.h"

#include "Core/Stream.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#ifndef MESHCRAFT_REALDATA
#define MESHCRAFT_REALDATA "../shared/realdata"
#endif

using namespace mc;
using mc::test::RefDecode;
using mc::test::TRefResult;
using mc::test::TTrickleStream;

namespace {

using Bytes = std::vector<uint8_t>;

// ---------------------------------------------------------------------------
// Helpers

// Largest stream the encoder may produce for n bytes: all literals.
size_t EncodeBound(size_t n)
{
    return n + (n + 7) / 8 + 4;
}

Bytes Encode(const Bytes& in)
{
    Bytes out(EncodeBound(in.size()));
    const size_t len = LzssEncode(in.data(), in.size(), out.data(), out.size());
    out.resize(len);
    return out;
}

void PutU32(Bytes& b, uint32_t v)
{
    for (int k = 0; k < 4; ++k) b.push_back(uint8_t(v >> (8 * k)));
}

uint32_t SumUnsigned(const Bytes& b)
{
    uint32_t s = 0;
    for (uint8_t c : b) s += c;
    return s;
}

uint32_t SumSigned(const Bytes& b)
{
    uint32_t s = 0;
    for (uint8_t c : b) s += uint32_t(int32_t(int8_t(c)));
    return s;
}



// Decodes through LzssDecodeStream, mapping its outcomes onto the statuses.
TLzssStatus DecodeViaStream(TStream& s, Bytes& out, TLzssChecksum mode = TLzssChecksum::Unsigned)
{
    try {
        return LzssDecodeStream(s, out.data(), out.size(), mode) ? TLzssStatus::Ok : TLzssStatus::ChecksumMismatch;
    } catch (const EReadError&) {
        return TLzssStatus::SourceEnded;
    }
}

// ---------------------------------------------------------------------------
// Test data

Bytes RandomBytes(std::mt19937& rng, size_t n)
{
    Bytes b(n);
    for (auto& c : b) c = uint8_t(rng());
    return b;
}

Bytes Runs(std::mt19937& rng, size_t n)
{
    Bytes b;
    while (b.size() < n) {
        const uint8_t c = uint8_t(rng() % 4 == 0 ? ' ' : rng());
        b.insert(b.end(), std::min<size_t>(1 + rng() % 60, n - b.size()), c);
    }
    return b;
}

Bytes Text(std::mt19937& rng, size_t n)
{
    static const char* words[] = {"class ",  "CfgVehicles", " {\r\n", "model = ", "\"\\data\\",
                                  ".p3d\";", "armor=",      "10",     "};\r\n",   "\t"};
    Bytes b;
    while (b.size() < n) {
        const char* w = words[rng() % std::size(words)];
        b.insert(b.end(), w, w + std::strlen(w));
    }
    b.resize(n);
    return b;
}

// Vertex-like data: three smooth float channels interleaved.
Bytes Floats(size_t n)
{
    Bytes b(n);
    for (size_t i = 0; i * 4 < n; ++i) {
        const float v = float(std::sin(double(i / 3) * 0.01) * 10.0 + double(i % 3));
        uint8_t tmp[4];
        std::memcpy(tmp, &v, 4);
        std::memcpy(b.data() + i * 4, tmp, std::min<size_t>(4, n - i * 4));
    }
    return b;
}

void ExpectRoundTrip(const Bytes& in, const char* what)
{
    SCOPED_TRACE(std::string(what) + ", " + std::to_string(in.size()) + " bytes");
    const Bytes enc = Encode(in);
    ASSERT_GT(enc.size(), 0u);
    ASSERT_LE(enc.size(), EncodeBound(in.size()));
    Bytes out(in.size());
    size_t consumed = 0;
    ASSERT_EQ(LzssDecode(enc.data(), enc.size(), out.data(), out.size(), &consumed), TLzssStatus::Ok);
    EXPECT_EQ(consumed, enc.size());
    ASSERT_EQ(out, in);
}

// ---------------------------------------------------------------------------
// Encoder output format

TEST(LzssEncode, KnownStreams)
{
    EXPECT_EQ(Encode({'a', 'b', 'c'}), (Bytes{0x07, 0x61, 0x62, 0x63, 0x26, 0x01, 0x00, 0x00}));

    const Bytes distinct{1, 2, 3, 4, 5, 6, 7, 8};
    Bytes expected{0xFF, 1, 2, 3, 4, 5, 6, 7, 8};
    PutU32(expected, 36);
    EXPECT_EQ(Encode(distinct), expected);

    // Forty equal bytes: a literal, then references of distance 1 for 18
    // and 18 bytes and one of 3 bytes, all in one group.
    for (uint8_t c : {uint8_t('a'), uint8_t(0), uint8_t(0xFF)}) {
        SCOPED_TRACE(int(c));
        const Bytes run(40, c);
        const Bytes enc = Encode(run);
        ASSERT_EQ(enc.size(), 12u);
        EXPECT_EQ(Bytes(enc.begin(), enc.begin() + 6), (Bytes{0x01, c, 0x01, 0x0F, 0x01, 0x0F}));
        EXPECT_EQ(enc[7] & 0x0F, 0x00);
        EXPECT_EQ(Bytes(enc.end() - 4, enc.end()), (Bytes{uint8_t(40u * c), uint8_t(40u * c >> 8), 0, 0}));
        Bytes out(40);
        EXPECT_EQ(LzssDecode(enc.data(), enc.size(), out.data(), out.size()), TLzssStatus::Ok);
        EXPECT_EQ(out, run);
    }
}

TEST(LzssEncode, CapacityAndEmptyInput)
{
    const Bytes abc{'a', 'b', 'c'};
    uint8_t out[16];
    EXPECT_EQ(LzssEncode(abc.data(), 3, out, 8), 8u);
    EXPECT_EQ(LzssEncode(abc.data(), 3, out, 7), 0u);  // checksum does not fit
    EXPECT_EQ(LzssEncode(abc.data(), 3, out, 3), 0u);  // group does not fit
    const Bytes eight{1, 2, 3, 4, 5, 6, 7, 8};
    EXPECT_EQ(LzssEncode(eight.data(), 8, out, 8), 0u);  // full group of 9 bytes
    EXPECT_EQ(LzssEncode(eight.data(), 8, out, 12), 0u);
    EXPECT_EQ(LzssEncode(eight.data(), 8, out, 13), 13u);
    EXPECT_EQ(LzssEncode(abc.data(), 3, nullptr, 16), 0u);

    // Nothing to compress: only the checksum of nothing.
    std::memset(out, 0xAA, sizeof out);
    EXPECT_EQ(LzssEncode(nullptr, 0, out, 16), 4u);
    EXPECT_EQ(Bytes(out, out + 4), (Bytes{0, 0, 0, 0}));
    EXPECT_EQ(LzssEncode(nullptr, 0, out, 3), 0u);
}

// Bytes without a repeated 3-byte string (and no zeros or spaces, which the
// initial ring holds): nothing to match, every item a literal.
Bytes Unmatchable(std::mt19937& rng, size_t n)
{
    std::vector<bool> seen(1 << 24);
    Bytes b;
    while (b.size() < n) {
        const uint8_t c = uint8_t(1 + rng() % 255);
        if (c == ' ') continue;
        if (b.size() >= 2) {
            const size_t key = size_t(b[b.size() - 2]) << 16 | size_t(b.back()) << 8 | c;
            if (seen[key]) continue;
            seen[key] = true;
        }
        b.push_back(c);
    }
    return b;
}

// Incompressible data needs exactly the all-literal size: the encoder must
// succeed with that capacity and fail with one byte less.
TEST(LzssEncode, WorstCaseFitsTheBound)
{
    std::mt19937 rng(7);
    for (size_t n : {size_t(1), size_t(7), size_t(8), size_t(9), size_t(5000), size_t(65536)}) {
        SCOPED_TRACE(n);
        const Bytes in = Unmatchable(rng, n);
        Bytes out(EncodeBound(n));
        EXPECT_EQ(LzssEncode(in.data(), n, out.data(), out.size()), out.size());
        EXPECT_EQ(LzssEncode(in.data(), n, out.data(), out.size() - 1), 0u);
    }
}

// ---------------------------------------------------------------------------
// Round trips

TEST(LzssRoundTrip, DataKindsAndSizes)
{
    std::mt19937 rng(12345);
    std::vector<size_t> sizes;
    for (size_t n = 1; n <= 40; ++n) sizes.push_back(n);
    for (size_t base : {size_t(150), size_t(4078), size_t(4096), size_t(8192), size_t(12288)})
        for (int k = -20; k <= 20; k += (k >= -3 && k < 3) ? 1 : 7) sizes.push_back(size_t(int(base) + k));
    for (int i = 0; i < 20; ++i) sizes.push_back(1 + rng() % 20000);
    sizes.push_back(20000);

    for (size_t n : sizes) {
        ExpectRoundTrip(RandomBytes(rng, n), "random");
        ExpectRoundTrip(Runs(rng, n), "runs");
        ExpectRoundTrip(Text(rng, n), "text");
        ExpectRoundTrip(Floats(n), "floats");
        ExpectRoundTrip(Bytes(n, 0), "zeros");
        ExpectRoundTrip(Bytes(n, ' '), "spaces");
    }
}

// Strings starting near the end of the ring are compared through the copy of
// the ring's first bytes kept after its end. A run with one odd byte placed
// where that copy matters (about one ring length in), with prefixes that
// shift where the items start: a stale copy claims matches that are not
// there.
TEST(LzssRoundTrip, MatchesAcrossTheRingEnd)
{
    for (uint8_t fill : {uint8_t(0), uint8_t('a')}) {
        for (size_t prefix = 0; prefix < 18; ++prefix) {
            for (size_t odd = 4112; odd < 4132; ++odd) {
                Bytes in(8300, fill);
                for (size_t k = 0; k < prefix; ++k) in[k] = uint8_t('A' + k);
                in[odd] = 'b';
                const std::string what = "fill " + std::to_string(fill) + ", prefix " + std::to_string(prefix) +
                                         ", odd byte at " + std::to_string(odd);
                ExpectRoundTrip(in, what.c_str());
            }
        }
    }
}

TEST(LzssRoundTrip, LargeInputsThroughEveryDecoder)
{
    std::mt19937 rng(99);
    Bytes in = Floats(300000);
    const Bytes text = Text(rng, 200000);
    in.insert(in.end(), text.begin(), text.end());
    const Bytes noise = RandomBytes(rng, 100000);
    in.insert(in.end(), noise.begin(), noise.end());

    const Bytes enc = Encode(in);
    ASSERT_GT(enc.size(), 0u);

    Bytes out(in.size());
    ASSERT_EQ(LzssDecode(enc.data(), enc.size(), out.data(), out.size()), TLzssStatus::Ok);
    EXPECT_EQ(out, in);

    TMemoryReader mem(enc.data(), enc.size());
    std::fill(out.begin(), out.end(), 0);
    ASSERT_EQ(DecodeViaStream(mem, out), TLzssStatus::Ok);
    EXPECT_EQ(out, in);

    for (size_t chunk : {size_t(1), size_t(16), size_t(17), size_t(1000)}) {
        SCOPED_TRACE(chunk);
        TTrickleStream trickle(enc, chunk);
        std::fill(out.begin(), out.end(), 0);
        ASSERT_EQ(DecodeViaStream(trickle, out), TLzssStatus::Ok);
        EXPECT_EQ(out, in);
        EXPECT_EQ(trickle.Position(), int64_t(enc.size()));
    }
}

// ---------------------------------------------------------------------------
// Decoding hand-built streams

// The first references reach into the ring's initial contents: ring bytes
// 0..4077 are spaces, 4078..4095 zeros, and the write position starts at 4078.
TEST(LzssDecode, ReferencesIntoTheInitialRing)
{
    struct TCase {
        Bytes items;  // flag byte and items
        Bytes expected;
    };
    const TCase cases[] = {
        {{0x00, 0x01, 0x00}, {' ', ' ', ' '}},              // distance 1: ring 4077..
        {{0x00, 0x00, 0x00}, {0, 0, 0}},                    // distance 0: ring 4078.. (not yet written)
        {{0x00, 0xEF, 0xF0}, {0, ' ', ' '}},                // ring 4095, 0, 1
        {{0x00, 0xFE, 0xFF}, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, ' ', ' '}},  // ring 4080..4095, 0, 1
        {{0x03, 'x', 'y', 0x04, 0x02}, {'x', 'y', ' ', ' ', 'x', 'y', ' '}},  // spaces, then own output
    };
    for (const TCase& c : cases) {
        Bytes src = c.items;
        PutU32(src, SumUnsigned(c.expected));
        Bytes out(c.expected.size(), 0xAA);
        size_t consumed = 0;
        EXPECT_EQ(LzssDecode(src.data(), src.size(), out.data(), out.size(), &consumed), TLzssStatus::Ok);
        EXPECT_EQ(out, c.expected);
        EXPECT_EQ(consumed, src.size());
    }
}

TEST(LzssDecode, RefusesMissingArguments)
{
    const Bytes src = Encode({'a', 'b', 'c'});
    uint8_t out[3];
    EXPECT_EQ(LzssDecode(nullptr, src.size(), out, 3), TLzssStatus::BadArguments);
    EXPECT_EQ(LzssDecode(src.data(), 0, out, 3), TLzssStatus::BadArguments);
    EXPECT_EQ(LzssDecode(src.data(), src.size(), nullptr, 3), TLzssStatus::BadArguments);
    EXPECT_EQ(LzssDecode(src.data(), src.size(), out, 0), TLzssStatus::BadArguments);
    TMemoryReader mem(src.data(), src.size());
    EXPECT_FALSE(LzssDecodeStream(mem, out, 0));
    EXPECT_FALSE(LzssDecodeStream(mem, nullptr, 3));
    EXPECT_EQ(mem.Position(), 0);
}

// A reference that would write past the n bytes asked for fails, whether it
// is met near the end of a small output or after a long fast-decoded stretch.
TEST(LzssDecode, OutputOverrun)
{
    // Three literals and a 3-byte reference make six bytes.
    Bytes src{0x07, 'a', 'b', 'c', 0x03, 0x00};
    PutU32(src, 0);
    Bytes out(5, 0);
    EXPECT_EQ(LzssDecode(src.data(), src.size(), out.data(), 5), TLzssStatus::OutputOverrun);
    out.resize(6);
    EXPECT_EQ(LzssDecode(src.data(), src.size(), out.data(), 6), TLzssStatus::ChecksumMismatch);

    const Bytes in = Bytes(5000, 'z');
    const Bytes enc = Encode(in);
    for (size_t n : {size_t(4999), size_t(4990), size_t(1000), size_t(200)}) {
        SCOPED_TRACE(n);
        Bytes guarded(n + 64, 0x5A);
        EXPECT_EQ(LzssDecode(enc.data(), enc.size(), guarded.data(), n), TLzssStatus::OutputOverrun);
        EXPECT_TRUE(std::all_of(guarded.begin() + ptrdiff_t(n), guarded.end(), [](uint8_t c) { return c == 0x5A; }));
    }
}

// Groups of long references that end exactly at n: nothing may be written
// past the n bytes, even by copies done in whole words.
TEST(LzssDecode, LongReferencesEndingAtN)
{
    for (unsigned len = 16; len <= 18; ++len) {
        for (unsigned dist : {8u, 9u, 18u, 100u}) {
            for (size_t groups = 1; groups <= 3; ++groups) {
                SCOPED_TRACE(::testing::Message() << len << " " << dist << " " << groups);
                Bytes src{0xFF, 'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h'};
                for (size_t g = 0; g < groups; ++g) {
                    src.push_back(0x00);
                    for (int k = 0; k < 8; ++k) src.insert(src.end(), {uint8_t(dist), uint8_t(len - 3)});
                }
                const size_t n = 8 + groups * 8 * len;
                const TRefResult ref = RefDecode(src.data(), src.size(), n);
                ASSERT_EQ(ref.itemsEnd, src.size());
                PutU32(src, ref.sum);
                Bytes out(n + 32, 0x5A);
                ASSERT_EQ(LzssDecode(src.data(), src.size(), out.data(), n), TLzssStatus::Ok);
                EXPECT_EQ(Bytes(out.begin(), out.begin() + ptrdiff_t(n)), ref.out);
                EXPECT_TRUE(std::all_of(out.begin() + ptrdiff_t(n), out.end(), [](uint8_t c) { return c == 0x5A; }));
            }
        }
    }
}

TEST(LzssDecode, Checksum)
{
    const Bytes in{'a', 'b', 'c'};
    Bytes enc = Encode(in);
    Bytes out(3);
    size_t consumed = 0;

    // Trailing bytes after the checksum are left alone.
    Bytes longer = enc;
    longer.insert(longer.end(), {1, 2, 3});
    EXPECT_EQ(LzssDecode(longer.data(), longer.size(), out.data(), 3, &consumed), TLzssStatus::Ok);
    EXPECT_EQ(consumed, enc.size());

    for (size_t cut = 1; cut <= 4; ++cut) {
        SCOPED_TRACE(cut);
        EXPECT_EQ(LzssDecode(enc.data(), enc.size() - cut, out.data(), 3), TLzssStatus::SourceEnded);
    }
    for (size_t k = enc.size() - 4; k < enc.size(); ++k) {
        Bytes bad = enc;
        bad[k] ^= 0x10;
        EXPECT_EQ(LzssDecode(bad.data(), bad.size(), out.data(), 3), TLzssStatus::ChecksumMismatch);
    }
}

// Signed mode adds the bytes as -128..127.
TEST(LzssDecode, SignedChecksum)
{
    std::mt19937 rng(5);
    const Bytes in = RandomBytes(rng, 3000);
    ASSERT_NE(SumSigned(in), SumUnsigned(in));
    Bytes enc = Encode(in);
    Bytes out(in.size());
    EXPECT_EQ(LzssDecode(enc.data(), enc.size(), out.data(), out.size(), nullptr, TLzssChecksum::Signed),
              TLzssStatus::ChecksumMismatch);

    enc.resize(enc.size() - 4);
    PutU32(enc, SumSigned(in));
    EXPECT_EQ(LzssDecode(enc.data(), enc.size(), out.data(), out.size(), nullptr, TLzssChecksum::Signed),
              TLzssStatus::Ok);
    EXPECT_EQ(out, in);
    EXPECT_EQ(LzssDecode(enc.data(), enc.size(), out.data(), out.size()), TLzssStatus::ChecksumMismatch);
    TTrickleStream s(enc, 100);
    EXPECT_EQ(DecodeViaStream(s, out, TLzssChecksum::Signed), TLzssStatus::Ok);

    // A short tail after whole 8-byte words, all bytes high.
    const Bytes high(1021, 0xF0);
    Bytes enc2 = Encode(high);
    enc2.resize(enc2.size() - 4);
    PutU32(enc2, uint32_t(-16 * 1021));
    Bytes out2(high.size());
    EXPECT_EQ(LzssDecode(enc2.data(), enc2.size(), out2.data(), out2.size(), nullptr, TLzssChecksum::Signed),
              TLzssStatus::Ok);
}

// Every proper prefix of a stream is refused: SourceEnded from the buffer
// decoder, the read error from the stream decoder.
TEST(LzssDecode, TruncatedSource)
{
    std::mt19937 rng(11);
    Bytes in = Text(rng, 3000);
    const Bytes noise = RandomBytes(rng, 600);
    in.insert(in.end(), noise.begin(), noise.end());
    const Bytes enc = Encode(in);
    Bytes out(in.size());
    for (size_t len = 1; len < enc.size(); ++len) {
        SCOPED_TRACE(len);
        ASSERT_EQ(LzssDecode(enc.data(), len, out.data(), out.size()), TLzssStatus::SourceEnded);
        if (len % 97 == 0 || len + 5 > enc.size()) {
            const Bytes part(enc.begin(), enc.begin() + ptrdiff_t(len));
            TMemoryReader mem(part.data(), part.size());
            try {
                LzssDecodeStream(mem, out.data(), out.size());
                ADD_FAILURE() << "no read error";
            } catch (const EReadError& e) {
                EXPECT_STREQ(e.what(), "Error read operation due to file possibly corrupted.");
            }
            TTrickleStream trickle(part, 7);
            EXPECT_THROW(LzssDecodeStream(trickle, out.data(), out.size()), EReadError);
        }
    }
    TMemoryStream empty;
    EXPECT_THROW(LzssDecodeStream(empty, out.data(), out.size()), EReadError);
}

// ---------------------------------------------------------------------------
// Stream position

TEST(LzssDecodeStream, LeavesPositionAfterTheChecksum)
{
    std::mt19937 rng(21);
    for (size_t n : {size_t(10), size_t(5000), size_t(300000)}) {
        SCOPED_TRACE(n);
        Bytes in = Floats(n);
        const Bytes noise = RandomBytes(rng, n / 3);
        std::copy(noise.begin(), noise.end(), in.begin() + ptrdiff_t(n / 2));
        const Bytes enc = Encode(in);

        Bytes file{'H', 'D', 'R'};
        file.insert(file.end(), enc.begin(), enc.end());
        file.insert(file.end(), 70000, 0xEE);  // whatever follows in the file
        const int64_t after = int64_t(3 + enc.size());

        Bytes out(n);
        TMemoryStream mem(file);
        ASSERT_TRUE(mem.Seek(3));
        ASSERT_TRUE(LzssDecodeStream(mem, out.data(), n));
        EXPECT_EQ(out, in);
        EXPECT_EQ(mem.Position(), after);

        const std::filesystem::path path =
            std::filesystem::temp_directory_path() / ("meshcraft_lzss_" + std::to_string(n) + ".bin");
        {
            TFileStream w;
            ASSERT_TRUE(w.Open(path.string(), TFileStream::Mode::Create));
            ASSERT_EQ(w.Write(file.data(), file.size()), file.size());
            ASSERT_TRUE(w.Close());
        }
        TFileStream f;
        ASSERT_TRUE(f.Open(path.string(), TFileStream::Mode::Read));
        ASSERT_TRUE(f.Seek(3));
        std::fill(out.begin(), out.end(), 0);
        ASSERT_TRUE(LzssDecodeStream(f, out.data(), n));
        EXPECT_EQ(out, in);
        EXPECT_EQ(f.Position(), after);
        uint8_t next = 0;
        EXPECT_EQ(f.Read(&next, 1), 1u);
        EXPECT_EQ(next, 0xEE);
        f.Close();
        std::filesystem::remove(path);
    }
}

// ---------------------------------------------------------------------------
// Agreement with the ring-buffer decoder

void ExpectSameAsReference(const Bytes& src, size_t n, TLzssChecksum mode)
{
    const TRefResult ref = RefDecode(src.data(), src.size(), n, mode);
    Bytes out(n);
    size_t consumed = 0;
    const TLzssStatus st = LzssDecode(src.data(), src.size(), out.data(), n, &consumed, mode);
    ASSERT_EQ(st, ref.status);
    ASSERT_EQ(consumed, ref.consumed);
    if (st == TLzssStatus::Ok || st == TLzssStatus::ChecksumMismatch) {
        ASSERT_EQ(out, ref.out);
    }

    TTrickleStream s(src, 1 + src.size() % 300);
    Bytes out2(n);
    const TLzssStatus st2 = DecodeViaStream(s, out2, mode);
    ASSERT_EQ(st2, ref.status == TLzssStatus::OutputOverrun ? TLzssStatus::ChecksumMismatch : ref.status);
    if (st2 == TLzssStatus::Ok) {
        ASSERT_EQ(out2, ref.out);
        ASSERT_EQ(s.Position(), int64_t(ref.consumed));
    }
}

// Random bytes taken as a stream: mostly failures, which must be the same
// failures. Then the same items with their correct checksum appended, which
// must decode to the same bytes.
TEST(LzssDecode, AgreesWithRingDecoderOnGarbage)
{
    std::mt19937 rng(2024);
    for (int iter = 0; iter < 3000; ++iter) {
        SCOPED_TRACE(iter);
        const size_t n = 1 + (iter % 3 == 0 ? rng() % 40 : rng() % 20000);
        Bytes src = RandomBytes(rng, 1 + rng() % (n + 30));
        // Bias towards references (and the initial ring) in a third of cases.
        if (iter % 3 == 1)
            for (size_t k = 0; k < src.size(); k += 1 + rng() % 17) src[k] &= uint8_t(rng());
        const TLzssChecksum mode = iter % 5 == 0 ? TLzssChecksum::Signed : TLzssChecksum::Unsigned;
        ExpectSameAsReference(src, n, mode);

        const TRefResult ref = RefDecode(src.data(), src.size(), n, mode);
        if (ref.status == TLzssStatus::ChecksumMismatch || ref.status == TLzssStatus::Ok ||
            (ref.status == TLzssStatus::SourceEnded && ref.itemsEnd)) {
            Bytes fixed(src.begin(), src.begin() + ptrdiff_t(ref.itemsEnd));
            PutU32(fixed, ref.sum);
            const TRefResult good = RefDecode(fixed.data(), fixed.size(), n, mode);
            ASSERT_EQ(good.status, TLzssStatus::Ok);
            ExpectSameAsReference(fixed, n, mode);
        }
    }
}

// Valid streams with a few bytes changed.
TEST(LzssDecode, AgreesWithRingDecoderOnDamagedStreams)
{
    std::mt19937 rng(77);
    for (int iter = 0; iter < 600; ++iter) {
        SCOPED_TRACE(iter);
        const size_t n = 1 + rng() % 12000;
        const Bytes in = iter % 2 ? Text(rng, n) : Runs(rng, n);
        Bytes enc = Encode(in);
        for (int k = 0, hits = 1 + int(rng() % 4); k < hits; ++k) enc[rng() % enc.size()] ^= uint8_t(1 + rng() % 255);
        if (iter % 4 == 0) enc.resize(1 + rng() % enc.size());
        const size_t askN = iter % 3 == 0 ? 1 + rng() % (n + 50) : n;
        ExpectSameAsReference(enc, askN, TLzssChecksum::Unsigned);
    }
}

// ---------------------------------------------------------------------------
// A stream made by the game's own tools

TEST(LzssRealData, RoadsLibrary)
{
    const std::filesystem::path path = std::filesystem::path(MESHCRAFT_REALDATA) / "lzss" / "a3_roadslib_lzss.cfg";
    Bytes file;
    if (!std::filesystem::exists(path) || !ReadWholeFile(path.string(), file)) GTEST_SKIP() << path << " absent";

    Bytes out(1372);
    size_t consumed = 0;
    ASSERT_EQ(LzssDecode(file.data(), file.size(), out.data(), out.size(), &consumed), TLzssStatus::Ok);
    EXPECT_EQ(consumed, file.size());
    EXPECT_EQ(RefDecode(file.data(), file.size(), out.size()).out, out);

    TMemoryReader mem(file.data(), file.size());
    Bytes out2(out.size());
    EXPECT_TRUE(LzssDecodeStream(mem, out2.data(), out2.size()));
    EXPECT_EQ(out2, out);

    // Whether our encoder reproduces the file: informative only.
    const Bytes again = Encode(out);
    if (again == file) {
        std::printf("[ info     ] re-encoding reproduces the file byte for byte\n");
    } else {
        size_t first = 0;
        while (first < std::min(again.size(), file.size()) && again[first] == file[first]) ++first;
        std::printf("[ info     ] re-encoding differs: %zu vs %zu bytes, first difference at %zu\n", again.size(),
                    file.size(), first);
    }
    Bytes back(out.size());
    EXPECT_EQ(LzssDecode(again.data(), again.size(), back.data(), back.size()), TLzssStatus::Ok);
    EXPECT_EQ(back, out);
}

}  // namespace
