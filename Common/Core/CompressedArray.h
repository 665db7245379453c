// Arrays stored as a 32-bit count followed by the elements, raw below a
// threshold count and LZSS-compressed (with checksum) from it on.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <vector>

#include "Core/Stream.h"

namespace mc {

static_assert(std::endian::native == std::endian::little, "element bytes are copied as stored");

struct TRawArray {
    int32_t Count = 0;
    std::vector<uint8_t> Data;  // Count × element size bytes
    bool Valid = true;          // false when the data could not be read or decoded
};

// Element count at which every caller switches to the compressed form.
constexpr int32_t CompressionThreshold(size_t elementSize)
{
    return static_cast<int32_t>(1024 / elementSize);
}

// Reads a compressed array. A raw block that is not all there, or compressed
// data that fails to decode, gives an invalid result; compressed data that
// runs past the stream raises EReadError. A negative count, or one the
// remaining bytes cannot possibly describe, raises EReadError before any
// allocation.
TRawArray ReadCompressedArray(TStream& s, size_t elementSize, int32_t threshold);

void WriteCompressedArray(TStream& s, const void* data, size_t elementSize, int32_t count, int32_t threshold);

// Typed forms with the usual threshold of 1024 bytes.
template <class T>
bool ReadCompressedArrayOf(TStream& s, std::vector<T>& out)
{
    TRawArray raw = ReadCompressedArray(s, sizeof(T), CompressionThreshold(sizeof(T)));
    out.resize(raw.Valid ? static_cast<size_t>(raw.Count) : 0);
    if (!raw.Valid) return false;
    if (!out.empty()) std::memcpy(out.data(), raw.Data.data(), raw.Data.size());
    return true;
}

template <class T>
void WriteCompressedArrayOf(TStream& s, const std::vector<T>& items)
{
    WriteCompressedArray(s, items.data(), sizeof(T), static_cast<int32_t>(items.size()),
                         CompressionThreshold(sizeof(T)));
}

}  // namespace mc
