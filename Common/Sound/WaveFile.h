// RIFF WAVE files in memory: the format record and where the samples are.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace mc {

struct TWaveInfo {
    uint16_t FormatTag = 0;  // 1 = PCM
    uint16_t Channels = 0;
    uint32_t SamplesPerSec = 0;
    uint32_t AvgBytesPerSec = 0;
    uint16_t BlockAlign = 0;
    uint16_t BitsPerSample = 0;
    size_t DataOffset = 0;  // first sample byte from the start of the file
    size_t DataSize = 0;    // sample bytes, cut to what the file holds
};

// Finds the "fmt " and "data" chunks of a RIFF WAVE file. False, with the
// reason, when the bytes are no WAVE file, a chunk runs past the end, or the
// format record is missing, too short or holds zero channels, rate or width.
// A "data" chunk longer than the file is cut to the bytes present.
bool ParseWave(const uint8_t* bytes, size_t size, TWaveInfo& info, std::string* reason = nullptr);

}  // namespace mc
