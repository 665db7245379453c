#include "Sound/WaveFile.h"

#include <cstring>

namespace mc {

namespace {

uint16_t Get16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t Get32(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

bool Refuse(std::string* reason, const char* text)
{
    if (reason) *reason = text;
    return false;
}

}  // namespace

bool ParseWave(const uint8_t* bytes, size_t size, TWaveInfo& info, std::string* reason)
{
    info = {};
    if (!bytes || size < 12 || std::memcmp(bytes, "RIFF", 4) != 0 || std::memcmp(bytes + 8, "WAVE", 4) != 0)
        return Refuse(reason, "not a RIFF WAVE file");
    bool haveFormat = false, haveData = false;
    size_t pos = 12;
    while (size - pos >= 8 && !(haveFormat && haveData)) {
        const uint8_t* chunk = bytes + pos;
        const uint32_t length = Get32(chunk + 4);
        const size_t body = pos + 8;
        const size_t available = size - body;
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            if (length < 16 || length > available) return Refuse(reason, "the format record is damaged");
            info.FormatTag = Get16(chunk + 8);
            info.Channels = Get16(chunk + 10);
            info.SamplesPerSec = Get32(chunk + 12);
            info.AvgBytesPerSec = Get32(chunk + 16);
            info.BlockAlign = Get16(chunk + 20);
            info.BitsPerSample = Get16(chunk + 22);
            haveFormat = true;
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            info.DataOffset = body;
            info.DataSize = length < available ? length : available;
            haveData = true;
        } else if (length > available) {
            break;
        }
        if (length >= available) break;
        // Chunks are padded to an even length.
        pos = body + length + (length & 1u);
        if (pos > size) break;
    }
    if (!haveFormat) return Refuse(reason, "the file has no format record");
    if (!haveData) return Refuse(reason, "the file has no sample data");
    if (info.Channels == 0 || info.SamplesPerSec == 0 || info.BitsPerSample == 0)
        return Refuse(reason, "the format record names no channels, rate or sample width");
    if (info.AvgBytesPerSec == 0) info.AvgBytesPerSec = info.SamplesPerSec * info.Channels * ((info.BitsPerSample + 7u) / 8u);
    if (info.BlockAlign == 0) info.BlockAlign = static_cast<uint16_t>(info.Channels * ((info.BitsPerSample + 7u) / 8u));
    return true;
}

}  // namespace mc
