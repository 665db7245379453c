// Fuzz target for the LZSS codec.
//
// Input: two bytes giving the output size N (little-endian, 1..65536), then
// the bytes taken as a compressed stream. The stream is decoded by the memory
// decoder in both checksum modes, by the stream decoder over memory and over
// a stream without a memory view (short reads), and by a plain ring-buffer
// decoder; all must agree. Then the whole input is compressed and must come
// back unchanged.
#include "Core/LzssStream.h"

#include "Core/Stream.h"
#include "LzssReference.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

using namespace mc;

namespace {

void Check(bool ok, const char* what)
{
    if (!ok) {
        std::fprintf(stderr, "FuzzLzss: %s\n", what);
        std::abort();
    }
}


// LzssDecodeStream outcome as a status: false covers both OutputOverrun and
// ChecksumMismatch.
TLzssStatus StreamStatus(TStream& s, uint8_t* out, size_t n, TLzssChecksum mode)
{
    try {
        return LzssDecodeStream(s, out, n, mode) ? TLzssStatus::Ok : TLzssStatus::ChecksumMismatch;
    } catch (const EReadError&) {
        return TLzssStatus::SourceEnded;
    }
}

TLzssStatus Coarse(TLzssStatus s)
{
    return s == TLzssStatus::OutputOverrun ? TLzssStatus::ChecksumMismatch : s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 3) return 0;
    const size_t n = 1 + (size_t(data[0]) | size_t(data[1]) << 8);
    const uint8_t* src = data + 2;
    const size_t srcLen = size - 2;

    std::vector<uint8_t> out(n), ref(n), viaStream(n);
    for (TLzssChecksum mode : {TLzssChecksum::Unsigned, TLzssChecksum::Signed}) {
        size_t consumed = 0;
        const TLzssStatus st = LzssDecode(src, srcLen, out.data(), n, &consumed, mode);
        Check(consumed <= srcLen, "consumed past the source");
        const test::TRefResult reference = test::RefDecode(src, srcLen, n, mode);
        const TLzssStatus expected = reference.status;
        ref = reference.out;
        Check(st == expected, "status differs from the ring decoder");
        if (st == TLzssStatus::Ok) Check(out == ref, "output differs from the ring decoder");

        TMemoryReader mem(src, srcLen);
        const TLzssStatus viaMem = StreamStatus(mem, viaStream.data(), n, mode);
        Check(viaMem == Coarse(st), "stream decoder (memory) disagrees");
        if (st == TLzssStatus::Ok) {
            Check(viaStream == ref, "stream decoder (memory) output differs");
            Check(mem.Position() == int64_t(consumed), "stream decoder (memory) position");
        }

        test::TTrickleStream noView(src, srcLen, 1 + srcLen % 97);
        const TLzssStatus viaRead = StreamStatus(noView, viaStream.data(), n, mode);
        Check(viaRead == Coarse(st), "stream decoder (reads) disagrees");
        if (st == TLzssStatus::Ok) {
            Check(viaStream == ref, "stream decoder (reads) output differs");
            Check(noView.Position() == int64_t(consumed), "stream decoder (reads) position");
        }
    }

    // Round trip of the whole input; the all-literal size always suffices.
    std::vector<uint8_t> packed(size + (size + 7) / 8 + 4);
    const size_t len = LzssEncode(data, size, packed.data(), packed.size());
    Check(len > 0, "encoder ran out of room");
    std::vector<uint8_t> back(size);
    size_t consumed = 0;
    Check(LzssDecode(packed.data(), len, back.data(), size, &consumed) == TLzssStatus::Ok, "round trip fails");
    Check(consumed == len, "round trip leaves bytes");
    Check(std::memcmp(back.data(), data, size) == 0, "round trip changes the data");
    return 0;
}
