// Archive opening and extraction must refuse any corrupted input cleanly and
// never allocate beyond what the input can describe. Entries are extracted
// both from a memory view and through a plain stream; both must agree.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <vector>

#include "Archive/PbExtract.h"
#include "Archive/PbFile.h"
#include "Core/Stream.h"

namespace {

// The same bytes without a memory view, as a file is read.
class TPlainReader : public mc::TStream {
public:
    TPlainReader(const uint8_t* data, size_t size) : reader_(data, size) {}
    size_t Read(void* buffer, size_t count) override { return reader_.Read(buffer, count); }
    size_t Write(const void*, size_t) override { return 0; }
    int64_t Position() const override { return reader_.Position(); }
    bool Seek(int64_t position) override { return reader_.Seek(position); }
    int64_t Size() const override { return reader_.Size(); }

private:
    mc::TMemoryReader reader_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    mc::TPbFile archive;
    try {
        if (!archive.OpenStream(std::make_unique<mc::TMemoryReader>(data, size), "fuzz.pbo")) return 0;
    } catch (const mc::EFileError&) {
        return 0;
    } catch (const std::invalid_argument&) {
        return 0;  // duplicate entry names
    }
    archive.BuildTree();
    TPlainReader plain(data, size);
    for (const mc::TPbFileItem* item : archive.Entries()) {
        if (archive.FindFile(item->Name) != item) std::abort();
        std::vector<uint8_t> bytes;
        const bool ok = item->ExtractToBytes(archive.Stream.get(), bytes);
        if (ok && static_cast<int64_t>(bytes.size()) != item->Size()) std::abort();
        mc::TMemoryStream out;
        const bool again = item->Extract(&plain, &out);
        if (again != ok || (ok && out.Bytes() != bytes)) std::abort();
        std::filesystem::path relative;
        mc::SafeEntryPath(item->Name, relative);
        (void)item->ModifiedText();
    }
    return 0;
}
