#include "TextureFiles.h"

#include <cstring>

#include "Lzss/Lzss.h"
#include "Texture/TextureTypes.h"

namespace mc::test {

void PutU16(Bytes& b, uint16_t v)
{
    b.push_back(uint8_t(v));
    b.push_back(uint8_t(v >> 8));
}

void PutU24(Bytes& b, uint32_t v)
{
    PutU16(b, uint16_t(v));
    b.push_back(uint8_t(v >> 16));
}

void PutU32(Bytes& b, uint32_t v)
{
    PutU16(b, uint16_t(v));
    PutU16(b, uint16_t(v >> 16));
}

void PutTag(Bytes& b, const char name[4], const Bytes& body)
{
    for (char c : {'G', 'G', 'A', 'T'}) b.push_back(uint8_t(c));
    for (int i = 0; i < 4; ++i) b.push_back(uint8_t(name[i]));
    PutU32(b, uint32_t(body.size()));
    b.insert(b.end(), body.begin(), body.end());
}

Bytes EncodeTextureLzss(const Bytes& data)
{
    Bytes out(data.size() + data.size() / 8 + 16);
    out.resize(LzssEncode(data.data(), data.size(), out.data(), out.size()));
    // The encoder sums unsigned bytes; texture data sums them signed.
    uint32_t sum = 0;
    for (uint8_t c : data) sum += uint32_t(int32_t(int8_t(c)));
    out.resize(out.size() - 4);
    PutU32(out, sum);
    return out;
}

void PutLevel(Bytes& b, uint16_t type, int width, int height, const Bytes& pixels)
{
    PutU16(b, uint16_t(width));
    PutU16(b, uint16_t(height));
    const Bytes data = type == kTextureTypeDXT1 ? pixels : EncodeTextureLzss(pixels);
    PutU24(b, uint32_t(data.size()));
    b.insert(b.end(), data.begin(), data.end());
}

Bytes MakeTexture(uint16_t type, const std::vector<std::pair<int, int>>& sizes, uint32_t averageColor)
{
    Bytes b;
    if (type != kTextureTypePAL8) PutU16(b, type);
    if (averageColor) {
        Bytes body;
        PutU32(body, averageColor);
        PutTag(b, "CGVA", body);
    }
    PutU16(b, 0);
    int level = 0;
    for (auto [w, h] : sizes) {
        const size_t n = type == kTextureTypeDXT1 ? size_t(Dxt1DataSize(w, h))
                                                  : size_t(w) * size_t(h) * size_t(TextureBytesPerPixel(type));
        Bytes pixels(n);
        for (size_t i = 0; i < n; ++i) pixels[i] = uint8_t(i * 7 + level * 13 + (i >> 5));
        PutLevel(b, type, w, h, pixels);
        ++level;
    }
    PutU16(b, 0);
    PutU16(b, 0);
    return b;
}

Bytes Pixels16(const std::vector<uint16_t>& pixels)
{
    Bytes b;
    for (uint16_t p : pixels) PutU16(b, p);
    return b;
}

Bytes Dxt1Block(uint16_t c0, uint16_t c1, uint8_t row0, uint8_t row1, uint8_t row2, uint8_t row3)
{
    Bytes b;
    PutU16(b, c0);
    PutU16(b, c1);
    for (uint8_t r : {row0, row1, row2, row3}) b.push_back(r);
    return b;
}

Bytes StoredArchive(const std::vector<std::pair<std::string, Bytes>>& entries)
{
    Bytes b;
    for (const auto& [name, data] : entries) {
        b.insert(b.end(), name.begin(), name.end());
        b.push_back(0);
        PutU32(b, 0);  // stored
        PutU32(b, uint32_t(data.size()));
        PutU32(b, 0);
        PutU32(b, 0);
        PutU32(b, uint32_t(data.size()));
    }
    b.resize(b.size() + 21, 0);
    for (const auto& [name, data] : entries) b.insert(b.end(), data.begin(), data.end());
    return b;
}

}  // namespace mc::test
