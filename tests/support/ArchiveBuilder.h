// Archives written byte by byte for the tests, independent of the writer
// under test.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "Archive/PbFile.h"
#include "Lzss/Lzss.h"

namespace mc::test {

struct TEntrySpec {
    std::string Name;
    std::vector<uint8_t> Data;  // the bytes stored in the data area
    uint32_t Method = kPbMethodStored;
    int32_t OriginalSize = 0;
    uint32_t TimeStamp = 0;
    // The size written in the header; the data's size when not set.
    bool OverrideDataSize = false;
    int32_t DataSize = 0;
};

inline std::vector<uint8_t> Bytes(const std::string& text) { return std::vector<uint8_t>(text.begin(), text.end()); }

inline void PutLE32(std::vector<uint8_t>& out, uint32_t v)
{
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

inline void PutZ(std::vector<uint8_t>& out, const std::string& text)
{
    out.insert(out.end(), text.begin(), text.end());
    out.push_back(0);
}

// A packed entry of content.
inline TEntrySpec Packed(const std::string& name, const std::vector<uint8_t>& content)
{
    std::vector<uint8_t> packed(content.size() * 2 + 64);
    packed.resize(LzssEncode(content.data(), content.size(), packed.data(), packed.size()));
    TEntrySpec e{name, packed, kPbMethodPacked, static_cast<int32_t>(content.size())};
    return e;
}

// The header entry of the later game's archives: "Vers" method bytes and
// property texts.
inline std::vector<uint8_t> HeaderEntry(const std::vector<std::string>& texts)
{
    std::vector<uint8_t> out{0};
    for (char c : std::string("sreV")) out.push_back(static_cast<uint8_t>(c));
    for (int i = 0; i < 16; ++i) out.push_back(0);
    for (const auto& t : texts) PutZ(out, t);
    out.push_back(0);
    return out;
}

inline std::vector<uint8_t> BuildArchive(const std::vector<TEntrySpec>& entries,
                                         const std::vector<uint8_t>& header = {},
                                         const std::vector<uint8_t>& trailer = {})
{
    std::vector<uint8_t> out = header;
    for (const auto& e : entries) {
        PutZ(out, e.Name);
        PutLE32(out, e.Method);
        PutLE32(out, static_cast<uint32_t>(e.OriginalSize));
        PutLE32(out, 0);
        PutLE32(out, e.TimeStamp);
        PutLE32(out, static_cast<uint32_t>(e.OverrideDataSize ? e.DataSize : static_cast<int32_t>(e.Data.size())));
    }
    out.insert(out.end(), 21, 0);
    for (const auto& e : entries) out.insert(out.end(), e.Data.begin(), e.Data.end());
    out.insert(out.end(), trailer.begin(), trailer.end());
    return out;
}

inline std::unique_ptr<TPbFile> OpenBytes(std::vector<uint8_t> bytes, const std::string& name = "test.pbo")
{
    auto archive = std::make_unique<TPbFile>();
    if (!archive->OpenStream(std::make_unique<TMemoryStream>(std::move(bytes)), name)) return nullptr;
    return archive;
}

}  // namespace mc::test
