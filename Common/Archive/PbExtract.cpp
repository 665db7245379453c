#include "Archive/PbExtract.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <system_error>
#include <unordered_set>

#include "Archive/PbFile.h"
#include "Core/AppServices.h"
#include "Core/CFile.h"
#include "Core/FilePaths.h"
#include "Core/SafeSave.h"
#include "Core/Strings.h"

namespace mc {

namespace fs = std::filesystem;

namespace {

bool Refuse(std::string* reason, const char* text)
{
    if (reason) *reason = text;
    return false;
}

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// "..", and the names Windows may turn into it by dropping trailing dots and
// spaces ("...", ".. ", ". .").
bool IsParentComponent(std::string_view part)
{
    return part.find_first_not_of(". ") == std::string_view::npos &&
           std::count(part.begin(), part.end(), '.') >= 2;
}

// The names Windows gives to devices in every folder ("NUL", "con.txt",
// "COM1 .p3d"): writing there would reach the device, not a file. Refused on
// every system, so that an archive extracts the same everywhere.
bool IsDeviceName(std::string_view part)
{
    std::string_view base = part.substr(0, part.find('.'));
    while (!base.empty() && (base.back() == ' ' || base.back() == '.')) base.remove_suffix(1);
    const std::string name = UpperCase(base);
    for (const char* device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"})
        if (name == device) return true;
    if (name.size() < 4 || (name.compare(0, 3, "COM") != 0 && name.compare(0, 3, "LPT") != 0)) return false;
    const std::string_view number = std::string_view(name).substr(3);
    // A digit, or a superscript one, two or three (which Windows also takes).
    return (number.size() == 1 && number[0] >= '0' && number[0] <= '9') || number == "\xC2\xB9" ||
           number == "\xC2\xB2" || number == "\xC2\xB3";
}

// A file created for writing that must not be there yet: one system call
// instead of looking first. Unbuffered: the entry's data comes in large
// blocks.
class TNewFile : public TStream {
public:
    ~TNewFile() override { Close(); }

    // False with errno EEXIST when something of that name is there.
    bool Create(const std::string& path)
    {
        file_ = OpenCFile(path, TCFileMode::CreateExclusive);
        if (file_) std::setvbuf(file_, nullptr, _IONBF, 0);
        return file_ != nullptr;
    }
    bool Close()
    {
        if (!file_) return true;
        const bool ok = std::fclose(file_) == 0;
        file_ = nullptr;
        return ok;
    }

    size_t Read(void*, size_t) override { return 0; }
    size_t Write(const void* buffer, size_t count) override
    {
        const size_t n = file_ ? std::fwrite(buffer, 1, count, file_) : 0;
        size_ += static_cast<int64_t>(n);
        return n;
    }
    int64_t Position() const override { return size_; }
    bool Seek(int64_t position) override { return position == size_; }
    int64_t Size() const override { return size_; }

private:
    std::FILE* file_ = nullptr;
    int64_t size_ = 0;
};

// Writes one entry to target. A new file is written in place and removed
// again when the entry does not extract; an existing one is replaced only by
// a complete new one.
bool WriteEntry(const TPbFile& archive, const TPbFileItem& item, const fs::path& target, std::string& reason)
{
    std::error_code ec;
    const std::string path = PathToUtf8(target);
    TNewFile out;
    if (out.Create(path)) {
        bool ok = item.Extract(archive.Stream.get(), &out, &reason);
        if (!out.Close() && ok) {
            reason = kWriteErrorText;
            ok = false;
        }
        if (!ok) fs::remove(target, ec);
        return ok;
    }
    const int error = errno;
    if (fs::is_directory(target, ec)) {
        reason = "a folder of that name is there";
        return false;
    }
    if (!fs::exists(target, ec)) {
        reason = Format("the file cannot be created (%s)", std::strerror(error));
        return false;
    }
    std::string saveError;
    const bool ok = SaveFileSafely(
        path, [&](TStream& s) { return item.Extract(archive.Stream.get(), &s, &reason); }, &saveError);
    if (!ok && reason.empty()) reason = saveError;
    return ok;
}

}  // namespace

bool SafeEntryPath(std::string_view entryName, fs::path& relative, std::string* reason)
{
    relative.clear();
    if (entryName.empty()) return Refuse(reason, "the name is empty");
    if (entryName.front() == '\\' || entryName.front() == '/') return Refuse(reason, "it starts with a separator");
    if (entryName.size() >= 2 && IsLetter(entryName[0]) && entryName[1] == ':')
        return Refuse(reason, "it starts with a drive letter");
    if (entryName.find(':') != std::string_view::npos) return Refuse(reason, "it holds a colon");
    if (entryName.back() == '\\' || entryName.back() == '/') return Refuse(reason, "it names a folder");
    while (!entryName.empty()) {
        const size_t sep = entryName.find_first_of("\\/");
        const std::string_view part = entryName.substr(0, sep);
        entryName = sep == std::string_view::npos ? std::string_view() : entryName.substr(sep + 1);
        if (part.empty() || part == ".") continue;
        if (IsParentComponent(part)) {
            relative.clear();
            return Refuse(reason, "it has a \"..\" component");
        }
        if (IsDeviceName(part)) {
            relative.clear();
            return Refuse(reason, "it names a device");
        }
        relative /= PathFromUtf8(std::string(part));
    }
    if (relative.empty()) return Refuse(reason, "it names no file");
    return true;
}

TExtractSummary ExtractToFolder(const TPbFile& archive, const std::string& folder,
                                const std::vector<const TPbFileItem*>& items)
{
    std::vector<const TPbFileItem*> list = items;
    if (list.empty()) list.assign(archive.Entries().begin(), archive.Entries().end());

    uint64_t total = 0;
    for (const TPbFileItem* item : list) total += static_cast<uint64_t>(std::max<int64_t>(item->Size(), 0));

    TExtractSummary summary;
    const fs::path root = PathFromUtf8(folder);
    ShowStatus(Format("Extract \"%s.%s\"...", archive.Name.c_str(), archive.Ext.c_str()));
    uint64_t done = 0;
    int shownPercent = -1;
    std::unordered_set<std::string> madeFolders;
    for (const TPbFileItem* item : list) {
        fs::path relative;
        std::string reason;
        if (!SafeEntryPath(item->Name, relative, &reason)) {
            AddLog(Format("Entry \"%s\" refused: %s", item->Name.c_str(), reason.c_str()));
            ++summary.Refused;
            continue;
        }
        const fs::path target = root / relative;
        const fs::path parent = target.parent_path();
        std::error_code ec;
        if (madeFolders.insert(PathToUtf8(parent)).second) {
            fs::create_directories(parent, ec);
            if (ec) {
                AddLog(Format("Cannot extract \"%s\": %s", item->Name.c_str(), ec.message().c_str()));
                ++summary.Failed;
                madeFolders.erase(PathToUtf8(parent));
                continue;
            }
        }
        if (!WriteEntry(archive, *item, target, reason)) {
            AddLog(Format("Cannot extract \"%s\": %s", item->Name.c_str(), reason.c_str()));
            ++summary.Failed;
            continue;
        }
        ++summary.Extracted;
        const uint64_t size = static_cast<uint64_t>(std::max<int64_t>(item->Size(), 0));
        summary.Bytes += size;
        done += size;
        const int percent = total ? static_cast<int>(done * 100 / total) : 100;
        if (percent != shownPercent) {
            ShowProgress(done, total);
            shownPercent = percent;
        }
    }
    HideStatus();
    return summary;
}

}  // namespace mc
