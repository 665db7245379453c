// Helpers of the config tests: texts run through the preprocessor and the
// parser from strings.
#pragma once

#include <string>
#include <vector>

#include "Config/CppParser.h"
#include "Config/Resources.h"
#include "Core/Stream.h"

namespace mc::test {

// The lines the consumer of the preprocessor sees, "\n" after each.
inline std::string Preprocess(const std::string& text, TCppParser* parser = nullptr)
{
    TCppParser local(text.data(), text.size());
    TCppParser& p = parser ? *parser : local;
    std::string out;
    bool more = p.ReadLine();
    for (;;) {
        out += p.RestOfLine();
        out += '\n';
        if (!more) break;
        more = p.ReadLine();
    }
    p.NextTokenAtEnd(true);
    return out;
}

inline bool LoadConfigText(TResources& doc, const std::string& text, const std::string& name = "test.cpp")
{
    TMemoryReader stream(text.data(), text.size());
    return doc.LoadText(name, stream);
}

inline std::string ConfigText(TResources& doc)
{
    std::string out;
    doc.AppendText(out);
    return out;
}

inline std::vector<uint8_t> ConfigBinary(TResources& doc)
{
    TMemoryStream out;
    if (!doc.WriteBinary(out)) return {};
    return out.TakeBytes();
}

inline bool LoadConfigBinary(TResources& doc, const std::vector<uint8_t>& bytes, const std::string& name = "test.bin")
{
    TMemoryReader stream(bytes.data(), bytes.size());
    return doc.LoadBinary(name, stream);
}

}  // namespace mc::test
