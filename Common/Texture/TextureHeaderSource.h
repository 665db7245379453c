// What the conversion of editable models needs to know of a texture: its
// type and whether it has transparent pixels. TTextureHeaderLookup reads it
// from a game's archives; tests give their own.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace mc {

struct TTextureHeaderInfo {
    uint16_t Type = 0;         // texture type code (Texture/TextureTypes.h)
    bool Transparent = false;  // has transparency
};

class ITextureHeaderSource {
public:
    virtual ~ITextureHeaderSource() = default;
    // Header of the texture at a game path; nothing when it cannot be found
    // or read.
    virtual std::optional<TTextureHeaderInfo> Header(const std::string& gamePath) = 0;
};

}  // namespace mc
