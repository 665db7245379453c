// The textures of an export, loaded by name (from the game's archives) and
// decoded exactly; each texture once, however many materials use it.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Export/GltfExport.h"
#include "Texture/Texture.h"

namespace mc {

class TRgbaImage;

// Loads the texture a game path names with the given options
// (TextureLoad); nullptr when it cannot.
using TTextureLoadFunction = std::function<std::unique_ptr<TTexture>(const std::string& gamePath, uint32_t options)>;
// Encodes an RGBA picture as PNG bytes (with its alpha when withAlpha);
// false when it cannot.
using TPngEncodeFunction = std::function<bool(const TRgbaImage& image, bool withAlpha, std::vector<uint8_t>& png)>;

class TLoadedTextureSource : public IGltfTextureSource {
public:
    TLoadedTextureSource(TTextureLoadFunction load, TPngEncodeFunction encode);

    // Level 0 as stored, as RGBA; RGB when every pixel is opaque.
    std::vector<uint8_t> TexturePng(const std::string& gamePath) override;
    // From the header's average colour tag; nothing without one.
    std::optional<uint32_t> AverageColor(const std::string& gamePath) override;

private:
    TTextureLoadFunction load_;
    TPngEncodeFunction encode_;
    std::map<std::string, std::vector<uint8_t>> pictures_;
};

}  // namespace mc
