#include "Texture/TextureLzss.h"

#include "Core/Stream.h"
#include "Core/StreamIO.h"
#include "Core/LzssStream.h"

namespace mc {

bool DecodeTextureLzss(TStream& stream, uint8_t* dst, size_t n)
{
    try {
        if (n == 0) {
            // Nothing to emit: only the checksum of nothing follows.
            return ReadCardinal(stream) == 0;
        }
        return LzssDecodeStream(stream, dst, n, TLzssChecksum::Signed);
    } catch (const EReadError&) {
        return false;
    }
}

uint32_t TextureChecksum(const uint8_t* data, size_t n)
{
    uint32_t sum = 0;
    for (size_t i = 0; i < n; ++i) sum += uint32_t(int32_t(int8_t(data[i])));
    return sum;
}

}  // namespace mc
