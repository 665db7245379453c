#include "PbFileTypes.h"

#include "Core/Strings.h"

namespace mc {

std::string_view PbFileNamePart(std::string_view name)
{
    const size_t slash = name.find_last_of('\\');
    return slash == std::string_view::npos ? name : name.substr(slash + 1);
}

TPbFileType PbFileType(std::string_view name)
{
    const std::string ext = LowerExt(PbFileNamePart(name));
    const auto any = [&](std::initializer_list<const char*> list) {
        for (const char* e : list)
            if (ext == e) return true;
        return false;
    };
    if (any({".paa", ".pac", ".jpg", ".jpeg"})) return {"Texture", PbIconTexture};
    if (ext == ".fxy") return {"Font file", PbIconFont};
    if (ext == ".html") return {"HTML Document", PbIconHtml};
    if (ext == ".sqs") return {"Mission script", PbIconScript};
    if (any({".wav", ".wss", ".ogg", ".sfk"})) return {"Sound file", PbIconSound};
    if (any({".bin", ".cpp", ".cfg", ".ext", ".sqm", ".sqc", ".fps", ".txt", ".i", ".inc"}))
        return {"Configuration file", PbIconConfig};
    if (ext == ".p3d") return {"3D Model", PbIconModel};
    if (ext.size() <= 1) return {"File", PbIconFile};
    return {UpperCase(ext.substr(1)) + " File", PbIconFile};
}

TPbPreviewKind PbPreviewKind(std::string_view fileName)
{
    const std::string_view name = PbFileNamePart(fileName);
    if (SameText(name, "stringtable.csv")) return PbPreviewStringTable;
    const std::string ext = LowerExt(name);
    if (ext == ".pac" || ext == ".paa" || ext == ".jpeg" || ext == ".jpg") return PbPreviewTexture;
    if (ext == ".html") return PbPreviewHtml;
    if (ext == ".sqs") return PbPreviewScript;
    if (ext == ".wav" || ext == ".wss") return PbPreviewSound;
    return PbPreviewNone;
}

std::string PickedGamePath(const std::string& fullName)
{
    const bool model = fullName.size() >= 4 && fullName.compare(fullName.size() - 4, 4, ".p3d") == 0;
    if (model && StartsWithBackslash(fullName)) return fullName.substr(1);
    return fullName;
}

}  // namespace mc
