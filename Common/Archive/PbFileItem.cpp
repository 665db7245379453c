#include <algorithm>
#include <cstring>
#include <ctime>
#include <memory>

#include "Archive/PbFile.h"
#include "Core/AppServices.h"
#include "Core/StreamIO.h"
#include "Core/Strings.h"
#include "Lzss/Lzss.h"

namespace mc {

namespace {

// Seconds from 1601-01-01 to 1970-01-01.
constexpr int64_t kUnixEpochInFileTime = 11644473600LL;
constexpr int64_t kFileTimeUnitsPerSecond = 10000000LL;
constexpr size_t kCopyChunk = 1 << 20;

uint32_t GetLE32(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

bool Fail(std::string* reason, std::string text)
{
    if (reason) *reason = std::move(text);
    return false;
}

const char* LzssStatusText(TLzssStatus status)
{
    switch (status) {
        case TLzssStatus::SourceEnded: return "the packed data ends too early";
        case TLzssStatus::OutputOverrun: return "the packed data gives more bytes than the original size";
        case TLzssStatus::ChecksumMismatch: return "the packed data does not match its checksum";
        default: return "the packed data cannot be decoded";
    }
}

}  // namespace

int64_t UnixTimeToFileTime(uint32_t unixTime)
{
    return (static_cast<int64_t>(unixTime) + kUnixEpochInFileTime) * kFileTimeUnitsPerSecond;
}

uint32_t FileTimeToUnixTime(int64_t fileTime)
{
    const int64_t seconds = fileTime / kFileTimeUnitsPerSecond - kUnixEpochInFileTime;
    if (seconds <= 0 || seconds >= int64_t(kPbNoTime)) return kPbNoTime;
    return static_cast<uint32_t>(seconds);
}

std::string TPbItem::FullName() const
{
    const std::string owner = Owner ? Owner->Name : std::string();
    return owner + "\\" + Name;
}

TPbFileItem::~TPbFileItem() { FreeSource(); }

void TPbFileItem::SetSource(TStream* source, bool owns)
{
    FreeSource();
    Source = source;
    OwnsSource = owns;
}

void TPbFileItem::FreeSource()
{
    if (OwnsSource) delete Source;
    Source = nullptr;
    OwnsSource = false;
}

bool TPbFileItem::ReadHeader(TStream& s)
{
    const auto setFields = [this](const uint8_t* f) {
        Method = GetLE32(f);
        OriginalSize = static_cast<int32_t>(GetLE32(f + 4));
        Reserved = GetLE32(f + 8);
        TimeStamp = GetLE32(f + 12);
        DataSize = static_cast<int32_t>(GetLE32(f + 16));
        Modified = TimeStamp == 0 || TimeStamp == kPbNoTime ? 0 : UnixTimeToFileTime(TimeStamp);
    };

    // Most headers lie whole in a memory view of the stream.
    size_t available = 0;
    if (const uint8_t* view = s.View(available)) {
        const auto* nul = static_cast<const uint8_t*>(std::memchr(view, 0, available));
        if (nul && available - static_cast<size_t>(nul - view) > 20) {
            const size_t length = static_cast<size_t>(nul - view);
            Name.assign(reinterpret_cast<const char*>(view), length);
            std::replace(Name.begin(), Name.end(), '/', '\\');
            setFields(nul + 1);
            return s.Seek(s.Position() + static_cast<int64_t>(length + 21));
        }
    }

    Name.clear();
    for (;;) {
        uint8_t c;
        if (s.Read(&c, 1) != 1) return false;
        if (c == 0) break;
        Name.push_back(c == '/' ? '\\' : static_cast<char>(c));
    }
    uint8_t fields[20];
    if (s.Read(fields, sizeof fields) != sizeof fields) return false;
    setFields(fields);
    return true;
}

void TPbFileItem::WriteHeader(TStream& s) const
{
    uint8_t fields[20];
    const uint32_t values[5] = {Method, static_cast<uint32_t>(OriginalSize), Reserved, TimeStamp,
                                static_cast<uint32_t>(DataSize)};
    for (int i = 0; i < 5; ++i)
        for (int b = 0; b < 4; ++b) fields[i * 4 + b] = static_cast<uint8_t>(values[i] >> (8 * b));
    WriteZString(s, Name);
    WriteBuffer(s, fields, sizeof fields);
}

std::string TPbFileItem::ModifiedText() const
{
    if (Modified == 0) return {};
    const std::time_t t = static_cast<std::time_t>(Modified / kFileTimeUnitsPerSecond - kUnixEpochInFileTime);
    const std::tm* local = std::localtime(&t);
    if (!local) return {};
    char text[32];
    std::strftime(text, sizeof text, "%d/%m/%y %H:%M:%S", local);
    return text;
}

namespace {

// Where an entry's data lies, checked against the archive's size.
struct TDataRange {
    int64_t Offset = 0;
    int64_t Size = 0;
};

int64_t ArchiveSizeOf(const TPbFileItem& item, TStream& archive)
{
    if (item.Owner && item.Owner->Stream.get() == &archive) return item.Owner->ArchiveSize();
    return archive.Size();
}

// The checks of a packed entry's header. Format faults are shown in an
// information box. done is set when the entry is empty.
bool CheckPacked(const TPbFileItem& item, bool& done, std::string* reason)
{
    done = false;
    if (item.Method != kPbMethodPacked) {
        const std::string text = Format("[Unknown compress method (signature: 0x%x)]", item.Method);
        ShowMessage(TMessageKind::Information, text);
        return Fail(reason, text);
    }
    if (item.OriginalSize == 0) {
        done = true;
        return true;
    }
    if (item.DataSize < 1) {
        const std::string text = Format("[Wrong file size:%d \"%s\"]", item.DataSize, item.Name.c_str());
        ShowMessage(TMessageKind::Information, text);
        return Fail(reason, text);
    }
    if (item.OriginalSize < 0) {
        const std::string text =
            Format("[Wrong original file size:%d \"%s\"]", item.OriginalSize, item.Name.c_str());
        ShowMessage(TMessageKind::Information, text);
        return Fail(reason, text);
    }
    if (static_cast<uint64_t>(item.OriginalSize) > LzssMaxExpansion(static_cast<uint64_t>(item.DataSize)))
        return Fail(reason, Format("original size %d is more than %d packed bytes can hold", item.OriginalSize,
                                   item.DataSize));
    return true;
}

bool LocateData(const TPbFileItem& item, TStream& archive, TDataRange& range, std::string* reason)
{
    if (item.DataSize < 0) return Fail(reason, Format("negative data size %d", item.DataSize));
    range.Offset = item.DataOffset;
    range.Size = item.DataSize;
    const int64_t archiveSize = ArchiveSizeOf(item, archive);
    if (range.Offset > archiveSize || range.Size > archiveSize - range.Offset)
        return Fail(reason, Format("data of %lld bytes at offset %lld lies beyond the end of the archive (%lld bytes)",
                                   static_cast<long long>(range.Size), static_cast<long long>(range.Offset),
                                   static_cast<long long>(archiveSize)));
    if (!archive.Seek(range.Offset)) return Fail(reason, "cannot position the archive at the entry's data");
    return true;
}

// Reads the packed bytes in one read (or views them in memory) and decodes them.
bool DecodePacked(const TPbFileItem& item, TStream& archive, const TDataRange& range, uint8_t* out,
                  std::string* reason)
{
    const size_t packedSize = static_cast<size_t>(range.Size);
    size_t available = 0;
    const uint8_t* src = archive.View(available);
    std::unique_ptr<uint8_t[]> packed;
    if (!src || available < packedSize) {
        packed.reset(new uint8_t[packedSize]);
        if (archive.Read(packed.get(), packedSize) != packedSize) return Fail(reason, "the archive ends inside the data");
        src = packed.get();
    } else {
        archive.Seek(range.Offset + range.Size);
    }
    const TLzssStatus status = LzssDecode(src, packedSize, out, static_cast<size_t>(item.OriginalSize));
    if (status != TLzssStatus::Ok) return Fail(reason, LzssStatusText(status));
    return true;
}

}  // namespace

bool TPbFileItem::ExtractToBytes(TStream* archive, std::vector<uint8_t>& bytes, std::string* reason) const
{
    bytes.clear();
    if (!archive) return Fail(reason, "the archive is not open");
    TDataRange range;
    if (!IsPacked()) {
        if (!LocateData(*this, *archive, range, reason)) return false;
        bytes.resize(static_cast<size_t>(range.Size));
        if (archive->Read(bytes.data(), bytes.size()) != bytes.size()) {
            bytes.clear();
            return Fail(reason, "the archive ends inside the data");
        }
        return true;
    }
    bool done = false;
    if (!CheckPacked(*this, done, reason)) return false;
    if (done) return true;
    if (!LocateData(*this, *archive, range, reason)) return false;
    bytes.resize(static_cast<size_t>(OriginalSize));
    if (!DecodePacked(*this, *archive, range, bytes.data(), reason)) {
        bytes.clear();
        return false;
    }
    return true;
}

bool TPbFileItem::Extract(TStream* archive, TStream* destination, std::string* reason) const
{
    if (!archive) return Fail(reason, "the archive is not open");
    if (!destination) return Fail(reason, "no destination");
    TDataRange range;
    if (!IsPacked()) {
        if (!LocateData(*this, *archive, range, reason)) return false;
        size_t available = 0;
        if (const uint8_t* view = archive->View(available); view && available >= static_cast<size_t>(range.Size)) {
            const size_t n = static_cast<size_t>(range.Size);
            if (n && destination->Write(view, n) != n) return Fail(reason, kWriteErrorText);
            archive->Seek(range.Offset + range.Size);
            return true;
        }
        const size_t chunk = std::min(static_cast<size_t>(range.Size), kCopyChunk);
        std::unique_ptr<uint8_t[]> buffer(new uint8_t[chunk ? chunk : 1]);
        for (int64_t left = range.Size; left > 0;) {
            const size_t n = static_cast<size_t>(std::min<int64_t>(left, static_cast<int64_t>(chunk)));
            if (archive->Read(buffer.get(), n) != n) return Fail(reason, "the archive ends inside the data");
            if (destination->Write(buffer.get(), n) != n) return Fail(reason, kWriteErrorText);
            left -= static_cast<int64_t>(n);
        }
        return true;
    }
    bool done = false;
    if (!CheckPacked(*this, done, reason)) return false;
    if (done) return true;
    if (!LocateData(*this, *archive, range, reason)) return false;
    std::unique_ptr<uint8_t[]> out(new uint8_t[static_cast<size_t>(OriginalSize)]);
    if (!DecodePacked(*this, *archive, range, out.get(), reason)) return false;
    const size_t n = static_cast<size_t>(OriginalSize);
    if (destination->Write(out.get(), n) != n) return Fail(reason, kWriteErrorText);
    return true;
}

}  // namespace mc
