// The binarized config form: a signature, a version, the root class body
// with names and strings shared through a pool, and the enumeration table.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace mc {

class TResources;
class TStream;

inline constexpr uint32_t kConfigBinarySignature = 0x50617200;  // bytes 00 72 61 50
// Counts and pool indexes are stored in at most two bytes.
inline constexpr uint32_t kMaxCompactNumber = 32767;

enum class TConfigBinaryResult {
    Loaded,
    NotBinarized,  // the signature does not match (the error is recorded unless the name is ".sqm")
    Failed,        // the error is recorded in the document
};

// Reads the form from the stream's position into the document.
TConfigBinaryResult ReadConfigBinary(TResources& document, TStream& stream);

// Writes the form; false with a reason when a count or pool index does not
// fit the compact numbers or a text holds a NUL character.
bool WriteConfigBinary(const TResources& document, std::vector<uint8_t>& out, std::string& error);

void AppendCompactNumber(std::vector<uint8_t>& out, uint32_t value);

}  // namespace mc
