#include "Model/ModelTables.h"

#include <bit>

#include "Core/Strings.h"

namespace mc {

namespace {

struct TResolutionEntry {
    uint32_t Bits;
    const char* Name;
};

constexpr TResolutionEntry kResolutions[kResolutionRowCount] = {
    {0x447A0000, "View - Gunner"},
    {0x44898000, "View - Pilot"},
    {0x44960000, "View - Cargo"},
    {0x551184E7, "Geometry"},
    {0x58635FA9, "Memory"},
    {0x58E35FA9, "Land Contact"},
    {0x592A87BF, "Roadway"},
    {0x59635FA9, "Paths"},
    {0x598E1BCA, "Hitpoints"},
    {0x59AA87BF, "View Geometry"},
    {0x59C6F3B4, "Fire Geometry"},
    {0x59E35FA9, "View - Cargo - Geometry"},
    {0x59FFCB9E, "View - Cargo - Fire Geometry"},
    {0x5A0E1BCA, "View - Commander"},
    {0x5A1C51C4, "View - Commander - Geometry"},
    {0x5A2A87BF, "View - Commander - Fire Geometry"},
    {0x5A38BDB9, "View - Pilot - Geometry"},
    {0x5A46F3B4, "View - Pilot - Fire Geometry"},
    {0x5A5529AF, "View - Gunner - Geometry"},
    {0x5A635FA9, "View - Gunner - Fire Geometry"},
};

constexpr int kSpecialRows[kSpecialLODKindCount] = {
    ResMemory,
    ResGeometry,
    ResFireGeometry,
    ResViewGeometry,
    ResViewPilotGeometry,
    ResViewGunnerGeometry,
    ResViewCommanderGeometry,
    ResViewCargoGeometry,
    ResLandContact,
    ResRoadway,
    ResPaths,
    ResHitpoints,
};

constexpr const char* kMapIcons[kMapIconCount] = {
    "tree",  "small tree", "bush",   "building",   "house",      "forest border", "forest triangle", "forest square",
    "church", "chapel",    "cross",  "rock",       "bunker",     "fortress",      "fountain",        "view-tower",
    "lighthouse", "quay",  "fuelstation", "hospital", "fence",   "wall",          "hide",            "bus stop",
    "unknown", "",         "",       "",           "",           "",              "road",
};

}  // namespace

float ResolutionValue(int row)
{
    if (row < 0 || row >= kResolutionRowCount) return 0;
    return std::bit_cast<float>(kResolutions[row].Bits);
}

int ResolutionRow(float resolution)
{
    // Exact float equality: the table's values are compared as numbers.
    for (int i = 0; i < kResolutionRowCount; ++i)
        if (std::bit_cast<float>(kResolutions[i].Bits) == resolution) return i;
    return -1;
}

std::string LODName(float resolution)
{
    const int row = ResolutionRow(resolution);
    if (row >= 0) return kResolutions[row].Name;
    return Format("%.3f", static_cast<double>(resolution));
}

int SpecialKindRow(int kind)
{
    return kind >= 0 && kind < kSpecialLODKindCount ? kSpecialRows[kind] : -1;
}

std::string SpecialKindName(int kind)
{
    const int row = SpecialKindRow(kind);
    return row >= 0 ? kResolutions[row].Name : "";
}

std::string MapIconName(int code)
{
    return code >= 0 && code < kMapIconCount ? kMapIcons[code] : "";
}

uint8_t MapIconCode(std::string_view name)
{
    for (int i = 0; i < kMapIconCount; ++i)
        if (name == kMapIcons[i]) return static_cast<uint8_t>(i);
    return kMapIconUnknown;
}

}  // namespace mc
