// Pieces several command groups share: JSON output, opening a folder of
// archives, loading a model with the reason on stderr.
#pragma once

#include <memory>
#include <nlohmann/json.hpp>
#include <string>

namespace mc {
class TGameData;
class TModel;
class TPbList;
}  // namespace mc

namespace mc::cli {

// Writes the JSON to standard output, indented by one space; 8-bit texts
// that are not UTF-8 are replaced.
void PrintJson(const nlohmann::ordered_json& j);

// Opens the archives of a folder into the list: a game folder (with Dta or
// AddOns) as the program does, any other folder's own *.pbo files. False,
// with the reason on stderr, when the folder is missing or holds none.
bool OpenArchiveFolder(TPbList& list, const std::string& folder);

struct TArgs;

// The game data of the command: with --archives DIR, the archives of that
// folder (see OpenArchiveFolder; nullptr with the reason on stderr when
// there are none), without it an empty one.
std::unique_ptr<TGameData> GameDataFromArgs(const TArgs& args);

// Loads a model from a file; none (the reason on stderr, once) when it
// cannot be read or is refused. An editable model's textures are looked up
// in the game's archives when it has any.
std::unique_ptr<TModel> LoadModelOrReport(const std::string& path, const TGameData* game = nullptr);

}  // namespace mc::cli
