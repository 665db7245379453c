// LZSS codec: 4 KiB window, relative 12-bit distances, lengths 3..18,
// flag bits used from bit 0, a 32-bit byte-sum checksum after the data.
#pragma once

#include <cstddef>
#include <cstdint>

namespace mc {

class TStream;

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

// Decodes exactly n bytes and the checksum from a stream, leaving the stream
// just after the checksum. Raises EReadError when the stream ends early.
bool LzssDecodeStream(TStream& stream, uint8_t* dst, size_t n, TLzssChecksum checksum = TLzssChecksum::Unsigned);

// Largest output that src bytes of compressed data can describe (every item a
// reference of 18 bytes). Used to refuse hostile sizes before allocating.
inline uint64_t LzssMaxExpansion(uint64_t srcLen)
{
    return srcLen * 9;
}

}  // namespace mc
