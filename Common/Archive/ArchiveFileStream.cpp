#include "Archive/ArchiveFileStream.h"

#include <filesystem>
#include <system_error>

#include "Core/CFile.h"
#include "Core/FilePaths.h"

namespace mc {

TArchiveFileStream::~TArchiveFileStream() { Close(); }

bool TArchiveFileStream::Open(const std::string& path)
{
    Close();
    std::error_code ec;
    if (!std::filesystem::is_regular_file(PathFromUtf8(path), ec)) return false;
    file_ = OpenCFile(path, TCFileMode::ReadShared);
    if (!file_) return false;
    std::setvbuf(file_, nullptr, _IONBF, 0);
    if (!SeekCFile(file_, 0, SEEK_END) || (size_ = TellCFile(file_)) < 0 || !SeekCFile(file_, 0, SEEK_SET)) {
        Close();
        return false;
    }
    pos_ = 0;
    placed_ = true;
    return true;
}

void TArchiveFileStream::Close()
{
    if (file_) std::fclose(file_);
    file_ = nullptr;
    size_ = pos_ = 0;
}

size_t TArchiveFileStream::Read(void* buffer, size_t count)
{
    if (!file_ || count == 0) return 0;
    if (!placed_) {
        if (!SeekCFile(file_, pos_, SEEK_SET)) return 0;
        placed_ = true;
    }
    const size_t n = std::fread(buffer, 1, count, file_);
    pos_ += static_cast<int64_t>(n);
    if (n < count) {
        std::clearerr(file_);
        placed_ = false;
    }
    return n;
}

bool TArchiveFileStream::Seek(int64_t position)
{
    if (!file_ || position < 0 || position > size_) return false;
    if (position != pos_) {
        pos_ = position;
        placed_ = false;
    }
    return true;
}

}  // namespace mc
