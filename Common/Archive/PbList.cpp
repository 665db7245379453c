#include "Archive/PbList.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "Archive/NativePath.h"
#include "Core/FilePaths.h"
#include "Core/FindFiles.h"
#include "Core/Strings.h"

namespace mc {

namespace fs = std::filesystem;

bool SplitGamePath(std::string_view gamePath, std::string& archivePart, std::string& remainder)
{
    const size_t n = gamePath.size();
    if (n < 3) return false;
    size_t p = gamePath.find('\\');  // 0-based
    if (p == std::string_view::npos) return false;
    if (p == 0) {
        const size_t q = gamePath.substr(0, n - 1).find('\\', 1);
        if (q == std::string_view::npos || q == 1) return false;
        p = q;
    } else if (p == n - 1) {
        return false;
    }
    archivePart = LowerCase(gamePath.substr(0, p));
    remainder = LowerCase(gamePath.substr(p + 1));
    return true;
}

std::string PbArchiveKey(std::string_view fileName, bool isAddOn)
{
    const std::string key = LowerCase(NameWithoutExt(fileName));
    return isAddOn ? "\\" + key : key;
}

TPbList::TPbList()
{
    archives_.SetSorted(true);
    archives_.SetDuplicates(TDuplicates::Error);
}

TPbList::~TPbList() = default;

bool TPbList::OpenGameArchives(const std::string& dataRoot)
{
    CloseAll();
    OpenFolder(dataRoot + "\\Dta", false);
    OpenFolder(dataRoot + "\\AddOns", true);
    return Count() > 0;
}

void TPbList::OpenFolder(const std::string& folder, bool isAddOn)
{
    std::vector<std::string> files;
    FindFiles(NativePath(folder), "*.pb?", files, false);
    for (const std::string& file : files) AddArchive(file, isAddOn);
}

void TPbList::AddArchive(const std::string& fileName, bool isAddOn)
{
    const std::string plainKey = PbArchiveKey(fileName, false);
    if (ArchiveByKey(plainKey)) return;
    const std::string key = isAddOn ? "\\" + plainKey : plainKey;
    if (isAddOn && ArchiveByKey(key)) return;
    auto archive = std::make_unique<TPbFile>();
    if (!archive->Open(fileName)) return;
    if (isAddOn) archive->Name = "\\" + archive->Name;
    archives_.Add(key, std::move(archive));
}

TPbFile* TPbList::ArchiveByKey(std::string_view key) const
{
    int index;
    return archives_.Find(key, index) ? archives_.Object(index).get() : nullptr;
}

TPbFile* TPbList::FindArchive(const std::string& fileName) const
{
    for (const auto& entry : archives_.Items())
        if (SameText(entry.Object->FileName, fileName)) return entry.Object.get();
    return nullptr;
}

std::unique_ptr<TPbFile> TPbList::RemoveArchive(const std::string& fileName)
{
    for (int i = 0; i < archives_.Count(); ++i) {
        if (!SameText(archives_.Object(i)->FileName, fileName)) continue;
        std::unique_ptr<TPbFile> archive = std::move(archives_.Object(i));
        archives_.Delete(i);
        return archive;
    }
    return nullptr;
}

void TPbList::CloseAll() { archives_.Clear(); }

TPbFile* TPbList::ArchiveFor(std::string_view gamePath) const
{
    std::string archivePart, remainder;
    if (!SplitGamePath(gamePath, archivePart, remainder) || archivePart.empty()) return nullptr;
    if (TPbFile* archive = ArchiveByKey(archivePart)) return archive;
    if (archivePart[0] != '\\') return ArchiveByKey("\\" + archivePart);
    return nullptr;
}

std::unique_ptr<TMemoryStream> TPbList::Extract(std::string_view gamePath) const
{
    const TPbFile* archive = ArchiveFor(gamePath);
    return archive ? ExtractFrom(*archive, gamePath) : nullptr;
}

std::unique_ptr<TMemoryStream> TPbList::ExtractFrom(const TPbFile& archive, std::string_view gamePath)
{
    std::string archivePart, remainder;
    if (!SplitGamePath(gamePath, archivePart, remainder) || remainder.empty()) return nullptr;
    int index;
    if (!archive.Files.Find(remainder, index)) return nullptr;
    const TPbFileItem& item = *archive.Files.Object(index);
    std::vector<uint8_t> bytes;
    if (!item.ExtractToBytes(archive.Stream.get(), bytes)) return nullptr;
    return std::make_unique<TMemoryStream>(std::move(bytes));
}

}  // namespace mc
