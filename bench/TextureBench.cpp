// Texture decoding to display images, against copying the same number of
// output bytes with memcpy: a generated 2048 x 2048 DXT1 texture with all
// its levels, and a 1024 x 1024 ARGB4444 one (LZSS-packed) with all levels.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <random>
#include <vector>

#include "Core/Stream.h"
#include "Lzss/Lzss.h"
#include "Texture/PixelBuffers.h"
#include "Texture/Texture.h"
#include "Texture/TextureLoadOptions.h"
#include "Texture/TextureLzss.h"
#include "Texture/TextureTypes.h"

namespace {

using Bytes = std::vector<uint8_t>;

void Put16(Bytes& b, uint32_t v)
{
    b.push_back(uint8_t(v));
    b.push_back(uint8_t(v >> 8));
}

// Bytes of both display images of every level from side down to 1.
size_t DisplayBytes(int side)
{
    size_t n = 0;
    for (int s = side; s >= 1; s /= 2) n += size_t(s) * size_t(s) * 4 * 2;
    return n;
}

// Blocks of a smooth picture with noise, as photographs give.
Bytes MakeDxt1File(int side)
{
    std::mt19937 rng(7);
    Bytes b;
    Put16(b, mc::kTextureTypeDXT1);
    Put16(b, 0);
    for (int s = side; s >= 1; s /= 2) {
        Put16(b, uint32_t(s));
        Put16(b, uint32_t(s));
        const size_t size = size_t(mc::Dxt1DataSize(s, s));
        Put16(b, uint32_t(size & 0xFFFF));
        b.push_back(uint8_t(size >> 16));
        for (size_t i = 0; i < size / 8; ++i) {
            const uint32_t base = uint32_t(i * 2654435761u);
            const uint16_t c0 = uint16_t(base >> 16), c1 = uint16_t((base >> 16) + (rng() & 0x0F0F));
            Put16(b, c0);
            Put16(b, c1);
            for (int k = 0; k < 4; ++k) b.push_back(uint8_t(rng()));
        }
    }
    Put16(b, 0);
    Put16(b, 0);
    return b;
}

Bytes MakeArgb4444File(int side)
{
    std::mt19937 rng(11);
    Bytes b;
    Put16(b, mc::kTextureTypeARGB4444);
    Put16(b, 0);
    for (int s = side; s >= 1; s /= 2) {
        Bytes pixels;
        for (int y = 0; y < s; ++y)
            for (int x = 0; x < s; ++x) {
                const uint32_t noise = rng() % 3;
                Put16(pixels, 0xF000 | ((x * 16 / s) << 8) | ((y * 16 / s) << 4) | ((x + y + noise) & 0xF));
            }
        Bytes packed(pixels.size() * 2 + 16);
        packed.resize(mc::LzssEncode(pixels.data(), pixels.size(), packed.data(), packed.size()));
        const uint32_t sum = mc::TextureChecksum(pixels.data(), pixels.size());
        std::memcpy(packed.data() + packed.size() - 4, &sum, 4);
        Put16(b, uint32_t(s));
        Put16(b, uint32_t(s));
        Put16(b, uint32_t(packed.size() & 0xFFFF));
        b.push_back(uint8_t(packed.size() >> 16));
        b.insert(b.end(), packed.begin(), packed.end());
    }
    Put16(b, 0);
    Put16(b, 0);
    return b;
}

void Load(benchmark::State& state, const Bytes& file, uint32_t options)
{
    for (auto _ : state) {
        mc::TTexture t;
        mc::TMemoryReader in(file.data(), file.size());
        if (!t.Load(in, options)) state.SkipWithError("texture refused");
        benchmark::DoNotOptimize(t.MipMaps.data());
    }
}

void Copy(benchmark::State& state, size_t bytes)
{
    std::vector<uint8_t> src(bytes, 0x5A), dst(bytes);
    for (auto _ : state) {
        std::memcpy(dst.data(), src.data(), bytes);
        benchmark::DoNotOptimize(dst.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations() * bytes));
}

// Baseline: memcpy of the display images' bytes (all levels, both images).
void BM_MemcpyDxt1Output(benchmark::State& state) { Copy(state, DisplayBytes(2048)); }
BENCHMARK(BM_MemcpyDxt1Output)->Unit(benchmark::kMillisecond);

// The same into memory fresh from the system each time: the baseline of the
// first load, which pays a page fault per page as well.
void BM_MemcpyDxt1OutputFresh(benchmark::State& state)
{
    const size_t bytes = DisplayBytes(2048);
    std::vector<uint8_t> src(bytes, 0x5A);
    for (auto _ : state) {
        std::unique_ptr<uint8_t[]> dst(new uint8_t[bytes]);
        std::memcpy(dst.get(), src.data(), bytes);
        benchmark::DoNotOptimize(dst.get());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations() * bytes));
}
BENCHMARK(BM_MemcpyDxt1OutputFresh)->Unit(benchmark::kMillisecond);

void BM_Dxt1ToDisplayImages(benchmark::State& state)
{
    static const Bytes file = MakeDxt1File(2048);
    Load(state, file, mc::TextureLoad::Display);
    state.SetBytesProcessed(int64_t(state.iterations() * DisplayBytes(2048)));
}
BENCHMARK(BM_Dxt1ToDisplayImages)->Unit(benchmark::kMillisecond);

// The same when no memory of earlier pictures is kept: every page of the
// images is fresh from the system (the first texture a program shows).
void BM_Dxt1ToDisplayImagesCold(benchmark::State& state)
{
    static const Bytes file = MakeDxt1File(2048);
    for (auto _ : state) {
        state.PauseTiming();
        mc::TrimPixelBuffers();
        state.ResumeTiming();
        mc::TTexture t;
        mc::TMemoryReader in(file.data(), file.size());
        if (!t.Load(in, mc::TextureLoad::Display)) state.SkipWithError("texture refused");
        benchmark::DoNotOptimize(t.MipMaps.data());
        state.PauseTiming();
        t.MipMaps.clear();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(int64_t(state.iterations() * DisplayBytes(2048)));
}
BENCHMARK(BM_Dxt1ToDisplayImagesCold)->Unit(benchmark::kMillisecond);

// Device mode on a device without DXT1: conversion to ARGB1555 only.
void BM_Dxt1ToArgb1555(benchmark::State& state)
{
    static const Bytes file = MakeDxt1File(2048);
    Load(state, file, mc::TextureLoad::DeviceMode);
}
BENCHMARK(BM_Dxt1ToArgb1555)->Unit(benchmark::kMillisecond);

void BM_MemcpyArgb4444Output(benchmark::State& state) { Copy(state, DisplayBytes(1024)); }
BENCHMARK(BM_MemcpyArgb4444Output)->Unit(benchmark::kMillisecond);

void BM_Argb4444ToDisplayImages(benchmark::State& state)
{
    static const Bytes file = MakeArgb4444File(1024);
    Load(state, file, mc::TextureLoad::Display);
    state.SetBytesProcessed(int64_t(state.iterations() * DisplayBytes(1024)));
}
BENCHMARK(BM_Argb4444ToDisplayImages)->Unit(benchmark::kMillisecond);

// The LZSS part alone: the level data for a device.
void BM_Argb4444Unpack(benchmark::State& state)
{
    static const Bytes file = MakeArgb4444File(1024);
    Load(state, file, mc::TextureLoad::DeviceMode);
}
BENCHMARK(BM_Argb4444Unpack)->Unit(benchmark::kMillisecond);

}  // namespace
