// LZSS data read straight from a stream: archives' packed entries, the
// compressed arrays of models and texture levels.
#pragma once

#include <cstddef>
#include <cstdint>

#include "Lzss/Lzss.h"

namespace mc {

class TStream;

// Decodes exactly n bytes and the checksum from a stream, leaving the stream
// just after the checksum. Raises EReadError when the stream ends early.
bool LzssDecodeStream(TStream& stream, uint8_t* dst, size_t n, TLzssChecksum checksum = TLzssChecksum::Unsigned);

}  // namespace mc
