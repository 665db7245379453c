// LZSS codec: 4 KiB window, relative 12-bit distances, lengths 3..18,
// flag bits used from bit 0, a 32-bit byte-sum checksum after the data.
#pragma once

#include <cstddef>
#include <cstdint>

namespace mc {

// How the trailing checksum sums the uncompressed bytes.
enum class TLzssChecksum {
    Unsigned,  // archives and model arrays: bytes 0..255
    Signed,    // texture files: bytes -128..127
};

enum class TLzssStatus {
    Ok,
    BadArguments,    // no destination, N < 1, no source
    SourceEnded,     // the compressed data or the checksum runs past the source
    OutputOverrun,   // a reference would write past N bytes
    ChecksumMismatch,
};

// Compresses src into dst and appends the checksum. Returns the number of
// bytes written, or 0 when dst cannot hold them.
size_t LzssEncode(const uint8_t* src, size_t srcLen, uint8_t* dst, size_t dstCapacity);

// Decodes exactly n bytes and the checksum from a memory buffer.
// consumed (optional) receives the bytes taken from src, checksum included.
TLzssStatus LzssDecode(const uint8_t* src, size_t srcLen, uint8_t* dst, size_t n, size_t* consumed = nullptr,
                       TLzssChecksum checksum = TLzssChecksum::Unsigned);

inline bool LzssDecodeBuffer(const uint8_t* src, size_t srcLen, uint8_t* dst, size_t n)
{
    return LzssDecode(src, srcLen, dst, n) == TLzssStatus::Ok;
}

// Compressed bytes that arrive in pieces (read from a file). The decoder
// reads [cur, end) and calls Refill when fewer bytes than one group are
// left: it may move the unread bytes, must append more and update cur and
// end, and returns false when nothing could be added.
class TLzssChunkSource {
public:
    const uint8_t* cur = nullptr;
    const uint8_t* end = nullptr;
    virtual bool Refill() = 0;

protected:
    ~TLzssChunkSource() = default;
};

// Decodes exactly n bytes and the checksum from a chunk source; on return
// cur is just past the last compressed byte used.
TLzssStatus LzssDecodeChunks(TLzssChunkSource& in, uint8_t* dst, size_t n,
                             TLzssChecksum checksum = TLzssChecksum::Unsigned);

// Upper bound of the compressed bytes (checksum included) that can describe
// n output bytes: every item a literal. References cost less per byte.
size_t LzssMaxConsumed(size_t n);

// Largest output that src bytes of compressed data can describe (every item a
// reference of 18 bytes). Used to refuse hostile sizes before allocating.
inline uint64_t LzssMaxExpansion(uint64_t srcLen)
{
    return srcLen * 9;
}

}  // namespace mc
