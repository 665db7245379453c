#include "CliCommon.h"

#include <cstdio>
#include <filesystem>
#include <system_error>
#include <vector>

#include "Archive/PbList.h"
#include "CliArgs.h"
#include "Game/GameData.h"
#include "Core/FilePaths.h"
#include "Core/Stream.h"
#include "Model/Model.h"
#include "Model/ModelLoader.h"
#include "Texture/TextureHeaderLookup.h"

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

std::unique_ptr<TGameData> GameDataFromArgs(const TArgs& args)
{
    auto game = std::make_unique<TGameData>();
    if (args.Options.count("--archives") && !OpenArchiveFolder(game->PbList, args.Option("--archives"))) return nullptr;
    return game;
}

std::unique_ptr<TModel> LoadModelOrReport(const std::string& path, const TGameData* game)
{
    std::unique_ptr<TTextureHeaderLookup> headers;
    if (game && game->PbList.Count() > 0) headers = std::make_unique<TTextureHeaderLookup>(*game);
    return ReadModelFromFile(path, headers.get()).Release();  // the loader logs why it refuses
}

}  // namespace mc::cli
