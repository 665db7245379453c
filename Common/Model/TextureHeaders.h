// What the conversion of editable models needs to know of a texture: its
// type and whether it has transparent pixels. The texture module provides
// the lookup (reading only the file's header through the archive list); the
// program installs it at start-up. Without one, every texture counts as
// unknown (no transparency flags).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace mc {

// Texture type codes the model conversion tells apart. ARGB1555 files store
// 0x1555; 0x5515 is accepted as the same type when read.
constexpr uint16_t kTextureTypeARGB1555 = 0x1555;
constexpr uint16_t kTextureTypeARGB1555Alt = 0x5515;
constexpr uint16_t kTextureTypeDXT1 = 0xFF01;

struct TTextureHeaderInfo {
    uint16_t Type = 0;         // texture type code
    bool Transparent = false;  // has transparency
};

class ITextureHeaderSource {
public:
    virtual ~ITextureHeaderSource() = default;
    // Header of the texture at a game path; nothing when it cannot be found
    // or read.
    virtual std::optional<TTextureHeaderInfo> Header(const std::string& gamePath) = 0;
};

// nullptr: none installed.
void SetTextureHeaderSource(ITextureHeaderSource* source);
ITextureHeaderSource* GetTextureHeaderSource();

}  // namespace mc
