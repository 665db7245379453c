// Builds texture files in memory for the tests.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace mc::test {

using Bytes = std::vector<uint8_t>;

void PutU16(Bytes& b, uint16_t v);
void PutU24(Bytes& b, uint32_t v);
void PutU32(Bytes& b, uint32_t v);
void PutTag(Bytes& b, const char name[4], const Bytes& body);

// LZSS stream of data with the texture checksum (signed byte sum).
Bytes EncodeTextureLzss(const Bytes& data);

// Level header and data: LZSS for every type but DXT1, whose blocks are
// stored as they are (length field = their size).
void PutLevel(Bytes& b, uint16_t type, int width, int height, const Bytes& pixels);

// A whole file: type word (none for PAL8), an average colour tag unless
// averageColor is 0, an empty palette, then the levels of the given sizes
// with pixels from fill(level index, byte count).
Bytes MakeTexture(uint16_t type, const std::vector<std::pair<int, int>>& sizes, uint32_t averageColor = 0);

// Little-endian 16-bit pixels.
Bytes Pixels16(const std::vector<uint16_t>& pixels);

// One DXT1 block: two colours and four rows of 2-bit indices.
Bytes Dxt1Block(uint16_t c0, uint16_t c1, uint8_t row0, uint8_t row1, uint8_t row2, uint8_t row3);

// An archive of stored entries, written byte by byte.
Bytes StoredArchive(const std::vector<std::pair<std::string, Bytes>>& entries);

}  // namespace mc::test
