#include "CliCommon.h"

#include <cstdio>
#include <filesystem>
#include <system_error>
#include <vector>

#include "Archive/PbList.h"
#include "Core/FilePaths.h"
#include "Core/Stream.h"
#include "Model/Model.h"
#include "Model/ModelLoader.h"

namespace mc::cli {

void PrintJson(const nlohmann::ordered_json& j)
{
    const std::string text = j.dump(1, ' ', false, nlohmann::json::error_handler_t::replace);
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fputc('\n', stdout);
}

bool OpenArchiveFolder(TPbList& list, const std::string& folder)
{
    std::error_code ec;
    const std::filesystem::path dir = PathFromUtf8(folder);
    if (!std::filesystem::is_directory(dir, ec)) {
        std::fprintf(stderr, "Cannot open the archive folder \"%s\"\n", folder.c_str());
        return false;
    }
    if (std::filesystem::is_directory(dir / "Dta", ec) || std::filesystem::is_directory(dir / "AddOns", ec))
        list.OpenGameArchives(folder);
    else
        list.OpenFolder(folder, false);
    if (list.Count() == 0) {
        std::fprintf(stderr, "No archives in \"%s\"\n", folder.c_str());
        return false;
    }
    return true;
}

std::unique_ptr<TModel> LoadModelOrReport(const std::string& path)
{
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(path, bytes)) {
        std::fprintf(stderr, "Cannot open \"%s\"\n", path.c_str());
        return nullptr;
    }
    return LoadModelFromMemory(bytes.data(), bytes.size(), path);  // the loader logs why it refuses
}

}  // namespace mc::cli
