// Archive speed on generated archives: opening (headers and folder tree) and
// extracting everything, stored and packed, against a plain copy of the same
// bytes measured in the same iterations.
//
//   small.pbo   20,000 files of 100..400 bytes in 40 folders
//   stored.pbo  2,000 files, 100 MB in all, stored
//   packed.pbo  the same 2,000 files packed
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

#include "Archive/PbExtract.h"
#include "Archive/PbFile.h"
#include "Core/AppServices.h"
#include "Core/Strings.h"
#include "Lzss/Lzss.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using Bytes = std::vector<uint8_t>;

constexpr int kBigFiles = 2000;
constexpr size_t kBigTotal = 100u << 20;
constexpr int kSmallFiles = 20000;

void Put32(Bytes& out, uint32_t v)
{
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

struct TEntry {
    std::string Name;
    Bytes Data;  // as stored
    uint32_t Method = 0;
    uint32_t OriginalSize = 0;
};

void WriteArchive(const fs::path& path, const std::vector<TEntry>& entries)
{
    Bytes head;
    for (const TEntry& e : entries) {
        head.insert(head.end(), e.Name.begin(), e.Name.end());
        head.push_back(0);
        Put32(head, e.Method);
        Put32(head, e.OriginalSize);
        Put32(head, 0);
        Put32(head, 1000000000);
        Put32(head, static_cast<uint32_t>(e.Data.size()));
    }
    head.insert(head.end(), 21, 0);
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(head.data()), static_cast<std::streamsize>(head.size()));
    for (const TEntry& e : entries)
        out.write(reinterpret_cast<const char*>(e.Data.data()), static_cast<std::streamsize>(e.Data.size()));
}

// Model-like content: runs of slowly varying floats with some noise, which
// packs to about half its size.
Bytes Content(std::mt19937& rng, size_t size)
{
    Bytes b(size);
    float v = 0;
    std::uniform_int_distribution<int> noise(0, 15);
    for (size_t i = 0; i + 4 <= size; i += 4) {
        v += 0.001f * static_cast<float>(noise(rng) - 7);
        std::memcpy(&b[i], &v, 4);
        b[i] = static_cast<uint8_t>(noise(rng) < 12 ? 0 : b[i]);
    }
    return b;
}

struct TArchives {
    fs::path Dir = fs::temp_directory_path() / "meshcraft-bench-archive";
    fs::path Small = Dir / "small.pbo", Stored = Dir / "stored.pbo", Packed = Dir / "packed.pbo";
    uint64_t SmallBytes = 0;
    uint64_t BigBytes = 0;  // content of stored.pbo and packed.pbo
    uint64_t PackedBytes = 0;

    TArchives()
    {
        fs::remove_all(Dir);
        fs::create_directories(Dir);
        std::mt19937 rng(12345);

        std::vector<TEntry> small;
        std::uniform_int_distribution<size_t> smallSize(100, 400);
        for (int i = 0; i < kSmallFiles; ++i) {
            small.push_back({mc::Format("scripts\\group%02d\\script_%05d.sqs", i % 40, i), Content(rng, smallSize(rng))});
            SmallBytes += small.back().Data.size();
        }
        WriteArchive(Small, small);

        std::vector<TEntry> stored, packed;
        const size_t average = kBigTotal / kBigFiles;
        std::uniform_int_distribution<size_t> bigSize(average / 2, average * 3 / 2);
        size_t left = kBigTotal;
        for (int i = 0; i < kBigFiles; ++i) {
            const size_t size = i + 1 == kBigFiles ? left : std::min(left, bigSize(rng));
            left -= size;
            TEntry e{mc::Format("data3d\\set%02d\\model_%04d.p3d", i % 20, i), Content(rng, size)};
            BigBytes += size;
            TEntry p{e.Name, Bytes(size * 9 / 8 + 64), mc::kPbMethodPacked, static_cast<uint32_t>(size)};
            p.Data.resize(mc::LzssEncode(e.Data.data(), e.Data.size(), p.Data.data(), p.Data.size()));
            PackedBytes += p.Data.size();
            stored.push_back(std::move(e));
            packed.push_back(std::move(p));
        }
        WriteArchive(Stored, stored);
        WriteArchive(Packed, packed);
    }
    ~TArchives() { fs::remove_all(Dir); }
};

const TArchives& Archives()
{
    static const TArchives archives;
    return archives;
}

