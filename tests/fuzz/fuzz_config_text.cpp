// Config texts must load or be refused cleanly. What loads must binarize
// (when it fits), read back and binarize to the same bytes; its text must
// load again and, without enumerations, write the same text again.
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
    if (!doc.LoadText("fuzz.cpp", stream)) return 0;

    std::vector<uint8_t> first, second;
    std::string error;
    if (mc::WriteConfigBinary(doc, first, error)) {
        mc::TResources back;
        mc::TMemoryReader bin(first.data(), first.size());
        if (!back.LoadBinary("fuzz.bin", bin)) std::abort();
        if (!mc::WriteConfigBinary(back, second, error) || second != first) std::abort();
    }

    std::string text;
    doc.AppendText(text);
    if (!doc.EnumTable.empty()) return 0;
    mc::TResources again;
    mc::TMemoryReader textStream(text.data(), text.size());
    if (!again.LoadText("fuzz.cpp", textStream)) std::abort();
    std::string text2;
    again.AppendText(text2);
    if (text2 != text) std::abort();
    return 0;
}
