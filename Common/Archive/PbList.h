// The archives of the game and its add-ons, and the lookup of game paths
// such as data3d\tank.p3d (archive data3d, entry tank.p3d) or
// \myaddon\x.p3d (entry x.p3d of the add-on archive myaddon).
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "Archive/PbFile.h"
#include "Core/CustomStringList.h"
#include "Core/Stream.h"

namespace mc {

// Splits a game path into its archive part (with a leading backslash for an
// add-on archive) and the entry name, both in lower case. False when the path
// names no archive entry (shorter than three characters, no backslash, a
// backslash only at its end, or "\name" without a second backslash).
bool SplitGamePath(std::string_view gamePath, std::string& archivePart, std::string& remainder);

// The key of an archive file: its name without folder and extension in lower
// case, with a backslash in front for an add-on archive.
std::string PbArchiveKey(std::string_view fileName, bool isAddOn);

class TPbList {
public:
    TPbList();
    ~TPbList();
    TPbList(const TPbList&) = delete;
    TPbList& operator=(const TPbList&) = delete;

    // Closes every archive, then opens dataRoot + "\Dta" as game archives and
    // dataRoot + "\AddOns" as add-on archives (dataRoot: the game folder and
    // the MOD folder). True when at least one archive is open. Errors of
    // reading an archive's headers propagate and stop the opening.
    bool OpenGameArchives(const std::string& dataRoot);
    // AddArchive for every file of folder matching "*.pb?".
    void OpenFolder(const std::string& folder, bool isAddOn);
    // Opens an archive unless one of that key is listed (an add-on archive is
    // also not opened when a game archive of the same name is). A file that
    // cannot be opened is skipped silently.
    void AddArchive(const std::string& fileName, bool isAddOn);

    // The first archive, in key order, whose FileName equals fileName ignoring case.
    TPbFile* FindArchive(const std::string& fileName) const;
    bool IsArchiveOpen(const std::string& fileName) const { return FindArchive(fileName) != nullptr; }
    // Takes the archive out of the list and hands it to the caller.
    std::unique_ptr<TPbFile> RemoveArchive(const std::string& fileName);
    void CloseAll();

    int Count() const { return archives_.Count(); }
    TPbFile* Archive(int index) const { return archives_.Object(index).get(); }
    const std::string& Key(int index) const { return archives_.Key(index); }
    // The archive listed under a key; nullptr when none is.
    TPbFile* ArchiveByKey(std::string_view key) const;

    // The archive a game path names: its archive part as listed, or else the
    // add-on archive of that name. nullptr when none is open.
    TPbFile* ArchiveFor(std::string_view gamePath) const;
    bool HasArchiveFor(std::string_view gamePath) const { return ArchiveFor(gamePath) != nullptr; }

    // The content of the entry a game path names, in a new stream positioned
    // at 0; nullptr when the path is in no open archive or does not extract.
    std::unique_ptr<TMemoryStream> Extract(std::string_view gamePath) const;
    // The same from a given archive: only the entry part of the path is used.
    static std::unique_ptr<TMemoryStream> ExtractFrom(const TPbFile& archive, std::string_view gamePath);

private:
    TCustomStringList<std::unique_ptr<TPbFile>> archives_;
};

}  // namespace mc
