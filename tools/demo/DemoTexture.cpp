#include "DemoTexture.h"

#include <algorithm>

#include "Lzss/Lzss.h"
#include "Texture/TextureLzss.h"

namespace mc::demo {

namespace {

void Put16(std::vector<uint8_t>& out, uint32_t v)
{
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t v)
{
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

uint16_t ToArgb4444(uint32_t argb)
{
    return static_cast<uint16_t>(((argb >> 28) & 0xF) << 12 | ((argb >> 20) & 0xF) << 8 | ((argb >> 12) & 0xF) << 4 |
                                 ((argb >> 4) & 0xF));
}

// Average of a 2 x 2 block of ARGB pixels, per channel.
uint32_t Average4(uint32_t a, uint32_t b, uint32_t c, uint32_t d)
{
    uint32_t result = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const uint32_t sum = ((a >> shift) & 0xFF) + ((b >> shift) & 0xFF) + ((c >> shift) & 0xFF) + ((d >> shift) & 0xFF);
        result |= ((sum + 2) / 4) << shift;
    }
    return result;
}

}  // namespace

std::vector<uint8_t> EncodePaaArgb4444(int width, int height, const TPixelFunction& pixel)
{
    std::vector<uint32_t> level(static_cast<size_t>(width) * static_cast<size_t>(height));
    uint64_t sums[4] = {};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const uint32_t c = pixel(x, y, width, height);
            level[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)] = c;
            for (int k = 0; k < 4; ++k) sums[k] += (c >> (8 * k)) & 0xFF;
        }
    const uint64_t n = level.size();
    uint32_t average = 0;
    for (int k = 0; k < 4; ++k) average |= static_cast<uint32_t>(sums[k] / n) << (8 * k);

    std::vector<uint8_t> out;
    Put16(out, 0x4444);
    out.insert(out.end(), {'G', 'G', 'A', 'T', 'C', 'G', 'V', 'A'});
    Put32(out, 4);
    Put32(out, average);
    Put16(out, 0);  // no palette

    int w = width, h = height;
    while (w >= 4 && h >= 4) {
        std::vector<uint8_t> raw;
        raw.reserve(level.size() * 2);
        for (uint32_t c : level) Put16(raw, ToArgb4444(c));
        std::vector<uint8_t> packed(raw.size() * 2 + 64);
        const size_t size = LzssEncode(raw.data(), raw.size(), packed.data(), packed.size());
        packed.resize(size);
        // The texture form sums the bytes as signed values.
        const uint32_t checksum = TextureChecksum(raw.data(), raw.size());
        for (int k = 0; k < 4; ++k) packed[size - 4 + static_cast<size_t>(k)] = static_cast<uint8_t>(checksum >> (8 * k));

        Put16(out, static_cast<uint32_t>(w));
        Put16(out, static_cast<uint32_t>(h));
        Put16(out, static_cast<uint32_t>(packed.size() & 0xFFFF));
        out.push_back(static_cast<uint8_t>(packed.size() >> 16));
        out.insert(out.end(), packed.begin(), packed.end());

        const int nw = w / 2, nh = h / 2;
        if (nw < 4 || nh < 4) break;
        std::vector<uint32_t> next(static_cast<size_t>(nw) * static_cast<size_t>(nh));
        for (int y = 0; y < nh; ++y)
            for (int x = 0; x < nw; ++x) {
                auto at = [&](int xx, int yy) { return level[static_cast<size_t>(yy) * static_cast<size_t>(w) + static_cast<size_t>(xx)]; };
                next[static_cast<size_t>(y) * static_cast<size_t>(nw) + static_cast<size_t>(x)] =
                    Average4(at(2 * x, 2 * y), at(2 * x + 1, 2 * y), at(2 * x, 2 * y + 1), at(2 * x + 1, 2 * y + 1));
            }
        level = std::move(next);
        w = nw;
        h = nh;
    }
    out.insert(out.end(), 6, 0);  // end of the levels
    return out;
}

}  // namespace mc::demo
