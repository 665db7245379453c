// Textures by name: the game path of a texture file inside the opened game
// archives.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "Texture/Texture.h"

namespace mc {

class TGameData;
class TStream;

// True for the extensions of texture files: ".pac", ".paa", ".jpg", ".jpeg"
// (any case).
bool IsTextureFileName(const std::string& name);

// Loads a texture from the stream's position; nullptr when the load returns
// false. A stream that ends inside the header raises EReadError.
std::unique_ptr<TTexture> LoadTextureFromStream(TStream& stream, uint32_t options);

// The texture a game path names, read from the game's archives with the
// given options (TextureLoad). nullptr when the name is not a texture file
// name, when no open archive holds it or when it does not load.
std::unique_ptr<TTexture> LoadTexture(const TGameData& game, const std::string& name, uint32_t options);

}  // namespace mc
