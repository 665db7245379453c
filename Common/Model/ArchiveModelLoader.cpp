#include "Model/ArchiveModelLoader.h"

#include "Core/AppServices.h"
#include "Core/Strings.h"
#include "Game/GameData.h"
#include "Model/Model.h"
#include "Model/ModelLoader.h"
#include "Texture/TextureHeaderLookup.h"

namespace mc {

std::unique_ptr<TModel> LoadModelFromArchive(const TGameData& game, const TPbFile& archive,
                                             const std::string& entryPath)
{
    const std::unique_ptr<TMemoryStream> stream = TPbList::ExtractFrom(archive, entryPath);
    if (!stream) return nullptr;
    TTextureHeaderLookup headers(game);
    return ReadModel(*stream, entryPath, &headers).Release();
}

TLoadResult<TModel> ReadModelFromArchives(const TGameData& game, const std::string& gamePath)
{
    const std::unique_ptr<TMemoryStream> stream = game.PbList.Extract(gamePath);
    if (!stream) {
        const std::string line = Format("Model file \"%s\" not found.", gamePath.c_str());
        AddLog(line);
        return TLoadResult<TModel>::Refused(line);
    }
    TTextureHeaderLookup headers(game);
    return ReadModel(*stream, gamePath, &headers);
}

std::unique_ptr<TModel> LoadModelFromArchives(const TGameData& game, const std::string& gamePath)
{
    return ReadModelFromArchives(game, gamePath).Release();
}

}  // namespace mc
