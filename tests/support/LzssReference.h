// Reference pieces for checking the LZSS decoder: a plain ring-buffer
// decoder written from the format description, and a stream that hides its
// memory. Shared by the unit tests and the fuzz target.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "Core/Stream.h"
#include "Lzss/Lzss.h"

namespace mc::test {

// Straightforward decoder with a real 4096-byte ring, written from the format
// description, one byte at a time. The fast decoder must agree with it.
struct TRefResult {
    TLzssStatus status;
    std::vector<uint8_t> out;
    size_t consumed = 0;
    size_t itemsEnd = 0;  // where the checksum starts (when the items complete)
    uint32_t sum = 0;
};

inline TRefResult RefDecode(const uint8_t* src, size_t srcLen, size_t n, TLzssChecksum mode = TLzssChecksum::Unsigned)
{
    TRefResult r;
    r.out.assign(n, 0);
    uint8_t ring[4096];
    std::memset(ring, ' ', 4078);
    std::memset(ring + 4078, 0, 18);
    unsigned R = 4078;
    unsigned flags = 0;
    size_t i = 0, pos = 0;
    int64_t remaining = int64_t(n);
    auto fail = [&](TLzssStatus s) {
        r.status = s;
        r.consumed = i;
        return r;
    };
    auto put = [&](uint8_t c) {
        if (pos >= n) return false;
        r.out[pos++] = c;
        ring[R] = c;
        R = (R + 1) & 4095;
        r.sum += mode == TLzssChecksum::Signed ? uint32_t(int32_t(int8_t(c))) : c;
        return true;
    };
    while (remaining > 0) {
        flags >>= 1;
        if (!(flags & 0x100)) {
            if (i >= srcLen) return fail(TLzssStatus::SourceEnded);
            flags = src[i++] | 0xFF00u;
        }
        if (flags & 1) {
            if (i >= srcLen) return fail(TLzssStatus::SourceEnded);
            put(src[i++]);
            --remaining;
        } else {
            if (i + 2 > srcLen) {
                i = srcLen;
                return fail(TLzssStatus::SourceEnded);
            }
            const unsigned b1 = src[i++], b2 = src[i++];
            const unsigned D = ((b2 & 0xF0u) << 4) | b1;
            const unsigned L = (b2 & 0x0Fu) + 3;
            remaining -= L;
            const unsigned start = R;
            for (unsigned j = 0; j < L; ++j)
                if (!put(ring[(start - D + j) & 4095])) return fail(TLzssStatus::OutputOverrun);
        }
    }
    r.itemsEnd = i;
    if (i + 4 > srcLen) {
        i = srcLen;
        return fail(TLzssStatus::SourceEnded);
    }
    const uint32_t stored = uint32_t(src[i]) | uint32_t(src[i + 1]) << 8 | uint32_t(src[i + 2]) << 16 |
                            uint32_t(src[i + 3]) << 24;
    i += 4;
    return fail(stored == r.sum ? TLzssStatus::Ok : TLzssStatus::ChecksumMismatch);
}

// A stream that hides its memory and hands out at most `chunk` bytes per
// read, so the decoder must go through its buffered path.
class TTrickleStream : public TStream {
public:
    TTrickleStream(const std::vector<uint8_t>& b, size_t chunk) : inner_(b.data(), b.size()), chunk_(chunk) {}
    TTrickleStream(const uint8_t* data, size_t size, size_t chunk) : inner_(data, size), chunk_(chunk) {}
    size_t Read(void* buffer, size_t count) override { return inner_.Read(buffer, std::min(count, chunk_)); }
    size_t Write(const void*, size_t) override { return 0; }
    int64_t Position() const override { return inner_.Position(); }
    bool Seek(int64_t position) override { return inner_.Seek(position); }
    int64_t Size() const override { return inner_.Size(); }

private:
    TMemoryReader inner_;
    size_t chunk_;
};

}  // namespace mc::test
