// LZSS throughput on model-like data, against a plain memcpy of the same size.
#include "Lzss/Lzss.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

template <class T>
void Append(Bytes& out, const std::vector<T>& v)
{
    const size_t at = out.size();
    out.resize(at + v.size() * sizeof(T));
    std::memcpy(out.data() + at, v.data(), v.size() * sizeof(T));
}

// The arrays of a smooth mesh, as a game model stores them: a bumpy torus of
// rows x cols vertices with positions, normals and UVs (float32), then the
// u16 triangle indices of its strips. About 3.5 MB for 300 x 300.
Bytes MakeModelData(int rows = 300, int cols = 300)
{
    std::vector<float> pos, nrm, uv;
    std::vector<uint16_t> idx;
    const double pi = 3.14159265358979323846;
    for (int i = 0; i < rows; ++i) {
        for (int j = 0; j < cols; ++j) {
            const double u = 2 * pi * i / rows, v = 2 * pi * j / cols;
            const double r = 1.5 + 0.05 * std::sin(7 * u) * std::cos(5 * v);
            const double cx = std::cos(u), sx = std::sin(u), cv = std::cos(v), sv = std::sin(v);
            pos.insert(pos.end(), {float((4 + r * cv) * cx), float(r * sv), float((4 + r * cv) * sx)});
            nrm.insert(nrm.end(), {float(cv * cx), float(sv), float(cv * sx)});
            uv.insert(uv.end(), {float(double(i) / rows), float(double(j) / cols)});
        }
    }
    // Indices are local to 64-vertex-row sections, as u16 arrays of split
    // meshes are.
    for (int i = 0; i + 1 < rows; ++i) {
        for (int j = 0; j + 1 < cols; ++j) {
            const int a = (i * cols + j) % 65536, b = (a + 1) % 65536, c = (a + cols) % 65536, d = (c + 1) % 65536;
            idx.insert(idx.end(), {uint16_t(a), uint16_t(c), uint16_t(b), uint16_t(b), uint16_t(c), uint16_t(d)});
        }
    }
    Bytes out;
    Append(out, pos);
    Append(out, nrm);
    Append(out, uv);
    Append(out, idx);
    return out;
}

struct TData {
    Bytes plain = MakeModelData();
    Bytes packed;

    TData()
    {
        packed.resize(plain.size() + plain.size() / 8 + 16);
        packed.resize(mc::LzssEncode(plain.data(), plain.size(), packed.data(), packed.size()));
    }
};

const TData& Data()
{
    static const TData data;
    return data;
}

void BM_LzssDecode(benchmark::State& state)
{
    const TData& d = Data();
    Bytes out(d.plain.size());
    for (auto _ : state) {
        const auto st = mc::LzssDecode(d.packed.data(), d.packed.size(), out.data(), out.size());
        benchmark::DoNotOptimize(st);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(out.size()));
    state.counters["ratio_packed"] = double(d.packed.size()) / double(d.plain.size());
}
BENCHMARK(BM_LzssDecode)->Unit(benchmark::kMillisecond);

void BM_LzssEncode(benchmark::State& state)
{
    const TData& d = Data();
    Bytes out(d.plain.size() + d.plain.size() / 8 + 16);
    for (auto _ : state) {
        const size_t len = mc::LzssEncode(d.plain.data(), d.plain.size(), out.data(), out.size());
        benchmark::DoNotOptimize(len);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(d.plain.size()));
}
BENCHMARK(BM_LzssEncode)->Unit(benchmark::kMillisecond);

void BM_Memcpy(benchmark::State& state)
{
    const TData& d = Data();
    Bytes out(d.plain.size());
    for (auto _ : state) {
        std::memcpy(out.data(), d.plain.data(), out.size());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(out.size()));
}
BENCHMARK(BM_Memcpy)->Unit(benchmark::kMillisecond);

// Decode and memcpy timed alternately in the same iterations, so both see
// the same machine conditions; decode_vs_memcpy is decode throughput divided
// by memcpy throughput.
void BM_DecodeVsMemcpy(benchmark::State& state)
{
    using Clock = std::chrono::steady_clock;
    const TData& d = Data();
    Bytes out(d.plain.size());
    double decodeSec = 0, copySec = 0;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        std::memcpy(out.data(), d.plain.data(), out.size());
        benchmark::ClobberMemory();
        const auto t1 = Clock::now();
        const auto st = mc::LzssDecode(d.packed.data(), d.packed.size(), out.data(), out.size());
        benchmark::DoNotOptimize(st);
        benchmark::ClobberMemory();
        const auto t2 = Clock::now();
        copySec += std::chrono::duration<double>(t1 - t0).count();
        decodeSec += std::chrono::duration<double>(t2 - t1).count();
    }
    const double mb = double(out.size()) * double(state.iterations()) / 1e6;
    state.counters["decode_MBps"] = mb / decodeSec;
    state.counters["memcpy_MBps"] = mb / copySec;
    state.counters["decode_vs_memcpy"] = copySec / decodeSec;
}
BENCHMARK(BM_DecodeVsMemcpy)->Unit(benchmark::kMillisecond);

}  // namespace
