#include "Config/StringTable.h"
#include "Game/GameData.h"
#include "Game/GameLookups.h"

namespace mc {

std::unique_ptr<TStringTable> LoadStringTableFromArchive(const TGameData& game, const std::string& gamePath)
{
    const std::unique_ptr<TMemoryStream> stream = game.PbList.Extract(gamePath);
    if (!stream) return nullptr;
    return LoadStringTable(gamePath, *stream);
}

}  // namespace mc
