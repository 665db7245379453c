// Pb archives: one archive file with its entries, a folder tree over them,
// reading an entry's data, and writing a new archive.
//
// File layout (little-endian, no alignment): an optional header entry (empty
// name, 20 field bytes, then NUL-terminated texts ended by an empty one), the
// entry headers (name, method, original size, reserved, timestamp, data size),
// a terminator header with an empty name, then the entries' data back to back
// in header order. Archives of the later game put a few bytes after the last
// data block; nothing reads them.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "Core/CustomStringList.h"
#include "Core/Stream.h"

namespace mc {

class TPbFile;

inline constexpr uint32_t kPbMethodStored = 0;
// The bytes 's', 'r', 'p', 'C' in the file.
inline constexpr uint32_t kPbMethodPacked = 0x43707273;
// Timestamps that mean "no time".
inline constexpr uint32_t kPbNoTime = 0xFFFFFFFFu;

// Unix time <-> file time (100 ns units since 1601-01-01 UTC).
int64_t UnixTimeToFileTime(uint32_t unixTime);
uint32_t FileTimeToUnixTime(int64_t fileTime);

class TPbItem {
public:
    TPbItem(TPbFile* owner, std::string name) : Owner(owner), Name(std::move(name)) {}
    virtual ~TPbItem() = default;
    TPbItem(const TPbItem&) = delete;
    TPbItem& operator=(const TPbItem&) = delete;

    virtual bool IsFile() const = 0;
    virtual bool IsDirectory() const = 0;

    // The game path of the item: the archive's Name, a backslash, the item's Name.
    std::string FullName() const;

    TPbFile* Owner;  // not owned
    std::string Name;
};

class TPbFileItem : public TPbItem {
public:
    explicit TPbFileItem(TPbFile* owner, std::string name = {}) : TPbItem(owner, std::move(name)) {}
    ~TPbFileItem() override;

    bool IsFile() const override { return true; }
    bool IsDirectory() const override { return false; }

    bool IsPacked() const { return Method != kPbMethodStored; }
    // The size of the entry's content: the original size when packed.
    int64_t Size() const { return IsPacked() ? OriginalSize : DataSize; }

    // Reads one entry header: the name (slashes become backslashes), then the
    // 20 field bytes. False when the stream ends first.
    bool ReadHeader(TStream& s);
    // The name, its 0 byte and the 20 field bytes.
    void WriteHeader(TStream& s) const;

    // Writes the entry's content to destination. False when either stream is
    // missing, the entry's data is not where its header says, or it does not
    // decode; reason (optional) then tells why. The three format faults
    // (unknown method, data size below 1, negative original size) are also
    // shown in an information box.
    bool Extract(TStream* archive, TStream* destination, std::string* reason = nullptr) const;
    // The same into a byte buffer (replacing its contents).
    bool ExtractToBytes(TStream* archive, std::vector<uint8_t>& bytes, std::string* reason = nullptr) const;

    // "dd/mm/yy hh:nn:ss" in local time; empty when there is no time.
    std::string ModifiedText() const;

    // Writer side: names the entry after fileName (see TPbFile::SetSourcePrefix)
    // and takes its size and last-write time. The file is checked to open and
    // is opened again when the archive is written, so that any number of files
    // can be packed. False when the name is empty or the file cannot be opened.
    bool OpenSource(const std::string& prefix, const std::string& fileName);
    // Sets a stream that supplies the data when the archive is written.
    void SetSource(TStream* source, bool owns);
    void FreeSource();

    // The 20 header bytes, in file order.
    uint32_t Method = kPbMethodStored;
    int32_t OriginalSize = 0;
    uint32_t Reserved = 0;
    uint32_t TimeStamp = 0;
    int32_t DataSize = 0;

    // Where the data starts in the archive (32-bit, as the game computes it).
    uint32_t DataOffset = 0;
    // TimeStamp as a file time; 0 when there is no time.
    int64_t Modified = 0;

