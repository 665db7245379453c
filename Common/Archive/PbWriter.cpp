#include <algorithm>
#include <chrono>
#include <filesystem>
#include <memory>
#include <system_error>

#include "Archive/PbFile.h"
#include "Core/AppServices.h"
#include "Core/FilePaths.h"
#include "Core/FindFiles.h"
#include "Core/SafeSave.h"
#include "Core/StreamIO.h"
#include "Core/Strings.h"

namespace mc {

namespace fs = std::filesystem;

namespace {

constexpr size_t kCopyChunk = 1 << 20;

// Symbols, then digits, then letters, then the bytes above ASCII.
int OrderWeight(unsigned char c)
{
    if (c >= 'A' && c <= 'Z') c = static_cast<unsigned char>(c + 32);
    if (c >= 'a' && c <= 'z') return 0x200 + (c - 'a');
    if (c >= '0' && c <= '9') return 0x100 + (c - '0');
    return c < 0x80 ? c : 0x300 + c;
}

uint32_t LastWriteUnixTime(const fs::path& path)
{
    std::error_code ec;
    const auto written = fs::last_write_time(path, ec);
    if (ec) return kPbNoTime;
    const auto seconds =
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::file_clock::to_sys(written).time_since_epoch())
            .count();
    if (seconds <= 0 || seconds >= static_cast<long long>(kPbNoTime)) return kPbNoTime;
    return static_cast<uint32_t>(seconds);
}

}  // namespace

bool PbWriteOrderLess(std::string_view a, std::string_view b)
{
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        const int wa = OrderWeight(static_cast<unsigned char>(a[i]));
        const int wb = OrderWeight(static_cast<unsigned char>(b[i]));
        if (wa != wb) return wa < wb;
    }
    return a.size() < b.size();
}

bool TPbFileItem::OpenSource(const std::string& prefix, const std::string& fileName)
{
    const std::string lower = LowerCase(fileName);
    if (!prefix.empty() && lower.compare(0, prefix.size(), prefix) == 0) {
        Name = fileName.substr(prefix.size());
    } else {
        const size_t sep = fileName.find_last_of("\\/");
        Name = sep == std::string::npos ? fileName : fileName.substr(sep + 1);
    }
    std::replace(Name.begin(), Name.end(), '/', '\\');
    if (Name.empty()) return false;

    TFileStream probe;
    if (!probe.Open(fileName, TFileStream::Mode::Read)) return false;
    const int64_t size = probe.Size();
    probe.Close();
    if (size < 0 || size > INT32_MAX) return false;

    FreeSource();
    SourceFileName = fileName;
    TimeStamp = LastWriteUnixTime(PathFromUtf8(fileName));
    Modified = TimeStamp == kPbNoTime ? 0 : UnixTimeToFileTime(TimeStamp);
    DataSize = static_cast<int32_t>(size);
    Method = kPbMethodStored;
    OriginalSize = 0;
    Reserved = 0;
    return true;
}

bool TPbFile::CreateNew(const std::string& fileName)
{
    SetNames(fileName);
    Stream.reset();
    archiveSize_ = 0;
    ResetEntries();
    lastError_.clear();
    const fs::path target = PathFromUtf8(fileName);
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    std::error_code ec;
    if (!fs::is_directory(folder, ec)) {
        lastError_ = Format("The folder \"%s\" does not exist.", PathToUtf8(folder).c_str());
        return false;
    }
    if (fs::is_directory(target, ec)) {
        lastError_ = "A folder of that name is there.";
        return false;
    }
    return true;
}

void TPbFile::SetSourcePrefix(const std::string& folder)
{
    SourcePrefix = LowerCase(folder);
    if (SourcePrefix.empty() || (SourcePrefix.back() != '\\' && SourcePrefix.back() != '/'))
        SourcePrefix += kPathSeparator;
}

bool TPbFile::AddSourceFiles(const std::vector<std::string>& fileNames)
{
    for (const std::string& name : fileNames)
        if (!AddSourceFile(name)) return false;
    return true;
}

