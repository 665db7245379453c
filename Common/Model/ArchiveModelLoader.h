// Loading models out of a game's archives.
#pragma once

#include <memory>
#include <string>

#include "Core/LoadResult.h"

namespace mc {

class TGameData;
class TModel;
class TPbFile;

// The model of an entry of one archive of the game (entryPath is a game
// path; only its entry part is used). nullptr when the archive has no such
// entry or the model does not load (the loader logs why). Editable models
// look their textures up in the game's archives.
std::unique_ptr<TModel> LoadModelFromArchive(const TGameData& game, const TPbFile& archive,
                                             const std::string& entryPath);

// The model a game path names in the game's archives. Refused when the path
// is in no archive (logged as "Model file "%s" not found.") or when the model
// does not load.
TLoadResult<TModel> ReadModelFromArchives(const TGameData& game, const std::string& gamePath);
std::unique_ptr<TModel> LoadModelFromArchives(const TGameData& game, const std::string& gamePath);

}  // namespace mc
