#include "Archive/PbFile.h"

#include <algorithm>
#include <stdexcept>
#include <utility>
#include <vector>

#include "Archive/ArchiveFileStream.h"
#include "Archive/ReadAheadStream.h"
#include "Core/AppServices.h"
#include "Core/StreamIO.h"
#include "Core/Strings.h"

namespace mc {

namespace {

// The bytes of a header entry's fields after the texts' first 0 byte:
// ReadZString stops inside the original-size field.
constexpr int64_t kHeaderEntryFieldRest = 15;

}  // namespace

std::string PbEntryKey(std::string_view entryName)
{
    std::string key = LowerCase(entryName);
    std::replace(key.begin(), key.end(), '/', '\\');
    return key;
}

TPbFile::TPbFile() : Root(this)
{
    Files.SetSorted(true);
    Files.SetDuplicates(TDuplicates::Error);
}

TPbFile::~TPbFile() = default;

void TPbFile::SetNames(const std::string& fileName)
{
    FileName = fileName;
    const size_t sep = fileName.find_last_of("\\/");
    FilePath = sep == std::string::npos ? std::string() : fileName.substr(0, sep + 1);
    Name = NameWithoutExt(fileName);
    const std::string ext = LowerExt(fileName);
    Ext = ext.empty() ? std::string() : fileName.substr(fileName.size() - ext.size() + 1);
}

void TPbFile::ResetEntries()
{
    Root.Clear();
    entries_.clear();
    Files.Clear();
    Files.SetSorted(true);
}

bool TPbFile::Open(const std::string& fileName)
{
    auto stream = std::make_unique<TArchiveFileStream>();
    if (!stream->Open(fileName)) {
        SetNames(fileName);
        return false;
    }
    return OpenStream(std::move(stream), fileName);
}

bool TPbFile::OpenStream(std::unique_ptr<TStream> stream, const std::string& fileName)
{
    SetNames(fileName);
    Stream = std::move(stream);
    archiveSize_ = Stream ? Stream->Size() : 0;
    ResetEntries();
    return Stream && ReadHeaders();
}

namespace {

bool IsEntryNameText(const std::string& name)
{
    return std::all_of(name.begin(), name.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x20; });
}

}  // namespace

bool TPbFile::ReadHeaders()
{
    lastError_.clear();
    ShowStatus(Format("Open \"%s.%s\"...", Name.c_str(), Ext.c_str()));
    ResetEntries();
    archiveSize_ = Stream->Size();
    TReadAheadStream s(*Stream);

    const int64_t start = s.Position();
    if (ReadByte(s) != 0) {
        s.Seek(start);
    } else {
        ReadZString(s);
        SkipBytes(s, kHeaderEntryFieldRest);
        while (!ReadZString(s).empty()) {
        }
    }

    // Entries are collected in storage order and put in key order once: most
    // archives are written in that order already, and none costs a
    // quadratic insert.
    std::vector<std::pair<std::string, std::unique_ptr<TPbFileItem>>> read;
    for (;;) {
        auto item = std::make_unique<TPbFileItem>(this);
        s.Prefetch(1024);
        if (!item->ReadHeader(s)) {
            ResetEntries();
            HideStatus();
            lastError_ = Format("\"%s\": the entry headers run past the end of the file", FileName.c_str());
            return false;
        }
        // An archive starts with its header entry or with an entry named in
        // text; anything else (a model, a texture, a config) is another file.
        if (read.empty() && !item->Name.empty() && !IsEntryNameText(item->Name)) {
            ResetEntries();
            HideStatus();
            lastError_ = Format("\"%s\" is not a Pb archive", FileName.c_str());
            return false;
        }
        if (item->Name.empty()) break;
        entries_.push_back(item.get());
        std::string key = LowerCase(item->Name);
        read.emplace_back(std::move(key), std::move(item));
    }
    const auto keyLess = [](const auto& a, const auto& b) { return a.first < b.first; };
    if (!std::is_sorted(read.begin(), read.end(), keyLess)) std::sort(read.begin(), read.end(), keyLess);
    for (size_t i = 1; i < read.size(); ++i)
        if (read[i].first == read[i - 1].first) {
            ResetEntries();
            throw std::invalid_argument("String list does not allow duplicates");
        }
    for (auto& [key, item] : read) Files.Add(std::move(key), std::move(item));

    // The data follows the terminator in header order. The sum runs in 32
    // bits, as the game adds the sizes up.
    uint32_t offset = static_cast<uint32_t>(s.Position());
    for (TPbFileItem* item : entries_) {
        item->DataOffset = offset;
        offset += static_cast<uint32_t>(item->DataSize);
    }
    HideStatus();
    return true;
}

void TPbFile::BuildTree()
{
    if (Root.Items.Count() > 0) return;
    // Files come in key order, so neighbours mostly share their folder.
    std::string lastFolder;
    TPbDirectory* lastDir = nullptr;
    for (int i = 0; i < Files.Count(); ++i) {
        TPbFileItem* item = Files.Object(i).get();
        const size_t sep = item->Name.rfind('\\');
        const std::string_view folder =
            sep == std::string::npos ? std::string_view() : std::string_view(item->Name).substr(0, sep + 1);
        TPbDirectory* dir = lastDir;
        if (!dir || !SameText(folder, lastFolder)) {
            dir = Root.ForcePath(folder);
            lastFolder.assign(folder);
            lastDir = dir;
        }
        if (dir) dir->AddFile(item);
    }
}

TPbFileItem* TPbFile::FindFile(std::string_view entryName) const
{
    int index;
    if (!Files.Find(PbEntryKey(entryName), index)) return nullptr;
    return Files.Object(index).get();
}

}  // namespace mc

