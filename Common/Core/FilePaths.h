// Conversions between UTF-8 texts and file-system paths.
#pragma once

#include <filesystem>
#include <string>

namespace mc {

inline std::filesystem::path PathFromUtf8(const std::string& text)
{
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

inline std::string PathToUtf8(const std::filesystem::path& path)
{
    const std::u8string s = path.u8string();
    return std::string(s.begin(), s.end());
}

}  // namespace mc
