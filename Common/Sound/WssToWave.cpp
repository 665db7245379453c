#include "Sound/WssToWave.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

#include "Core/StreamIO.h"
#include "Core/Strings.h"

namespace mc {

namespace {

constexpr size_t kWaveHeaderSize = 44;

// The steps of the 256 byte values, indexed by the byte as unsigned.
const std::array<int32_t, 256>& DeltaSteps()
{
    static const std::array<int32_t, 256> steps = [] {
        std::array<int32_t, 256> t{};
        // 32767^(b/127) in double precision; b = 127 gives 32767 exactly.
        const auto power = [](int b) { return static_cast<int32_t>(std::trunc(std::pow(32767.0, b / 127.0))); };
        for (int i = 0; i < 256; ++i) {
            const int b = static_cast<int8_t>(static_cast<uint8_t>(i));
            if (b > 0) {
                t[static_cast<size_t>(i)] = power(b);
            } else if (b < 0) {
                // -b taken again as a signed byte: -128 stays -128.
                const int negated = static_cast<int8_t>(static_cast<uint8_t>(-b));
                t[static_cast<size_t>(i)] = -power(negated);
            }
        }
        return t;
    }();
    return steps;
}

void Put16(uint8_t* p, uint16_t v)
{
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}

void Put32(uint8_t* p, uint32_t v)
{
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

uint16_t Get16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

std::unique_ptr<TMemoryStream> Refuse(std::string* reason, std::string text)
{
    if (reason) *reason = std::move(text);
    return nullptr;
}

}  // namespace

int32_t WssDeltaStep(int8_t b) { return DeltaSteps()[static_cast<uint8_t>(b)]; }

std::unique_ptr<TMemoryStream> WssToWave(TStream& wss, std::string* reason)
{
    const uint32_t magic = ReadCardinal(wss);
    if (magic != kWssMagic) return Refuse(reason, "not a WSS file (no \"WSS0\" signature)");
    const uint32_t compression = ReadCardinal(wss);
    uint8_t format[18];
    ReadBuffer(wss, format, sizeof format);
    if (compression != kWssPcm && compression != kWssDelta)
        return Refuse(reason, Format("compression %u is not supported", compression));

    const uint64_t n = static_cast<uint64_t>(wss.Remaining());
    const uint64_t dataSize = compression == kWssDelta ? 2 * n : n;
    if (dataSize > UINT32_MAX - 36) return Refuse(reason, "the sound is too long for a WAVE file");

    std::vector<uint8_t> out(kWaveHeaderSize + static_cast<size_t>(dataSize));
    uint8_t* h = out.data();
    std::memcpy(h, "RIFF", 4);
    Put32(h + 4, static_cast<uint32_t>(36 + dataSize));
    std::memcpy(h + 8, "WAVEfmt ", 8);
    Put32(h + 16, 16);
    std::memcpy(h + 20, format, 16);
    std::memcpy(h + 36, "data", 4);
    Put32(h + 40, static_cast<uint32_t>(dataSize));

    uint8_t* samples = h + kWaveHeaderSize;
    if (compression == kWssPcm) {
        ReadBuffer(wss, samples, static_cast<size_t>(n));
    } else {
        std::vector<uint8_t> deltas(static_cast<size_t>(n));
        ReadBuffer(wss, deltas.data(), deltas.size());
        // Samples are interleaved: each channel keeps its own running value.
        const size_t channels = std::max<size_t>(Get16(format + 2), 1);
        std::vector<int32_t> value(channels, 0);
        const auto& steps = DeltaSteps();
        size_t channel = 0;
        for (size_t i = 0; i < deltas.size(); ++i) {
            // A 32-bit running value that wraps, as the game's does.
            int32_t& a = value[channel];
            a = static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(steps[deltas[i]]));
            const int32_t clamped = std::clamp(a, -32768, 32767);
            Put16(samples + 2 * i, static_cast<uint16_t>(static_cast<int16_t>(clamped)));
            if (++channel == channels) channel = 0;
        }
    }
    return std::make_unique<TMemoryStream>(std::move(out));
}

}  // namespace mc
