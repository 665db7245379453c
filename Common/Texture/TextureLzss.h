// LZSS data of texture levels: the codec's stream layout with a checksum that
// sums the output bytes as signed values (-128..127).
#pragma once

#include <cstddef>
#include <cstdint>

namespace mc {

class TStream;

// Decodes exactly n bytes and the 4-byte checksum behind them into dst. False
// on a short stream, an output overrun or a checksum mismatch; never raises.
// The stream is left after the checksum when the decoding succeeded.
bool DecodeTextureLzss(TStream& stream, uint8_t* dst, size_t n);

// Signed byte sum of the texture checksum.
uint32_t TextureChecksum(const uint8_t* data, size_t n);

}  // namespace mc
