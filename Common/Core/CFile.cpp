#include "Core/CFile.h"

#include "Core/FilePaths.h"

#ifdef _WIN32
#include <share.h>
#endif

namespace mc {

std::FILE* OpenCFile(const std::string& utf8Path, TCFileMode mode)
{
#ifdef _WIN32
    const std::wstring path = PathFromUtf8(utf8Path).wstring();
    switch (mode) {
    case TCFileMode::Read: return _wfopen(path.c_str(), L"rb");
    case TCFileMode::ReadShared: return _wfsopen(path.c_str(), L"rb", _SH_DENYWR);
    case TCFileMode::Update: return _wfopen(path.c_str(), L"r+b");
    case TCFileMode::Create: return _wfopen(path.c_str(), L"wb");
    case TCFileMode::CreateExclusive: return _wfopen(path.c_str(), L"wbx");
    }
    return nullptr;
#else
    const char* how = "rb";
    switch (mode) {
    case TCFileMode::Read:
    case TCFileMode::ReadShared: how = "rb"; break;
    case TCFileMode::Update: how = "r+b"; break;
    case TCFileMode::Create: how = "wb"; break;
    case TCFileMode::CreateExclusive: how = "wbx"; break;
    }
    return std::fopen(utf8Path.c_str(), how);
#endif
}

bool SeekCFile(std::FILE* file, int64_t offset, int whence)
{
#ifdef _WIN32
    return _fseeki64(file, offset, whence) == 0;
#else
    return fseeko(file, static_cast<off_t>(offset), whence) == 0;
#endif
}

int64_t TellCFile(std::FILE* file)
{
#ifdef _WIN32
    return _ftelli64(file);
#else
    return static_cast<int64_t>(ftello(file));
#endif
}

}  // namespace mc
