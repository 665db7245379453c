#include "Core/CompressedArray.h"

#include "Core/StreamIO.h"
#include "Core/LzssStream.h"

namespace mc {

TRawArray ReadCompressedArray(TStream& s, size_t elementSize, int32_t threshold)
{
    TRawArray result;
    result.Count = ReadInteger(s);
    if (result.Count < 0) throw EReadError();
    const uint64_t bytes = static_cast<uint64_t>(result.Count) * elementSize;
    if (bytes == 0) return result;

    const uint64_t remaining = static_cast<uint64_t>(s.Remaining());
    if (result.Count < threshold) {
        if (bytes > remaining) {
            result.Valid = false;
            s.Seek(s.Size());
            return result;
        }
        result.Data.resize(bytes);
        ReadBuffer(s, result.Data.data(), bytes);
        return result;
    }
    if (bytes > LzssMaxExpansion(remaining)) throw EReadError();
    result.Data.resize(bytes);
    if (!LzssDecodeStream(s, result.Data.data(), bytes)) {
        result.Data.clear();
        result.Valid = false;
    }
    return result;
}

void WriteCompressedArray(TStream& s, const void* data, size_t elementSize, int32_t count, int32_t threshold)
{
    WriteInteger(s, count);
    if (count <= 0) return;
    const size_t bytes = static_cast<size_t>(count) * elementSize;
    if (count < threshold) {
        WriteBuffer(s, data, bytes);
        return;
    }
    std::vector<uint8_t> packed(2 * bytes + 16);
    const size_t length = LzssEncode(static_cast<const uint8_t*>(data), bytes, packed.data(), packed.size());
    if (length == 0) throw EWriteError();
    WriteBuffer(s, packed.data(), length);
}

}  // namespace mc
