// LZSS codec.
//
// Encoder: the classic ordered-binary-tree LZSS (4096-byte ring, 18-byte
// look-ahead, matches of 3..18 bytes), writing distances relative to the
// current ring position and a trailing byte-sum checksum.
//
// Decoder: instead of a ring buffer it decodes straight into the destination.
// Output byte p lives at ring index (4078 + p) mod 4096, so a reference with
// distance D at output position p reads output position p - d, where
// d = D, or 4096 when D is 0. Positions before the start of the output are the
// ring's initial contents: 0x20 for ring indices 0..4077 and 0 for
// 4078..4095, i.e. output positions -4078..-1 are spaces and -4096..-4079 are
// zeros.
#include "Lzss/Lzss.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <memory>

namespace mc {

namespace {

constexpr int kRingSize = 4096;           // ring (window) size
constexpr int kMaxMatch = 18;             // look-ahead / longest match
constexpr int kMinMatch = 3;              // shorter matches are sent as literals
constexpr int kNil = kRingSize;           // tree sentinel
constexpr int kStartPos = kRingSize - kMaxMatch;  // 4078: first write position
constexpr int kInitialSpaces = kStartPos;         // ring[0..4077] start as spaces

// ---------------------------------------------------------------------------
// Checksum

uint32_t LoadU32(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

uint64_t LoadU64(const uint8_t* p)
{
    uint64_t v;
    std::memcpy(&v, p, 8);
    return v;
}

uint64_t ByteSwap64(uint64_t v)
{
#if defined(__GNUC__) || defined(__clang__)
    return __builtin_bswap64(v);
#else
    v = ((v & 0x00FF00FF00FF00FFull) << 8) | ((v >> 8) & 0x00FF00FF00FF00FFull);
    v = ((v & 0x0000FFFF0000FFFFull) << 16) | ((v >> 16) & 0x0000FFFF0000FFFFull);
    return (v << 32) | (v >> 32);
#endif
}

void StoreU64(uint8_t* p, uint64_t v)
{
    std::memcpy(p, &v, 8);
}

// Sum of the bytes (0..255 each) modulo 2^32, and how many of them are >= 128
// (a signed sum is the unsigned one minus 256 per such byte).
struct TByteSums {
    uint32_t sum = 0;
    uint32_t high = 0;
};

TByteSums SumBytes(const uint8_t* p, size_t n)
{
    constexpr uint64_t kLow = 0x00FF00FF00FF00FFull;
    constexpr uint64_t kTop = 0x0101010101010101ull;
    TByteSums r;
    // Eight bytes at a time: each 16-bit lane of `acc` gains at most 510 per
    // word, so 128 words fit before the lanes have to be folded.
    while (n >= 8) {
        const size_t words = std::min<size_t>(n / 8, 128);
        uint64_t acc = 0, hi = 0;
        for (size_t i = 0; i < words; ++i) {
            const uint64_t w = LoadU64(p + i * 8);
            acc += (w & kLow) + ((w >> 8) & kLow);
            hi += (w >> 7) & kTop;  // each byte lane gains at most 1 per word
        }
        // Fold 16-bit lanes, then byte lanes.
        acc = (acc & 0x0000FFFF0000FFFFull) + ((acc >> 16) & 0x0000FFFF0000FFFFull);
        r.sum += uint32_t(acc) + uint32_t(acc >> 32);
        hi = (hi & kLow) + ((hi >> 8) & kLow);
        r.high += uint32_t((hi * 0x0001000100010001ull) >> 48);
        p += words * 8;
        n -= words * 8;
    }
    for (; n; --n, ++p) {
        r.sum += *p;
        r.high += *p >> 7;
    }
    return r;
}

uint32_t Checksum(const uint8_t* p, size_t n, TLzssChecksum mode)
{
    const TByteSums s = SumBytes(p, n);
    return mode == TLzssChecksum::Signed ? s.sum - (s.high << 8) : s.sum;
}

// ---------------------------------------------------------------------------
// Encoder

struct TEncoder {
    // Trees: one per first byte, rooted at rson[kRingSize + 1 + byte].
    int32_t lson[kRingSize + 1];
    int32_t rson[kRingSize + 257];
    int32_t dad[kRingSize + 1];
    // The ring plus a copy of its first kMaxMatch - 1 bytes, so that a string
    // starting near the end can be compared without wrapping.
    uint8_t text[kRingSize + kMaxMatch - 1];

    int matchPos = 0;
    int matchLen = 0;

    void Init()
    {
        for (int i = kRingSize + 1; i <= kRingSize + 256; ++i) rson[i] = kNil;
        for (int i = 0; i < kRingSize; ++i) dad[i] = kNil;
        std::memset(text, 0, sizeof text);
        std::memset(text, ' ', kInitialSpaces);
    }

    // Index (1..kMaxMatch) of the first byte where the strings at a and b
    // differ (byte 0 is equal by construction), kMaxMatch when all match;
    // cmp receives the sign of the difference.
    int Compare(int a, int b, int& cmp) const
    {
        const uint8_t* x = text + a;
        const uint8_t* y = text + b;
        if constexpr (std::endian::native == std::endian::little) {
            for (int i = 1; i < kMaxMatch - 1; i += 8) {
                const uint64_t xa = LoadU64(x + i), ya = LoadU64(y + i);
                if (xa != ya) {
                    // Byte-swapped, the words compare in string order.
                    cmp = ByteSwap64(xa) > ByteSwap64(ya) ? 1 : -1;
                    return i + std::countr_zero(xa ^ ya) / 8;
                }
            }
            cmp = int(x[kMaxMatch - 1]) - int(y[kMaxMatch - 1]);
            return cmp ? kMaxMatch - 1 : kMaxMatch;
        } else {
            for (int i = 1; i < kMaxMatch; ++i)
                if ((cmp = int(x[i]) - int(y[i])) != 0) return i;
            return kMaxMatch;
        }
    }

    // Inserts the string at r into its tree and records the longest match
    // (first one met on ties). A node matching all kMaxMatch bytes is
    // replaced by r.
    void Insert(int r)
    {
        int cmp = 1;
        int p = kRingSize + 1 + text[r];
        rson[r] = lson[r] = kNil;
        int bestPos = matchPos, bestLen = 0;
        for (;;) {
            // Written without branches on the walk direction and the best
            // match: both are data-dependent and mispredict constantly.
            int32_t* link = cmp >= 0 ? &rson[p] : &lson[p];
            const int next = *link;
            if (next == kNil) {
                *link = r;
                dad[r] = p;
                matchPos = bestPos;
                matchLen = bestLen;
                return;
            }
            p = next;
            const int i = Compare(r, p, cmp);
            const bool longer = i > bestLen;
            bestPos = longer ? p : bestPos;
            bestLen = longer ? i : bestLen;
            if (bestLen >= kMaxMatch) break;
        }
        matchPos = bestPos;
        matchLen = bestLen;
        // r takes p's place.
        dad[r] = dad[p];
        lson[r] = lson[p];
        rson[r] = rson[p];
        dad[lson[p]] = r;
        dad[rson[p]] = r;
        if (rson[dad[p]] == p)
            rson[dad[p]] = r;
        else
            lson[dad[p]] = r;
        dad[p] = kNil;
    }

    void Delete(int p)
    {
        if (dad[p] == kNil) return;
        int q;
        if (rson[p] == kNil) {
            q = lson[p];
        } else if (lson[p] == kNil) {
            q = rson[p];
        } else {
            q = lson[p];
            if (rson[q] != kNil) {
                do {
                    q = rson[q];
                } while (rson[q] != kNil);
                rson[dad[q]] = lson[q];
                dad[lson[q]] = dad[q];
                lson[q] = lson[p];
                dad[lson[p]] = q;
            }
            rson[q] = rson[p];
            dad[rson[p]] = q;
        }
        dad[q] = dad[p];
        if (rson[dad[p]] == p)
            rson[dad[p]] = q;
        else
            lson[dad[p]] = q;
        dad[p] = kNil;
    }
};

// ---------------------------------------------------------------------------
// Decoder

// Longest run of compressed bytes one group can take: a flag byte and eight
// references.
constexpr size_t kMaxGroupIn = 1 + 8 * 2;
// Output headroom for a group decoded without per-item checks: seven items of
// 18 bytes, then a last reference copied in three 8-byte steps.
constexpr size_t kFastGroupOut = 7 * kMaxMatch + 24;


// Compressed bytes held in memory, all available at once.
struct TMemorySource {
    const uint8_t* cur;
    const uint8_t* end;

    bool Refill() { return false; }
};

template <class TSource>
bool NextByte(TSource& in, uint8_t& b)
{
    if (in.cur == in.end && !in.Refill()) return false;
    b = *in.cur++;
    return true;
}

// Copies a reference whose source starts before the output does (it reaches
// into the ring's initial contents); also used for any bounds-checked copy.
inline void CopyReference(uint8_t* dst, size_t p, size_t d, size_t len)
{
    const ptrdiff_t from = ptrdiff_t(p) - ptrdiff_t(d);
    for (size_t j = 0; j < len; ++j) {
        const ptrdiff_t q = from + ptrdiff_t(j);
        dst[p + j] = q >= 0 ? dst[q] : (q >= -kInitialSpaces ? uint8_t(' ') : uint8_t(0));
    }
}

// The decoding loop shared by the memory and the stream decoders. On return
// in.cur is just past the last compressed byte used.
template <class TSource>
TLzssStatus DecodeCore(TSource& in, uint8_t* dst, size_t n, TLzssChecksum mode)
{
    size_t p = 0;
    while (p < n) {
        if (size_t(in.end - in.cur) < kMaxGroupIn) in.Refill();

        if (size_t(in.end - in.cur) >= kMaxGroupIn && n - p >= kFastGroupOut) {
            // Whole group without bounds checks: the source holds its
            // longest form and the destination its largest output.
            const uint8_t* s = in.cur;
            unsigned flags = *s++;
            if (flags == 0xFF) {
                std::memcpy(dst + p, s, 8);
                in.cur = s + 8;
                p += 8;
                continue;
            }
            for (int k = 0; k < 8; ++k, flags >>= 1) {
                if (flags & 1) {
                    dst[p++] = *s++;
                    continue;
                }
                const unsigned b1 = s[0], b2 = s[1];
                s += 2;
                size_t d = ((b2 & 0xF0u) << 4) | b1;
                if (d == 0) d = kRingSize;
                const size_t len = (b2 & 0x0Fu) + kMinMatch;
                uint8_t* out = dst + p;
                if (d > p) {
                    CopyReference(dst, p, d, len);
                } else if (d >= 8) {
                    // Each 8-byte step reads only bytes already written.
                    const uint8_t* from = out - d;
                    StoreU64(out, LoadU64(from));
                    StoreU64(out + 8, LoadU64(from + 8));
                    if (len > 16) StoreU64(out + 16, LoadU64(from + 16));
                } else if (d == 1) {
                    // A run of one byte (zero-filled arrays, mostly).
                    const uint64_t run = out[-1] * 0x0101010101010101ull;
                    StoreU64(out, run);
                    StoreU64(out + 8, run);
                    if (len > 16) StoreU64(out + 16, run);
                } else {
                    // A period shorter than a word: the first word byte by
                    // byte, then words from a whole number of periods back
                    // (at least 8 bytes, so already written).
                    const uint8_t* from = out - d;
                    for (size_t j = 0; j < 8; ++j) out[j] = from[j];
                    const size_t back = (8 + d - 1) / d * d;
                    StoreU64(out + 8, LoadU64(out + 8 - back));
                    if (len > 16) StoreU64(out + 16, LoadU64(out + 16 - back));
                }
                p += len;
            }
            in.cur = s;
            continue;
        }

        // Near either end: one item at a time with every bound checked.
        uint8_t flags;
        if (!NextByte(in, flags)) return TLzssStatus::SourceEnded;
        for (int k = 0; k < 8 && p < n; ++k, flags >>= 1) {
            uint8_t b1, b2;
            if (!NextByte(in, b1)) return TLzssStatus::SourceEnded;
            if (flags & 1) {
                dst[p++] = b1;
                continue;
            }
            if (!NextByte(in, b2)) return TLzssStatus::SourceEnded;
            size_t d = ((b2 & 0xF0u) << 4) | b1;
            if (d == 0) d = kRingSize;
            const size_t len = (b2 & 0x0Fu) + kMinMatch;
            if (len > n - p) return TLzssStatus::OutputOverrun;
            CopyReference(dst, p, d, len);
            p += len;
        }
    }

    uint8_t stored[4];
    for (uint8_t& b : stored)
        if (!NextByte(in, b)) return TLzssStatus::SourceEnded;
    return LoadU32(stored) == Checksum(dst, n, mode) ? TLzssStatus::Ok : TLzssStatus::ChecksumMismatch;
}

}  // namespace

// An empty input still yields a stream: just the checksum of nothing (four
// zero bytes), or 0 when they do not fit. Decoders refuse n = 0, so such a
// stream is never read back; callers do not compress empty data.
size_t LzssEncode(const uint8_t* src, size_t srcLen, uint8_t* dst, size_t dstCapacity)
{
    if (!dst || (!src && srcLen)) return 0;

    auto work = std::make_unique<TEncoder>();
    TEncoder& e = *work;
    e.Init();

    size_t in = 0;   // next source byte
    size_t out = 0;  // bytes written to dst
    uint8_t group[kMaxGroupIn];
    size_t groupLen = 1;
    unsigned mask = 1;
    group[0] = 0;

    int s = 0;
    int r = kStartPos;
    int len = 0;
    while (len < kMaxMatch && in < srcLen) e.text[r + len++] = src[in++];

    for (int i = 1; i <= kMaxMatch; ++i) e.Insert(r - i);
    e.Insert(r);

    while (len > 0) {
        if (e.matchLen > len) e.matchLen = len;
        if (e.matchLen < kMinMatch) {
            e.matchLen = 1;
            group[0] |= uint8_t(mask);
            group[groupLen++] = e.text[r];
        } else {
            const unsigned dist = unsigned(r - e.matchPos) & (kRingSize - 1);
            group[groupLen++] = uint8_t(dist);
            group[groupLen++] = uint8_t(((dist >> 4) & 0xF0) | unsigned(e.matchLen - kMinMatch));
        }
        if ((mask <<= 1) == 0x100) {
            if (groupLen > dstCapacity - out) return 0;
            std::memcpy(dst + out, group, groupLen);
            out += groupLen;
            group[0] = 0;
            groupLen = 1;
            mask = 1;
        }

        const int consumed = e.matchLen;
        int i = 0;
        for (; i < consumed && in < srcLen; ++i) {
            const uint8_t c = src[in++];
            e.Delete(s);
            e.text[s] = c;
            if (s < kMaxMatch - 1) e.text[s + kRingSize] = c;
            s = (s + 1) & (kRingSize - 1);
            r = (r + 1) & (kRingSize - 1);
            e.Insert(r);
        }
        for (; i < consumed; ++i) {
            e.Delete(s);
            s = (s + 1) & (kRingSize - 1);
            r = (r + 1) & (kRingSize - 1);
            if (--len) e.Insert(r);
        }
    }

    if (groupLen > 1) {
        if (groupLen > dstCapacity - out) return 0;
        std::memcpy(dst + out, group, groupLen);
        out += groupLen;
    }
    if (dstCapacity - out < 4) return 0;
    const uint32_t sum = srcLen ? Checksum(src, srcLen, TLzssChecksum::Unsigned) : 0;
    for (int k = 0; k < 4; ++k) dst[out++] = uint8_t(sum >> (8 * k));
    return out;
}

TLzssStatus LzssDecode(const uint8_t* src, size_t srcLen, uint8_t* dst, size_t n, size_t* consumed,
                       TLzssChecksum checksum)
{
    if (consumed) *consumed = 0;
    if (!dst || n < 1 || !src || srcLen < 1) return TLzssStatus::BadArguments;
    TMemorySource in{src, src + srcLen};
    const TLzssStatus status = DecodeCore(in, dst, n, checksum);
    if (consumed) *consumed = size_t(in.cur - src);
    return status;
}

size_t LzssMaxConsumed(size_t n)
{
    const size_t limit = SIZE_MAX - 8;
    if (n > limit / 9 * 8) return SIZE_MAX;
    return n + (n + 7) / 8 + 4;
}

TLzssStatus LzssDecodeChunks(TLzssChunkSource& in, uint8_t* dst, size_t n, TLzssChecksum checksum)
{
    if (!dst || n < 1) return TLzssStatus::BadArguments;
    return DecodeCore(in, dst, n, checksum);
}

}  // namespace mc
