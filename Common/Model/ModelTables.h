// Fixed vocabulary of models: LOD resolution names, special LOD kinds and
// map icons.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace mc {

// Rows of the resolution name table that the rest of the program tests for.
enum TResolutionRow : int {
    ResViewGunner = 0,
    ResViewPilot = 1,
    ResViewCargo = 2,
    ResGeometry = 3,
    ResMemory = 4,
    ResLandContact = 5,
    ResRoadway = 6,
    ResPaths = 7,
    ResHitpoints = 8,
    ResViewGeometry = 9,
    ResFireGeometry = 10,
    ResViewCargoGeometry = 11,
    ResViewCargoFireGeometry = 12,
    ResViewCommander = 13,
    ResViewCommanderGeometry = 14,
    ResViewCommanderFireGeometry = 15,
    ResViewPilotGeometry = 16,
    ResViewPilotFireGeometry = 17,
    ResViewGunnerGeometry = 18,
    ResViewGunnerFireGeometry = 19,
};

constexpr int kResolutionRowCount = 20;

// The float32 value of a table row (exact bits).
float ResolutionValue(int row);
// Table row whose value equals resolution exactly (first wins), or -1.
int ResolutionRow(float resolution);
// Display name: the row's name, else "%.3f".
std::string LODName(float resolution);

inline bool IsSpecialResolution(float resolution) { return resolution >= 1000.0f; }
inline bool IsGeometryResolution(float r) { return ResolutionRow(r) == ResGeometry; }
inline bool IsMemoryResolution(float r) { return ResolutionRow(r) == ResMemory; }
inline bool IsHitpointsResolution(float r) { return ResolutionRow(r) == ResHitpoints; }
inline bool IsDrawnAsPoints(float r) { return IsMemoryResolution(r) || IsHitpointsResolution(r); }

// Special LOD kinds, in the order of TModel::SpecialLODs.
enum TSpecialLODKind : int {
    SpecialMemory = 0,
    SpecialGeometry = 1,
    SpecialFireGeometry = 2,
    SpecialViewGeometry = 3,
    SpecialViewPilotGeometry = 4,
    SpecialViewGunnerGeometry = 5,
    SpecialViewCommanderGeometry = 6,
    SpecialViewCargoGeometry = 7,
    SpecialLandContact = 8,
    SpecialRoadway = 9,
    SpecialPaths = 10,
    SpecialHitpoints = 11,
};

constexpr int kSpecialLODKindCount = 12;

// Resolution table row of a special LOD kind.
int SpecialKindRow(int kind);
std::string SpecialKindName(int kind);

// Map icons.
constexpr int kMapIconCount = 31;
constexpr uint8_t kMapIconHide = 22;
constexpr uint8_t kMapIconUnknown = 24;
constexpr uint8_t kMapIconRoad = 30;

// Text of a code; empty for codes without a name (25..29 and above 30).
std::string MapIconName(int code);
// First entry equal to name (case-sensitive), else 24 ("unknown").
uint8_t MapIconCode(std::string_view name);

}  // namespace mc
