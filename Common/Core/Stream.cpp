#include "Core/Stream.h"

#include "Core/LoadResult.h"

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "Core/CFile.h"
#include "Core/FilePaths.h"

namespace mc {

EReadError::EReadError() : EFileError(kReadErrorText) {}
EWriteError::EWriteError() : EFileError(kWriteErrorText) {}

size_t TMemoryReader::Read(void* buffer, size_t count)
{
    const size_t n = std::min(count, size_ - pos_);
    if (n) std::memcpy(buffer, data_ + pos_, n);
    pos_ += n;
    return n;
}

bool TMemoryReader::Seek(int64_t position)
{
    if (position < 0 || static_cast<uint64_t>(position) > size_) return false;
    pos_ = static_cast<size_t>(position);
    return true;
}

size_t TMemoryStream::Read(void* buffer, size_t count)
{
    const size_t n = std::min(count, bytes_.size() - pos_);
    if (n) std::memcpy(buffer, bytes_.data() + pos_, n);
    pos_ += n;
    return n;
}

size_t TMemoryStream::Write(const void* buffer, size_t count)
{
    if (pos_ >= limit_) return 0;
    const size_t n = std::min(count, limit_ - pos_);
    if (pos_ + n > bytes_.size()) {
        if (pos_ + n > bytes_.capacity()) bytes_.reserve(std::max(pos_ + n, bytes_.capacity() * 2));
        bytes_.resize(pos_ + n);
    }
    if (n) std::memcpy(bytes_.data() + pos_, buffer, n);
    pos_ += n;
    return n;
}

bool TMemoryStream::Seek(int64_t position)
{
    if (position < 0 || static_cast<uint64_t>(position) > bytes_.size()) return false;
    pos_ = static_cast<size_t>(position);
    return true;
}

std::vector<uint8_t> TMemoryStream::TakeBytes()
{
    pos_ = 0;
    return std::move(bytes_);
}

void TMemoryStream::Clear()
{
    bytes_.clear();
    pos_ = 0;
}

TFileStream::~TFileStream()
{
    Close();
}

bool TFileStream::Open(const std::string& path, Mode mode)
{
    Close();
    // A folder or a device opens as a stream on some systems; none of them
    // is a file to read.
    if (mode != Mode::Create && !FileRefusal(path).empty()) return false;
    file_ = OpenCFile(path, mode == Mode::Read     ? TCFileMode::Read
                            : mode == Mode::Create ? TCFileMode::Create
                                                   : TCFileMode::Update);
    return file_ != nullptr;
}

bool TFileStream::Close()
{
    if (!file_) return true;
    const bool ok = std::fclose(file_) == 0;
    file_ = nullptr;
    return ok;
}

size_t TFileStream::Read(void* buffer, size_t count)
{
    return file_ ? std::fread(buffer, 1, count, file_) : 0;
}

size_t TFileStream::Write(const void* buffer, size_t count)
{
    return file_ ? std::fwrite(buffer, 1, count, file_) : 0;
}

int64_t TFileStream::Position() const
{
    if (!file_) return 0;
    return TellCFile(file_);
}

bool TFileStream::Seek(int64_t position)
{
    if (!file_ || position < 0 || position > Size()) return false;
    return SeekCFile(file_, position, SEEK_SET);
}

int64_t TFileStream::Size() const
{
    if (!file_) return 0;
    const int64_t here = Position();
    SeekCFile(file_, 0, SEEK_END);
    const int64_t size = TellCFile(file_);
    SeekCFile(file_, here, SEEK_SET);
    return size;
}

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes)
{
    TFileStream f;
    if (!f.Open(path, TFileStream::Mode::Read)) return false;
    const int64_t size = f.Size();
    if (size < 0) return false;
    bytes.resize(static_cast<size_t>(size));
    return f.Read(bytes.data(), bytes.size()) == bytes.size();
}

}  // namespace mc
