#include "Texture/TextureLoader.h"

#include "Game/GameData.h"
#include "Core/Strings.h"

namespace mc {

bool IsTextureFileName(const std::string& name)
{
    const std::string ext = LowerExt(name);
    return ext == ".pac" || ext == ".paa" || ext == ".jpg" || ext == ".jpeg";
}

std::unique_ptr<TTexture> LoadTextureFromStream(TStream& stream, uint32_t options)
{
    auto texture = std::make_unique<TTexture>();
    if (!texture->Load(stream, options)) return nullptr;
    return texture;
}

std::unique_ptr<TTexture> LoadTexture(const TGameData& game, const std::string& name, uint32_t options)
{
    if (!IsTextureFileName(name)) return nullptr;
    std::unique_ptr<TMemoryStream> stream = game.PbList.Extract(name);
    if (!stream) return nullptr;
    return LoadTextureFromStream(*stream, options);
}

}  // namespace mc
