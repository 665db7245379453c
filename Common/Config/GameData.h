// The game's configuration and string table, loaded at start-up and kept
// for the whole run.
#pragma once

#include <memory>

namespace mc {

class TResources;
class TStringTable;

// nullptr until set.
TResources* GameConfig();
void SetGameConfig(std::unique_ptr<TResources> config);

TStringTable* GameStringTable();
void SetGameStringTable(std::unique_ptr<TStringTable> table);

}  // namespace mc
