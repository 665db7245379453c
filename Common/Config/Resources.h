// A config document: the class tree, its enumeration table, and loading
// and saving in the text and the binarized form.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "Config/ConfigClass.h"
#include "Config/ConfigData.h"

namespace mc {

class TStream;

enum : int { kConfigBinary = 1, kConfigText = 2 };

class TResources {
public:
    TResources();
    ~TResources();
    TResources(const TResources&) = delete;
    TResources& operator=(const TResources&) = delete;

    std::unique_ptr<TRClass> RootClass;

    struct TEnumEntry {
        std::string Name;
        std::unique_ptr<TRInteger> Value;
    };
    std::vector<TEnumEntry> EnumTable;

    int FileKind = 0;      // kConfigBinary or kConfigText: the form last loaded or saved
    uint32_t Version = 0;  // 2 after a text load, as read after a binarized load
    std::string FileName;
    bool HasError = false;
    std::string ErrorMessage;
    bool IncludeFiles = false;  // true while LoadFromFile runs
    bool IsModified = false;
    int IndentLevel = 0;
    // Folders searched for #include files after the including file's own.
    std::vector<std::string> IncludeFolders;

    // Reads a file in the form its extension names (".bin"/".fps"
    // binarized, ".cpp", ".cfg", ".ext", ".sqc", ".txt", ".i", ".inc" text,
    // others binarized with a fall-back to text for ".sqm").
    bool LoadFromFile(const std::string& fileName);
    bool LoadText(const std::string& fileName, TStream& stream);
    bool LoadBinary(const std::string& fileName, TStream& stream);

    // kind kConfigBinary writes the binarized form, any other text. The file
    // is replaced only when everything was written.
    bool SaveToFile(const std::string& fileName, int kind);
    // False (with ErrorMessage) when the tree does not fit the form.
    bool WriteBinary(TStream& stream);
    void WriteText(TStream& stream);
    void AppendText(std::string& out);

    // Enumeration table: position of a name (any case), or -1.
    int FindEnum(std::string_view name) const;
    // False when the name is there already.
    bool AddEnum(std::string name, int32_t value);
    void ClearEnums();
    void ResolveEnums();

    // Records the first error of a load or save.
    void SetError(std::string message);
    void ClearError();

private:
    struct TNameHash {
        using is_transparent = void;
        size_t operator()(std::string_view s) const { return std::hash<std::string_view>()(s); }
    };
    std::unordered_map<std::string, int, TNameHash, std::equal_to<>> enumIndex_;
};

// The file name part of a path: after the last "\", "/" or ":".
std::string ConfigRootName(std::string_view fileName);

}  // namespace mc