double Seconds(Clock::time_point a, Clock::time_point b) { return std::chrono::duration<double>(b - a).count(); }

// The baseline: the archive's bytes copied to a new file through a 1 MB
// buffer, the way any program copies a file.
void CopyFile(const fs::path& from, const fs::path& to)
{
    std::FILE* in = std::fopen(from.c_str(), "rb");
    std::FILE* out = std::fopen(to.c_str(), "wb");
    std::vector<char> buffer(1 << 20);
    size_t n;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), in)) > 0) std::fwrite(buffer.data(), 1, n, out);
    std::fclose(in);
    std::fclose(out);
}

// Opening an archive: its headers and the folder tree.
void OpenArchive(benchmark::State& state, const fs::path& file)
{
    for (auto _ : state) {
        mc::TPbFile archive;
        if (!archive.Open(file.string())) state.SkipWithError("open failed");
        archive.BuildTree();
        benchmark::DoNotOptimize(archive.Root.Items.Count());
    }
}

void BM_OpenSmall20000(benchmark::State& state)
{
    OpenArchive(state, Archives().Small);
    state.counters["entries"] = kSmallFiles;
}
BENCHMARK(BM_OpenSmall20000)->Unit(benchmark::kMillisecond);

void BM_OpenBig2000(benchmark::State& state) { OpenArchive(state, Archives().Stored); }
BENCHMARK(BM_OpenBig2000)->Unit(benchmark::kMicrosecond);

// Writes each entry's content (already in memory) to its own new file: what
// creating that many files costs on this machine, the floor of extraction.
void WriteFiles(const fs::path& folder, const std::vector<std::pair<std::string, Bytes>>& files)
{
    std::unordered_set<std::string> folders;
    for (const auto& [name, bytes] : files) {
        const fs::path path = folder / name;
        if (folders.insert(path.parent_path().string()).second) fs::create_directories(path.parent_path());
        std::FILE* out = std::fopen(path.c_str(), "wb");
        std::fwrite(bytes.data(), 1, bytes.size(), out);
        std::fclose(out);
    }
}

