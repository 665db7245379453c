#include "TestSupport.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <system_error>
#include <vector>

#include "Core/Strings.h"

#ifdef _WIN32
#include <process.h>
#define getpid _getpid
#else
#include <unistd.h>
#endif

namespace mc::test {

TRecordingServices::TRecordingServices() : previous_(GetAppServices()) { SetAppServices(this); }
TRecordingServices::~TRecordingServices() { SetAppServices(previous_); }

std::filesystem::path RealDataDir()
{
#ifdef MESHCRAFT_REALDATA
    const std::filesystem::path dir = MESHCRAFT_REALDATA;
#else
    const std::filesystem::path dir = "../shared/realdata";
#endif
    std::error_code ec;
    return std::filesystem::is_directory(dir, ec) ? dir : std::filesystem::path();
}

std::vector<std::filesystem::path> RealFiles(const std::string& subfolder, const std::string& extension)
{
    std::vector<std::filesystem::path> files;
    const auto root = RealDataDir();
    if (root.empty()) return files;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(root / subfolder, ec)) {
        if (!entry.is_regular_file()) continue;
        if (!extension.empty() && LowerExt(entry.path().filename().string()) != extension) continue;
        files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::vector<uint8_t> ReadFileBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

namespace {

// Folders made by TempDir, removed when the test program ends.
struct TTempFolders {
    std::vector<std::filesystem::path> Made;
    ~TTempFolders()
    {
        std::error_code ignored;
        for (const auto& dir : Made) std::filesystem::remove_all(dir, ignored);
    }
};

}  // namespace

std::filesystem::path TempDir(const std::string& name)
{
    static TTempFolders folders;
    // The process id keeps runs from different build folders apart.
    const auto dir = std::filesystem::temp_directory_path() /
                     ("meshcraft-test-" + std::to_string(getpid()) + "-" + name);
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    folders.Made.push_back(dir);
    return dir;
}

}  // namespace mc::test
