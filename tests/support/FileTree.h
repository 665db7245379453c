// Folders of files written for the tests, and comparing two of them.
#pragma once

#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "TestSupport.h"

namespace mc::test {

inline void WriteFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes,
                      int64_t unixTime = 1000000000)
{
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
    const auto sys = std::chrono::system_clock::time_point(std::chrono::seconds(unixTime));
    std::filesystem::last_write_time(path, std::chrono::file_clock::from_sys(sys));
}

// Relative path (generic form) -> bytes of every file under root.
inline std::map<std::string, std::vector<uint8_t>> ReadTree(const std::filesystem::path& root)
{
    std::map<std::string, std::vector<uint8_t>> files;
    for (const auto& e : std::filesystem::recursive_directory_iterator(root))
        if (e.is_regular_file())
            files[std::filesystem::relative(e.path(), root).generic_string()] = ReadFileBytes(e.path());
    return files;
}

}  // namespace mc::test