// Extraction to disk, the copy of the archive file and the writing of the
// same files from memory, in turn in each iteration. Each iteration writes
// into new folders (removing files in between would time the file system's
// clean-up). extract_vs_copy is the copy's time over the extraction's (above
// 1: faster than copying the archive file); extract_vs_files compares with
// writing the same files from memory.
void ExtractVsCopy(benchmark::State& state, const fs::path& archivePath, uint64_t contentBytes)
{
    const TArchives& a = Archives();
    std::vector<std::pair<std::string, Bytes>> files;
    {
        mc::TPbFile archive;
        archive.Open(archivePath.string());
        for (const mc::TPbFileItem* item : archive.Entries()) {
            Bytes bytes;
            item->ExtractToBytes(archive.Stream.get(), bytes);
            std::string name = item->Name;
            std::replace(name.begin(), name.end(), '\\', '/');
            files.emplace_back(name, std::move(bytes));
        }
    }
    const fs::path work = a.Dir / "work";
    double extractSec = 0, copySec = 0, openSec = 0, filesSec = 0;
    int round = 0;
    for (auto _ : state) {
        const fs::path out = work / ("out" + std::to_string(round));
        const fs::path copy = work / ("copy" + std::to_string(round) + ".pbo");
        const fs::path floor = work / ("files" + std::to_string(round));
        ++round;
        const auto t0 = Clock::now();
        mc::TPbFile archive;
        archive.Open(archivePath.string());
        const auto t1 = Clock::now();
        const mc::TExtractSummary s = mc::ExtractToFolder(archive, out.string());
        const auto t2 = Clock::now();
        CopyFile(archivePath, copy);
        const auto t3 = Clock::now();
        WriteFiles(floor, files);
        const auto t4 = Clock::now();
        if (s.Bytes != contentBytes) state.SkipWithError("extraction incomplete");
        openSec += Seconds(t0, t1);
        extractSec += Seconds(t0, t2);
        copySec += Seconds(t2, t3);
        filesSec += Seconds(t3, t4);
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["open_ms"] = openSec / n * 1e3;
    state.counters["extract_ms"] = extractSec / n * 1e3;
    state.counters["copy_ms"] = copySec / n * 1e3;
    state.counters["files_ms"] = filesSec / n * 1e3;
    state.counters["extract_vs_copy"] = copySec / extractSec;
    state.counters["extract_vs_files"] = filesSec / extractSec;
    state.counters["extract_MBps"] = static_cast<double>(contentBytes) * n / extractSec / 1e6;
    fs::remove_all(work);
}

void BM_ExtractStoredToDisk(benchmark::State& state)
{
    ExtractVsCopy(state, Archives().Stored, Archives().BigBytes);
}
BENCHMARK(BM_ExtractStoredToDisk)->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_ExtractPackedToDisk(benchmark::State& state)
{
    ExtractVsCopy(state, Archives().Packed, Archives().BigBytes);
}
BENCHMARK(BM_ExtractPackedToDisk)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_ExtractSmallToDisk(benchmark::State& state)
{
    const TArchives& a = Archives();
    ExtractVsCopy(state, a.Small, a.SmallBytes);
}
BENCHMARK(BM_ExtractSmallToDisk)->Unit(benchmark::kMillisecond)->Iterations(5);

// Packed entries extracted to memory, against decoding the same packed bytes
// straight from memory (the decoder alone) and against memcpy of the content.
void BM_ExtractPackedToMemory(benchmark::State& state)
{
    const TArchives& a = Archives();
    mc::TPbFile archive;
    archive.Open(a.Packed.string());
    // The packed blocks in memory, for the decoder-alone timing.
    std::vector<Bytes> blocks;
    for (const mc::TPbFileItem* item : archive.Entries()) {
        Bytes b(static_cast<size_t>(item->DataSize));
        archive.Stream->Seek(item->DataOffset);
        archive.Stream->Read(b.data(), b.size());
        blocks.push_back(std::move(b));
    }
    Bytes content(static_cast<size_t>(a.BigBytes)), copy(content.size());
    double extractSec = 0, decodeSec = 0, memcpySec = 0;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        Bytes out;
        for (const mc::TPbFileItem* item : archive.Entries()) {
            if (!item->ExtractToBytes(archive.Stream.get(), out)) state.SkipWithError("extract failed");
            benchmark::DoNotOptimize(out.data());
        }
        const auto t1 = Clock::now();
        size_t at = 0;
        for (size_t i = 0; i < blocks.size(); ++i) {
            const size_t n = static_cast<size_t>(archive.Entries()[i]->OriginalSize);
            mc::LzssDecode(blocks[i].data(), blocks[i].size(), content.data() + at, n);
            at += n;
        }
        benchmark::ClobberMemory();
        const auto t2 = Clock::now();
        std::memcpy(copy.data(), content.data(), content.size());
        benchmark::ClobberMemory();
        const auto t3 = Clock::now();
        extractSec += Seconds(t0, t1);
        decodeSec += Seconds(t1, t2);
        memcpySec += Seconds(t2, t3);
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["extract_ms"] = extractSec / n * 1e3;
    state.counters["decode_only_ms"] = decodeSec / n * 1e3;
    state.counters["memcpy_ms"] = memcpySec / n * 1e3;
    state.counters["extract_vs_decoder"] = decodeSec / extractSec;
    state.counters["packed_ratio"] = static_cast<double>(a.PackedBytes) / static_cast<double>(a.BigBytes);
}
BENCHMARK(BM_ExtractPackedToMemory)->Unit(benchmark::kMillisecond)->Iterations(5);

// Stored entries to memory, against memcpy of the same bytes.
void BM_ExtractStoredToMemory(benchmark::State& state)
{
    const TArchives& a = Archives();
    mc::TPbFile archive;
    archive.Open(a.Stored.string());
    Bytes content(static_cast<size_t>(a.BigBytes)), copy(content.size());
    double extractSec = 0, memcpySec = 0;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        Bytes out;
        for (const mc::TPbFileItem* item : archive.Entries()) {
            if (!item->ExtractToBytes(archive.Stream.get(), out)) state.SkipWithError("extract failed");
            benchmark::DoNotOptimize(out.data());
        }
        const auto t1 = Clock::now();
        std::memcpy(copy.data(), content.data(), content.size());
        benchmark::ClobberMemory();
        const auto t2 = Clock::now();
        extractSec += Seconds(t0, t1);
        memcpySec += Seconds(t1, t2);
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["extract_ms"] = extractSec / n * 1e3;
    state.counters["memcpy_ms"] = memcpySec / n * 1e3;
    state.counters["extract_vs_memcpy"] = memcpySec / extractSec;
}
BENCHMARK(BM_ExtractStoredToMemory)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
