#include "Game/GameData.h"

#include <filesystem>
#include <system_error>

#include "Archive/NativePath.h"
#include "Config/Resources.h"
#include "Config/StringTable.h"
#include "Core/AppServices.h"
#include "Core/Strings.h"

namespace mc {

std::string NormalizeModFolder(std::string_view text)
{
    std::string folder(text);
    if (!folder.empty() && !StartsWithBackslash(folder)) folder.insert(folder.begin(), '\\');
    return ExcludeTrailingBackslash(folder);
}

TGameData::TGameData() = default;
TGameData::~TGameData() = default;

std::string TGameData::DataPath(std::string_view tail) const { return NativePath(DataRoot() + std::string(tail)); }

void TGameData::Close()
{
    PbList.CloseAll();
    GameConfig.reset();
    GameStringTable.reset();
}

namespace {

bool IsFile(const std::string& path)
{
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec);
}

void OpenStringTable(TGameData& game)
{
    const std::string path = game.DataPath("\\Bin\\stringtable.csv");
    std::unique_ptr<TStringTable> table;
    try {
        table = LoadStringTableFromFile(path);
    } catch (const std::exception& e) {
        AddLog(Format("Cannot load \"%s\": %s", path.c_str(), e.what()));
    }
    if (!table) ShowMessage(TMessageKind::Warning, Format("File \"%s\" not loaded!", path.c_str()));
    game.GameStringTable = std::move(table);
}

void OpenConfig(TGameData& game)
{
    TWaitCursor wait;
    game.GameConfig.reset();
    const std::string binPath = game.DataPath("\\Bin\\config.bin");
    const std::string cppPath = game.DataPath("\\Bin\\config.cpp");
    const std::string path = IsFile(binPath) ? binPath : IsFile(cppPath) ? cppPath : std::string();
    if (path.empty()) {
        ShowMessage(TMessageKind::Warning,
                    Format("Neither \"%s\" nor \"%s\" were found.", binPath.c_str(), cppPath.c_str()));
        return;
    }
    ShowStatus(Format("Loading \"%s\"...", path.c_str()));
    auto config = std::make_unique<TResources>();
    bool loaded = false;
    try {
        loaded = config->LoadFromFile(path);
    } catch (const std::exception& e) {
        if (config->ErrorMessage.empty()) config->SetError(e.what());
    }
    HideStatus();
    if (loaded)
        game.GameConfig = std::move(config);
    else
        ShowMessage(TMessageKind::Error,
                    Format("File \"%s\" not loaded:\r%s", path.c_str(), config->ErrorMessage.c_str()));
}

void OpenArchives(TGameData& game)
{
    TWaitCursor wait;
    try {
        game.PbList.OpenGameArchives(game.DataRoot());
    } catch (const std::exception& e) {
        ShowMessage(TMessageKind::Error, e.what());
    }
}

}  // namespace

void OpenGameData(TGameData& game)
{
    OpenStringTable(game);
    OpenConfig(game);
    OpenArchives(game);
}

}  // namespace mc
