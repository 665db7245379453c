// Files read by game path out of a game's archives.
#pragma once

#include <memory>
#include <string>

namespace mc {

class TGameData;
class TStringTable;

// A string table by its game path; nullptr when absent or unreadable.
std::unique_ptr<TStringTable> LoadStringTableFromArchive(const TGameData& game, const std::string& gamePath);

}  // namespace mc
