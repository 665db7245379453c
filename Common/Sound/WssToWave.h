// The game's WSS sounds as RIFF WAVE: plain PCM, or one signed byte per
// 16-bit sample holding a logarithmic step of the sample value.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "Core/Stream.h"

namespace mc {

inline constexpr uint32_t kWssMagic = 0x30535357;  // "WSS0"
inline constexpr uint32_t kWssPcm = 0;
inline constexpr uint32_t kWssDelta = 8;

// The wave format record of a WSS file (18 bytes).
struct TWssFormat {
    uint16_t FormatTag = 0;
    uint16_t Channels = 0;
    uint32_t SamplesPerSec = 0;
    uint32_t AvgBytesPerSec = 0;
    uint16_t BlockAlign = 0;
    uint16_t BitsPerSample = 0;
    uint16_t ExtraSize = 0;
};

// The change of the sample value one delta byte gives: 0 for 0,
// trunc(32767^(b/127)) for b > 0, the negated step of -b for b < 0 (with -128
// folding back to itself, whose step is 0).
int32_t WssDeltaStep(int8_t b);

// Reads a WSS file from its start and returns a RIFF WAVE stream positioned at
// 0, or nullptr (reason set) when it is not a WSS file or uses another
// compression. Delta-compressed samples keep one running value per channel.
// A file shorter than its 26-byte header raises EReadError.
std::unique_ptr<TMemoryStream> WssToWave(TStream& wss, std::string* reason = nullptr);

}  // namespace mc
