#include "Texture/TextureHeaderLookup.h"

#include "Core/Stream.h"
#include "Texture/TextureLoadOptions.h"
#include "Texture/TextureLoader.h"

namespace mc {

std::optional<TTextureHeaderInfo> TTextureHeaderLookup::Header(const std::string& gamePath)
{
    std::unique_ptr<TTexture> texture;
    try {
        texture = LoadTexture(game_, gamePath, TextureLoad::HeaderOnly);
    } catch (const EFileError&) {
        // A damaged header counts as a texture that cannot be read.
        return std::nullopt;
    }
    if (!texture) return std::nullopt;
    return TTextureHeaderInfo{texture->TextureType, texture->HasTransparency()};
}

}  // namespace mc
