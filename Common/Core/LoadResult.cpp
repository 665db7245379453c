#include "Core/LoadResult.h"

#include <filesystem>
#include <system_error>

#include "Core/FilePaths.h"

namespace mc {

std::string FileRefusal(const std::string& path)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::file_status status = fs::status(PathFromUtf8(path), ec);
    if (status.type() == fs::file_type::not_found) return "\"" + path + "\" does not exist";
    if (ec) return "\"" + path + "\" cannot be read: " + ec.message();
    if (status.type() == fs::file_type::directory) return "\"" + path + "\" is a folder";
    if (status.type() != fs::file_type::regular) return "\"" + path + "\" is not a regular file";
    return {};
}

}  // namespace mc
