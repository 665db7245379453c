// WSS sounds to RIFF WAVE: the delta steps, the header, and the real files.
#include <gtest/gtest.h>

#include <cstring>

#include "ArchiveBuilder.h"
#include "Core/Stream.h"
#include "Sound/WssToWave.h"
#include "TestSupport.h"

using namespace mc;
using namespace mc::test;

namespace {

std::vector<uint8_t> Wss(uint32_t compression, uint16_t channels, const std::vector<uint8_t>& data,
                         const char* magic = "WSS0")
{
    std::vector<uint8_t> out(magic, magic + 4);
    PutLE32(out, compression);
    const uint16_t bits = 16;
    const uint32_t rate = 22050;
    const uint16_t align = static_cast<uint16_t>(channels * bits / 8);
    const uint8_t format[18] = {1, 0, uint8_t(channels), 0, uint8_t(rate), uint8_t(rate >> 8), 0, 0,
                                uint8_t(rate * align), uint8_t((rate * align) >> 8), uint8_t((rate * align) >> 16), 0,
                                uint8_t(align), 0, bits, 0, 0, 0};
    out.insert(out.end(), format, format + 18);
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

std::vector<int16_t> Samples(const TMemoryStream& wave)
{
    const auto& b = wave.Bytes();
    std::vector<int16_t> s((b.size() - 44) / 2);
    std::memcpy(s.data(), b.data() + 44, s.size() * 2);
    return s;
}

std::unique_ptr<TMemoryStream> Convert(const std::vector<uint8_t>& wss, std::string* reason = nullptr)
{
    TMemoryReader in(wss.data(), wss.size());
    return WssToWave(in, reason);
}

uint32_t Le32(const std::vector<uint8_t>& b, size_t at)
{
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24;
}

}  // namespace

TEST(Wss, DeltaSteps)
{
    EXPECT_EQ(WssDeltaStep(0), 0);
    EXPECT_EQ(WssDeltaStep(1), 1);
    EXPECT_EQ(WssDeltaStep(-1), -1);
    EXPECT_EQ(WssDeltaStep(127), 32767);
    EXPECT_EQ(WssDeltaStep(-127), -32767);
    EXPECT_EQ(WssDeltaStep(-128), 0);
    EXPECT_EQ(WssDeltaStep(64), 188);  // trunc(32767^(64/127)) = trunc(188.59...)
    for (int b = 1; b < 127; ++b) EXPECT_LE(WssDeltaStep(int8_t(b)), WssDeltaStep(int8_t(b + 1)));
}

TEST(Wss, DeltaSamplesClampButKeepTheRunningValue)
{
    auto wave = Convert(Wss(kWssDelta, 1, {127, 127, uint8_t(-127), 1, uint8_t(-1)}));
    ASSERT_TRUE(wave);
    EXPECT_EQ(Samples(*wave), (std::vector<int16_t>{32767, 32767, 32767, 32767, 32767}));
    wave = Convert(Wss(kWssDelta, 1, {uint8_t(-127), uint8_t(-127), uint8_t(-127), 127, 127}));
    EXPECT_EQ(Samples(*wave), (std::vector<int16_t>{-32767, -32768, -32768, -32768, -32767}));
}

TEST(Wss, StereoKeepsOneValuePerChannel)
{
    const uint8_t up = 100, down = uint8_t(-100);
    auto wave = Convert(Wss(kWssDelta, 2, {up, down, up, down, down, up}));
    ASSERT_TRUE(wave);
    const int16_t s = static_cast<int16_t>(WssDeltaStep(100));
    EXPECT_EQ(Samples(*wave), (std::vector<int16_t>{s, int16_t(-s), int16_t(2 * s), int16_t(-2 * s), s, int16_t(-s)}));
}

TEST(Wss, WaveHeader)
{
    std::vector<uint8_t> pcm(1000);
    for (size_t i = 0; i < pcm.size(); ++i) pcm[i] = uint8_t(i);
    const auto wss = Wss(kWssPcm, 1, pcm);
    auto wave = Convert(wss);
    ASSERT_TRUE(wave);
    const auto& b = wave->Bytes();
    ASSERT_EQ(b.size(), 1044u);
    EXPECT_EQ(wave->Position(), 0);
    EXPECT_EQ(std::string(b.begin(), b.begin() + 4), "RIFF");
    EXPECT_EQ(Le32(b, 4), 1036u);
    EXPECT_EQ(std::string(b.begin() + 8, b.begin() + 16), "WAVEfmt ");
    EXPECT_EQ(Le32(b, 16), 16u);
    EXPECT_TRUE(std::equal(b.begin() + 20, b.begin() + 36, wss.begin() + 8));  // format record without extra size
    EXPECT_EQ(std::string(b.begin() + 36, b.begin() + 40), "data");
    EXPECT_EQ(Le32(b, 40), 1000u);
    EXPECT_TRUE(std::equal(b.begin() + 44, b.end(), pcm.begin()));

    auto delta = Convert(Wss(kWssDelta, 1, std::vector<uint8_t>(10, 1)));
    EXPECT_EQ(delta->Size(), 44 + 20);
    EXPECT_EQ(Le32(delta->Bytes(), 40), 20u);
}

TEST(Wss, RefusedFiles)
{
    std::string reason;
    EXPECT_FALSE(Convert(Wss(kWssPcm, 1, {1, 2}, "WSS1"), &reason));
    EXPECT_NE(reason.find("WSS0"), std::string::npos);
    EXPECT_FALSE(Convert(Wss(4, 1, {1, 2}), &reason));
    EXPECT_EQ(reason, "compression 4 is not supported");
    auto shortFile = Wss(kWssPcm, 1, {});
    shortFile.resize(25);
    EXPECT_THROW(Convert(shortFile), EReadError);
    // A header alone is an empty sound.
    auto empty = Convert(Wss(kWssDelta, 2, {}));
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->Size(), 44);
}

TEST(Wss, RealSounds)
{
    const auto files = RealFiles("wss", ".wss");
    if (files.empty()) GTEST_SKIP() << "no real sounds here";
    for (const auto& path : files) {
        const auto wss = ReadFileBytes(path);
        std::string reason;
        auto wave = Convert(wss, &reason);
        ASSERT_TRUE(wave) << path << ": " << reason;
        const uint32_t compression = Le32(wss, 4);
        const auto& b = wave->Bytes();
        const size_t n = wss.size() - 26;
        EXPECT_EQ(Le32(b, 40), compression == kWssDelta ? 2 * n : n) << path;
        EXPECT_TRUE(std::equal(b.begin() + 20, b.begin() + 36, wss.begin() + 8)) << path;
        if (compression != kWssDelta) continue;
        // Delta sounds decode without running into the limits.
        size_t clipped = 0;
        const auto samples = Samples(*wave);
        for (int16_t s : samples) clipped += s == 32767 || s == -32768;
        EXPECT_LT(double(clipped) / double(samples.size()), 0.001) << path << ": " << clipped << " clipped";
    }
}
