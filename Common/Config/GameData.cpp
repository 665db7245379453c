#include "Config/GameData.h"

#include "Config/Resources.h"
#include "Config/StringTable.h"

namespace mc {

namespace {

std::unique_ptr<TResources>& ConfigSlot()
{
    static std::unique_ptr<TResources> config;
    return config;
}

std::unique_ptr<TStringTable>& StringTableSlot()
{
    static std::unique_ptr<TStringTable> table;
    return table;
}

}  // namespace

TResources* GameConfig() { return ConfigSlot().get(); }
void SetGameConfig(std::unique_ptr<TResources> config) { ConfigSlot() = std::move(config); }

TStringTable* GameStringTable() { return StringTableSlot().get(); }
void SetGameStringTable(std::unique_ptr<TStringTable> table) { StringTableSlot() = std::move(table); }

}  // namespace mc
