// What the archive manager shows for a file of an archive: the type text and
// the icon of its extension, and the icons of the tree.
#pragma once

#include <string>
#include <string_view>

namespace mc {

// Icons of the archive manager's image list.
enum TPbIcon : int {
    PbIconGameFolder = 0,      // a game archive or one of its folders
    PbIconGameFolderOpen = 1,  // the same, selected
    PbIconAddOnFolder = 2,     // an add-on archive or one of its folders
    PbIconAddOnFolderOpen = 3,
    PbIconConfig = 4,
    PbIconFont = 6,
    PbIconHtml = 7,
    PbIconScript = 8,
    PbIconSound = 9,
    PbIconTexture = 10,
    PbIconModel = 13,
    PbIconFile = 14,
    PbIconCount = 15,
};

struct TPbFileType {
    std::string Text;
    int Icon = PbIconFile;
};

// By the lower-case extension of the name: "Texture", "Font file",
// "HTML Document", "Mission script", "Sound file", "Configuration file",
// "3D Model", else "%s File" with the extension in upper case, or "File".
TPbFileType PbFileType(std::string_view name);

// The preview page a file opens on.
enum TPbPreviewKind : int {
    PbPreviewNone = 0,
    PbPreviewTexture = 1,
    PbPreviewHtml = 2,
    PbPreviewSound = 3,
    PbPreviewScript = 4,
    PbPreviewStringTable = 5,
};

// ".pac", ".paa", ".jpeg", ".jpg": texture; ".html": HTML; ".sqs": script;
// the name "stringtable.csv" (any case): string table; ".wav", ".wss": sound.
TPbPreviewKind PbPreviewKind(std::string_view fileName);

// The part of an entry name after its last backslash.
std::string_view PbFileNamePart(std::string_view name);

// The game path PickModel returns for a row's full name: a model (".p3d",
// exactly so) of an add-on archive loses its leading backslash; anything
// else is returned unchanged.
std::string PickedGamePath(const std::string& fullName);

}  // namespace mc
