// Loading models out of the game archives.
#pragma once

#include <memory>
#include <string>

namespace mc {

class TModel;
class TPbFile;

// The model of an entry of one archive (entryPath is a game path; only its
// entry part is used). nullptr when the archive has no such entry or the
// model does not load (the loader logs why).
std::unique_ptr<TModel> LoadModelFromArchive(const TPbFile& archive, const std::string& entryPath);

// The model a game path names, through the program's archive list. nullptr
// when there is no list, when the path is in no archive (logged as
// "Model file "%s" not found.") or when the model does not load.
std::unique_ptr<TModel> LoadModelFromArchives(const std::string& gamePath);

}  // namespace mc
