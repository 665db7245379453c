// Binarized configs must load or be refused cleanly; what loads must write
// (when it fits), read back and write the same bytes again.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "Config/ConfigBinary.h"
#include "Config/Resources.h"
#include "Core/Stream.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    mc::TResources doc;
    mc::TMemoryReader stream(data, size);
    if (!doc.LoadBinary("fuzz.bin", stream)) return 0;
    std::vector<uint8_t> first, second;
    std::string error;
    if (!mc::WriteConfigBinary(doc, first, error)) return 0;
    mc::TResources back;
    mc::TMemoryReader bin(first.data(), first.size());
    if (!back.LoadBinary("fuzz.bin", bin)) std::abort();
    if (!mc::WriteConfigBinary(back, second, error) || second != first) std::abort();
    // Any tree writes as text.
    std::string text;
    back.AppendText(text);
    return 0;
}
