#include "Export/GltfTextureSource.h"

#include "Core/Strings.h"
#include "Texture/Texture.h"
#include "Texture/TextureLoadOptions.h"
#include "Texture/TextureRgba.h"

namespace mc {

TLoadedTextureSource::TLoadedTextureSource(TTextureLoadFunction load, TPngEncodeFunction encode)
    : load_(std::move(load)), encode_(std::move(encode))
{
}

std::vector<uint8_t> TLoadedTextureSource::TexturePng(const std::string& gamePath)
{
    const std::string key = LowerCase(gamePath);
    if (auto it = pictures_.find(key); it != pictures_.end()) return it->second;
    std::vector<uint8_t>& png = pictures_[key];
    if (!load_ || !encode_) return png;
    std::unique_ptr<TTexture> texture = load_(gamePath, TextureLoad::AsStored | TextureLoad::FirstLevelOnly);
    TRgbaImage image;
    if (!texture || !texture->Level(0) || !DecodeLevelToRgba(*texture, *texture->Level(0), image)) return png;
    if (!encode_(image, !image.Opaque(), png)) png.clear();
    return png;
}

std::optional<uint32_t> TLoadedTextureSource::AverageColor(const std::string& gamePath)
{
    if (!load_) return std::nullopt;
    std::unique_ptr<TTexture> texture = load_(gamePath, TextureLoad::HeaderOnly);
    // A file without the tag reads as 0xFFFFFFFF, which says nothing.
    if (!texture || texture->AverageColor == 0xFFFFFFFF) return std::nullopt;
    return texture->AverageColor;
}

}  // namespace mc
