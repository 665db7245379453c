// Any bytes given as a WAVE file: either refused with a reason or a format
// whose sample range lies inside the input.
#include <cstdint>
#include <cstdlib>

#include "Sound/WaveFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    mc::TWaveInfo info;
    std::string reason;
    if (!mc::ParseWave(data, size, info, &reason)) {
        if (reason.empty()) std::abort();
        return 0;
    }
    if (info.DataOffset > size || info.DataSize > size - info.DataOffset) std::abort();
    if (info.Channels == 0 || info.SamplesPerSec == 0 || info.BitsPerSample == 0) std::abort();
    return 0;
}