    TStream* Source = nullptr;
    bool OwnsSource = false;
    // The file the data comes from when no Source was set.
    std::string SourceFileName;
};

class TPbDirectory : public TPbItem {
public:
    // Name is one folder-name component in lower case, empty for the root.
    explicit TPbDirectory(TPbFile* owner, std::string name = {});
    ~TPbDirectory() override;

    bool IsFile() const override { return false; }
    bool IsDirectory() const override { return true; }

    // The directory reached by following path (folders separated by
    // backslashes, a trailing one allowed), creating missing ones. nullptr
    // when a component names a file (an error box says so).
    TPbDirectory* ForcePath(std::string_view path);
    // Adds a file under its lower-case name; false (with an error box) when
    // that key is already there.
    bool AddFile(TPbFileItem* item);
    void Clear();

    // Sub-folders keyed by their lower-case component, files by their
    // lower-case full name. Directories are owned, file items are not.
    TCustomStringList<TPbItem*> Items;

private:
    std::vector<std::unique_ptr<TPbDirectory>> children_;
};

class TPbFile {
public:
    TPbFile();
    ~TPbFile();
    TPbFile(const TPbFile&) = delete;
    TPbFile& operator=(const TPbFile&) = delete;

    // Opens an archive file and reads its headers. False, without a message,
    // when the file cannot be opened; false when the headers cannot be read
    // or the file is no archive (the reason in LastError).
    // A truncated header entry raises EReadError; two entries of the same
    // name raise the string list's duplicate error.
    bool Open(const std::string& fileName);
    // The same over a stream already open (memory, tests); fileName names it.
    bool OpenStream(std::unique_ptr<TStream> stream, const std::string& fileName);
    bool ReadHeaders();

    // Fills Root once.
    void BuildTree();

    // The entry of that name inside the archive (any case, slashes or
    // backslashes); nullptr when absent.
    TPbFileItem* FindFile(std::string_view entryName) const;
    // The entries in storage order.
    const std::vector<TPbFileItem*>& Entries() const { return entries_; }
    // The size of the archive file when it was opened.
    int64_t ArchiveSize() const { return archiveSize_; }

    // Writer: fills the names; the archive is written through a temporary
    // file beside fileName that replaces it only when complete. False when
    // fileName cannot be created (its folder is missing, it is a folder).
    bool CreateNew(const std::string& fileName);
    // The lower-case folder and a path separator.
    void SetSourcePrefix(const std::string& folder);
    // AddSourceFile for each name in order, stopping at the first failure.
    bool AddSourceFiles(const std::vector<std::string>& fileNames);
    // Adds an entry for a file; shows "Cannot open file "%s"" and returns
    // false when it cannot be opened.
    bool AddSourceFile(const std::string& fileName);
    // Headers in write order, the terminator, then each entry's data.
    // False (reason in LastError) when the archive was not written; also the
    // reason ReadHeaders refused the file.
    bool WriteArchive();
    void DeleteArchiveFile();
    // The items in the order WriteArchive stores them.
    std::vector<TPbFileItem*> WriteOrder() const;
    // Why the last CreateNew or WriteArchive failed.
    const std::string& LastError() const { return lastError_; }

    std::string FileName;      // full path of the archive file
    std::string FilePath;      // its folder with a trailing separator
    std::string Name;          // file name without extension ("\" in front for add-ons)
    std::string Ext;           // extension without its dot
    std::string SourcePrefix;  // writer: lower-case source folder and a separator
    std::unique_ptr<TStream> Stream;
    // Lower-case entry name -> item; owns the items.
    TCustomStringList<std::unique_ptr<TPbFileItem>> Files;
    TPbDirectory Root;

private:
    void SetNames(const std::string& fileName);
    void ResetEntries();

    std::vector<TPbFileItem*> entries_;
    int64_t archiveSize_ = 0;
    std::string lastError_;
};

// Byte order of an entry name used as a Files key: lower case, backslashes.
std::string PbEntryKey(std::string_view entryName);

// The order the writer sorts entries in: case-insensitive, symbols before
// digits before letters, as the desktop's text comparison puts them.
bool PbWriteOrderLess(std::string_view a, std::string_view b);

}  // namespace mc