bool TPbFile::AddSourceFile(const std::string& fileName)
{
    auto item = std::make_unique<TPbFileItem>(this);
    if (!item->OpenSource(SourcePrefix, fileName)) {
        ShowMessage(TMessageKind::Error, Format("Cannot open file \"%s\"", fileName.c_str()));
        return false;
    }
    std::string key = LowerCase(item->Name);
    int index;
    if (Files.Find(key, index)) {
        // Names that differ only in case cannot both be in one archive.
        ShowMessage(TMessageKind::Error, Format("File \"%s\" already exists!", item->Name.c_str()));
        return false;
    }
    Files.Add(std::move(key), std::move(item));
    return true;
}

std::vector<TPbFileItem*> TPbFile::WriteOrder() const
{
    std::vector<const TCustomStringList<std::unique_ptr<TPbFileItem>>::Entry*> entries;
    entries.reserve(Files.Items().size());
    for (const auto& e : Files.Items()) entries.push_back(&e);
    std::stable_sort(entries.begin(), entries.end(),
                     [](const auto* a, const auto* b) { return PbWriteOrderLess(a->Key, b->Key); });
    std::vector<TPbFileItem*> order;
    order.reserve(entries.size());
    for (const auto* e : entries) order.push_back(e->Object.get());
    return order;
}

bool TPbFile::WriteArchive()
{
    lastError_.clear();
    const std::vector<TPbFileItem*> order = WriteOrder();
    uint64_t total = 0;
    for (const TPbFileItem* item : order) total += static_cast<uint64_t>(std::max(item->DataSize, 0));

    ShowStatus(Format("Write \"%s.%s\"...", Name.c_str(), Ext.c_str()));
    std::string copyError;
    const auto write = [&](TStream& out) {
        for (const TPbFileItem* item : order) item->WriteHeader(out);
        TPbFileItem(this).WriteHeader(out);

        uint32_t offset = static_cast<uint32_t>(out.Position());
        for (TPbFileItem* item : order) {
            item->DataOffset = offset;
            offset += static_cast<uint32_t>(item->DataSize);
        }

        std::unique_ptr<uint8_t[]> buffer(new uint8_t[kCopyChunk]);
        uint64_t done = 0;
        int shownPercent = -1;
        for (TPbFileItem* item : order) {
            if (!item->Source && !item->SourceFileName.empty()) {
                auto source = std::make_unique<TFileStream>();
                if (source->Open(item->SourceFileName, TFileStream::Mode::Read)) item->SetSource(source.release(), true);
            }
            bool complete = item->Source != nullptr;
            for (int64_t left = item->DataSize; complete && left > 0;) {
                const size_t n = static_cast<size_t>(std::min<int64_t>(left, static_cast<int64_t>(kCopyChunk)));
                const size_t got = item->Source->Read(buffer.get(), n);
                WriteBuffer(out, buffer.get(), got);
                complete = got == n;
                left -= static_cast<int64_t>(got);
                done += got;
                const int percent = total ? static_cast<int>(done * 100 / total) : 100;
                if (percent != shownPercent) {
                    ShowProgress(done, total);
                    shownPercent = percent;
                }
            }
            item->FreeSource();
            if (!complete) {
                AddLog("Error write operation");
                copyError = Format("Cannot read all of \"%s\"", item->SourceFileName.empty()
                                                                     ? item->Name.c_str()
                                                                     : item->SourceFileName.c_str());
                return false;
            }
        }
        return true;
    };

    std::string error;
    bool ok = false;
    try {
        ok = SaveFileSafely(FileName, write, &error);
    } catch (...) {
        for (TPbFileItem* item : order) item->FreeSource();
        HideStatus();
        throw;
    }
    for (TPbFileItem* item : order) item->FreeSource();
    HideStatus();
    if (!ok) {
        lastError_ = copyError.empty() ? error : copyError;
        return false;
    }
    entries_ = order;
    return true;
}

void TPbFile::DeleteArchiveFile()
{
    std::error_code ec;
    const fs::path target = PathFromUtf8(FileName);
    if (fs::is_regular_file(target, ec)) fs::remove(target, ec);
}

}  // namespace mc
