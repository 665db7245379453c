// WSS conversion must refuse any corrupted input cleanly; what converts is a
// WAVE stream whose sizes agree with the input.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "Core/Stream.h"
#include "Sound/WssToWave.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    mc::TMemoryReader in(data, size);
    std::unique_ptr<mc::TMemoryStream> wave;
    try {
        wave = mc::WssToWave(in);
    } catch (const mc::EReadError&) {
        if (size >= 26) std::abort();
        return 0;
    }
    if (!wave) return 0;
    const auto& b = wave->Bytes();
    const size_t n = size - 26;
    uint32_t compression;
    std::memcpy(&compression, data + 4, 4);
    const size_t expected = 44 + (compression == mc::kWssDelta ? 2 * n : n);
    if (b.size() != expected || wave->Position() != 0) std::abort();
    if (compression == mc::kWssPcm && std::memcmp(b.data() + 44, data + 26, n) != 0) std::abort();
    return 0;
}
