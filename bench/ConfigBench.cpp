// Config loading and saving on a generated config of about 7 MB with 60,000
// classes, against copying the same bytes in memory and on disk.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "Config/ConfigBinary.h"
#include "Config/CppParser.h"
#include "Config/Resources.h"
#include "Core/AppServices.h"
#include "Core/Stream.h"
#include "Core/StreamIO.h"

namespace {

// 2,000 vehicle classes in chains of ten, each with 29 part classes of
// three fields, macros among the values: 60,000 classes in all.
const std::string& GeneratedConfig()
{
    static const std::string text = [] {
        std::string t;
        t.reserve(8u << 20);
        t += "// generated\r\n#define ARMOR_BASE 10\r\n#define POS(x,y,z) {x,y,z}\r\n#define TRUE 1\r\n\r\n";
        t += "class CfgVehicles\r\n{\r\n\tclass All {};\r\n";
        char line[256];
        for (int v = 0; v < 2000; ++v) {
            if (v % 10 == 0)
                std::snprintf(line, sizeof line, "\tclass Vehicle%d : All\r\n\t{\r\n", v);
            else
                std::snprintf(line, sizeof line, "\tclass Vehicle%d : Vehicle%d\r\n\t{\r\n", v, v - 1);
            t += line;
            std::snprintf(line, sizeof line,
                          "\t\tscope = 2;\r\n\t\tdisplayName = \"Vehicle number %d\";\r\n"
                          "\t\tmodel = \"\\data3d\\vehicle%d.p3d\";\r\n\t\tmaxSpeed = %d.5;\r\n"
                          "\t\tarmor = ARMOR_BASE;\r\n\t\thasDriver = TRUE;\r\n"
                          "\t\tsound[] = {\"\\sound\\engine%d.wss\", db-10, 1};\r\n",
                          v, v % 200, 50 + v % 100, v % 50);
            t += line;
            for (int p = 0; p < 29; ++p) {
                if (p == 0)
                    std::snprintf(line, sizeof line, "\t\tclass Part%d\r\n\t\t{\r\n", p);
                else
                    std::snprintf(line, sizeof line, "\t\tclass Part%d : Part%d\r\n\t\t{\r\n", p, p - 1);
                t += line;
                std::snprintf(line, sizeof line,
                              "\t\t\tarmor = %d.25;\r\n\t\t\tname = \"part %d of %d\";\r\n"
                              "\t\t\tposition[] = POS(%d.5, -%d, 0.125);\r\n\t\t};\r\n",
                              p, p, v % 40, p, v % 17);
                t += line;
            }
            t += "\t};\r\n";
        }
        t += "};\r\n";
        return t;
    }();
    return text;
}

std::unique_ptr<mc::TResources> Parse(const std::string& text)
{
    auto doc = std::make_unique<mc::TResources>();
    mc::TMemoryReader stream(text.data(), text.size());
    doc->LoadText("config.cpp", stream);
    return doc;
}

std::vector<uint8_t> Binarized()
{
    auto doc = Parse(GeneratedConfig());
    std::vector<uint8_t> bytes;
    std::string error;
    mc::WriteConfigBinary(*doc, bytes, error);
    return bytes;
}

void Bytes(benchmark::State& state, size_t size)
{
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * size));
}

// Baselines: the text copied in memory and as a file.
void BM_Memcpy(benchmark::State& state)
{
    const std::string& text = GeneratedConfig();
    std::vector<char> copy(text.size());
    for (auto _ : state) {
        std::memcpy(copy.data(), text.data(), text.size());
        benchmark::DoNotOptimize(copy.data());
        benchmark::ClobberMemory();
    }
    Bytes(state, text.size());
}
BENCHMARK(BM_Memcpy)->Unit(benchmark::kMillisecond);

void BM_FileCopy(benchmark::State& state)
{
    const std::string& text = GeneratedConfig();
    const auto dir = std::filesystem::temp_directory_path();
    const auto from = dir / "meshcraft-bench-config.cpp", to = dir / "meshcraft-bench-config-copy.cpp";
    {
        mc::TFileStream out;
        out.Open(from.string(), mc::TFileStream::Mode::Create);
        mc::WriteBuffer(out, text.data(), text.size());
    }
    for (auto _ : state) std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing);
    std::filesystem::remove(from);
    std::filesystem::remove(to);
    Bytes(state, text.size());
}
BENCHMARK(BM_FileCopy)->Unit(benchmark::kMillisecond);

// The preprocessor alone: every logical line read and expanded.
void BM_Preprocess(benchmark::State& state)
{
    const std::string& text = GeneratedConfig();
    for (auto _ : state) {
        mc::TCppParser p(text.data(), text.size());
        size_t lines = 0;
        for (bool more = p.ReadLine(); more; more = p.ReadLine()) ++lines;
        benchmark::DoNotOptimize(lines);
    }
    Bytes(state, text.size());
}
BENCHMARK(BM_Preprocess)->Unit(benchmark::kMillisecond);

void BM_ParseText(benchmark::State& state)
{
    const std::string& text = GeneratedConfig();
    for (auto _ : state) {
        auto doc = Parse(text);
        if (doc->HasError) state.SkipWithError(doc->ErrorMessage.c_str());
        benchmark::DoNotOptimize(doc.get());
    }
    Bytes(state, text.size());
}
BENCHMARK(BM_ParseText)->Unit(benchmark::kMillisecond);

// The whole conversion of a text config to the binarized form in memory.
void BM_ParseAndBinarize(benchmark::State& state)
{
    const std::string& text = GeneratedConfig();
    for (auto _ : state) {
        auto doc = Parse(text);
        std::vector<uint8_t> bytes;
        std::string error;
        if (!mc::WriteConfigBinary(*doc, bytes, error)) state.SkipWithError(error.c_str());
        benchmark::DoNotOptimize(bytes.data());
    }
    Bytes(state, text.size());
}
BENCHMARK(BM_ParseAndBinarize)->Unit(benchmark::kMillisecond);

void BM_WriteBinary(benchmark::State& state)
{
    auto doc = Parse(GeneratedConfig());
    size_t size = 0;
    for (auto _ : state) {
        std::vector<uint8_t> bytes;
        std::string error;
        mc::WriteConfigBinary(*doc, bytes, error);
        size = bytes.size();
        benchmark::DoNotOptimize(bytes.data());
    }
    Bytes(state, size);
}
BENCHMARK(BM_WriteBinary)->Unit(benchmark::kMillisecond);

void BM_ReadBinary(benchmark::State& state)
{
    const std::vector<uint8_t> bytes = Binarized();
    for (auto _ : state) {
        mc::TResources doc;
        mc::TMemoryReader stream(bytes.data(), bytes.size());
        if (!doc.LoadBinary("config.bin", stream)) state.SkipWithError(doc.ErrorMessage.c_str());
        benchmark::DoNotOptimize(doc.RootClass.get());
    }
    Bytes(state, bytes.size());
}
BENCHMARK(BM_ReadBinary)->Unit(benchmark::kMillisecond);

void BM_WriteText(benchmark::State& state)
{
    auto doc = Parse(GeneratedConfig());
    size_t size = 0;
    for (auto _ : state) {
        std::string out;
        doc->AppendText(out);
        size = out.size();
        benchmark::DoNotOptimize(out.data());
    }
    Bytes(state, size);
}
BENCHMARK(BM_WriteText)->Unit(benchmark::kMillisecond);

}  // namespace
