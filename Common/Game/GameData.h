// The game's data that models, textures and windows are read against: the
// opened archives, the configuration and the string table of one game
// folder (and MOD folder). The program opens one at start-up; the command
// line and the tests build their own, so several can exist side by side.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "Archive/PbList.h"

namespace mc {

class TResources;
class TStringTable;

// A MOD folder as chosen: empty, or a backslash and a folder name (one
// leading backslash added, trailing backslashes removed).
std::string NormalizeModFolder(std::string_view text);

class TGameData {
public:
    TGameData();
    ~TGameData();
    TGameData(const TGameData&) = delete;
    TGameData& operator=(const TGameData&) = delete;

    // The game's folder (possibly empty) and the MOD folder text.
    std::string GameFolder;
    std::string ModFolder;

    TPbList PbList;
    // Absent when it did not load.
    std::unique_ptr<TResources> GameConfig;
    std::unique_ptr<TStringTable> GameStringTable;

    void SetModFolder(std::string_view text) { ModFolder = NormalizeModFolder(text); }
    // The game folder followed by the MOD folder, backslash-separated.
    std::string DataRoot() const { return GameFolder + ModFolder; }
    // A path below the data root (tail starts with a backslash), for this
    // machine's file system.
    std::string DataPath(std::string_view tail) const;

    // Closes the archives and frees the configuration and the string table.
    void Close();
};

// The loads of the program's start, in this order: the string table from
// Bin\stringtable.csv, the configuration from Bin\config.bin if present,
// else Bin\config.cpp, and the archives of Dta and AddOns. Each failure is
// reported to the user through the application services; the loads after
// it still run.
void OpenGameData(TGameData& game);

}  // namespace mc
