// "Make AddOn": packs every file of a folder into a new archive, usually in
// the game's AddOns folder, and lists it with the open archives.
#pragma once

#include <string>
#include <string_view>

namespace mc {

class TPbList;

struct TAddOnOptions {
    std::string SourceFolder;  // trimmed, no trailing backslash
    std::string DestFile;      // the archive to write
    bool Recursive = true;     // include sub-folders
    bool AddToPbManager = true;
};

// The archive path for an add-on name: dataRoot (the game folder and the MOD
// folder) + "\AddOns\" + the trimmed name + ".pbo"; empty when the name is
// empty.
std::string AddOnDestFile(const std::string& dataRoot, std::string_view addOnName);
// A source folder as typed: spaces trimmed, one trailing backslash removed.
std::string AddOnSourceFolder(std::string_view text);

// Runs the whole operation with the busy cursor: an empty folder gets a
// warning box, a failure an error box ("Cannot create file ..."), success
// "OK Created". An archive already open under DestFile is closed for the
// time of writing and opened again as the kind it was; a new one is added
// (as a game archive) when AddToPbManager is set. The archive that was there
// before is replaced only by a complete new one. True when it was written.
bool MakeAddOn(const TAddOnOptions& options, TPbList* list);

}  // namespace mc
