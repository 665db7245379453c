// WAVE files as the sound page reads them: the format and the sample range,
// and refusals of damaged files.
#include <gtest/gtest.h>

#include "Core/Stream.h"
#include "DemoDocuments.h"
#include "Sound/WaveFile.h"
#include "Sound/WssToWave.h"

using namespace mc;

namespace {

void Put(std::vector<uint8_t>& out, const char* tag) { out.insert(out.end(), tag, tag + 4); }
void Put16(std::vector<uint8_t>& out, uint16_t v)
{
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}
void Put32(std::vector<uint8_t>& out, uint32_t v)
{
    for (int i = 0; i < 4; ++i) out.push_back(uint8_t(v >> (8 * i)));
}

// RIFF WAVE with an odd-sized chunk before "fmt " and the given data chunk length.
std::vector<uint8_t> Wave(uint32_t dataLength, size_t dataBytes, uint16_t channels = 2)
{
    std::vector<uint8_t> out;
    out.reserve(64 + dataBytes);
    Put(out, "RIFF");
    Put32(out, 0);
    Put(out, "WAVE");
    Put(out, "LIST");
    Put32(out, 3);
    out.insert(out.end(), {1, 2, 3, 0});  // padded to an even length
    Put(out, "fmt ");
    Put32(out, 16);
    Put16(out, 1);
    Put16(out, channels);
    Put32(out, 44100);
    Put32(out, 44100 * 4);
    Put16(out, 4);
    Put16(out, 16);
    Put(out, "data");
    Put32(out, dataLength);
    out.insert(out.end(), dataBytes, 7);
    return out;
}

}  // namespace

TEST(WaveFile, FindsFormatAndSamplesBehindOtherChunks)
{
    const auto bytes = Wave(100, 100);
    TWaveInfo info;
    ASSERT_TRUE(ParseWave(bytes.data(), bytes.size(), info));
    EXPECT_EQ(info.Channels, 2);
    EXPECT_EQ(info.SamplesPerSec, 44100u);
    EXPECT_EQ(info.BitsPerSample, 16);
    EXPECT_EQ(info.AvgBytesPerSec, 44100u * 4);
    EXPECT_EQ(info.DataSize, 100u);
    EXPECT_EQ(info.DataOffset, bytes.size() - 100);
}

TEST(WaveFile, CutsDataToTheFileAndRefusesDamage)
{
    auto bytes = Wave(1000, 10);
    TWaveInfo info;
    ASSERT_TRUE(ParseWave(bytes.data(), bytes.size(), info));
    EXPECT_EQ(info.DataSize, 10u);

    std::string reason;
    const auto noChannels = Wave(4, 4, 0);
    EXPECT_FALSE(ParseWave(noChannels.data(), noChannels.size(), info, &reason));
    EXPECT_FALSE(reason.empty());
    bytes[8] = 'X';
    EXPECT_FALSE(ParseWave(bytes.data(), bytes.size(), info, &reason));
    EXPECT_EQ(reason, "not a RIFF WAVE file");
    // Cut inside the format record.
    const auto whole = Wave(4, 4);
    EXPECT_FALSE(ParseWave(whole.data(), 40, info, &reason));
    EXPECT_FALSE(ParseWave(nullptr, 0, info, &reason));
}

TEST(WaveFile, DemoChimeConvertsToPlayableWave)
{
    const std::vector<uint8_t> wss = demo::MakeChimeWss();
    TMemoryStream in(wss);
    const auto wave = WssToWave(in);
    ASSERT_TRUE(wave);
    TWaveInfo info;
    ASSERT_TRUE(ParseWave(wave->Bytes().data(), wave->Bytes().size(), info));
    EXPECT_EQ(info.Channels, 1);
    EXPECT_EQ(info.SamplesPerSec, 22050u);
    EXPECT_EQ(info.DataSize, 2 * (wss.size() - 26));
    // The chime is loud enough to hear: some sample reaches a quarter of full scale.
    int peak = 0;
    for (size_t i = info.DataOffset; i + 1 < info.DataOffset + info.DataSize; i += 2)
        peak = std::max(peak, std::abs(int(int16_t(wave->Bytes()[i] | wave->Bytes()[i + 1] << 8))));
    EXPECT_GT(peak, 8000);
}
