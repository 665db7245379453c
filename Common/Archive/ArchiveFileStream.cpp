#include "Archive/ArchiveFileStream.h"

#include <filesystem>
#include <system_error>

#include "Core/FilePaths.h"

#ifdef _WIN32
#include <share.h>
#endif

namespace mc {

namespace {

bool SeekFile(std::FILE* f, int64_t position, int whence)
{
#ifdef _WIN32
    return _fseeki64(f, position, whence) == 0;
#else
    return fseeko(f, static_cast<off_t>(position), whence) == 0;
#endif
}

int64_t TellFile(std::FILE* f)
{
#ifdef _WIN32
    return _ftelli64(f);
#else
    return static_cast<int64_t>(ftello(f));
#endif
}

}  // namespace

TArchiveFileStream::~TArchiveFileStream() { Close(); }

bool TArchiveFileStream::Open(const std::string& path)
{
    Close();
    std::error_code ec;
    if (!std::filesystem::is_regular_file(PathFromUtf8(path), ec)) return false;
#ifdef _WIN32
    file_ = _wfsopen(PathFromUtf8(path).wstring().c_str(), L"rb", _SH_DENYWR);
#else
    file_ = std::fopen(path.c_str(), "rb");
#endif
    if (!file_) return false;
    std::setvbuf(file_, nullptr, _IONBF, 0);
    if (!SeekFile(file_, 0, SEEK_END) || (size_ = TellFile(file_)) < 0 || !SeekFile(file_, 0, SEEK_SET)) {
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
        if (!SeekFile(file_, pos_, SEEK_SET)) return 0;
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
