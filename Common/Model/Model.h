// A model: its LODs and the data derived from them.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "Core/Vector3.h"
#include "Model/LOD.h"
#include "Model/ModelTables.h"

namespace mc {

class TStream;

constexpr uint32_t kSignatureODOL = 0x4C4F444F;  // "ODOL"
constexpr uint32_t kSignatureMLOD = 0x444F4C4D;  // "MLOD"

class TModel {
public:
    TModel();
    ~TModel();
    TModel(const TModel&) = delete;
    TModel& operator=(const TModel&) = delete;

    uint32_t Signature = 0;
    uint32_t SaveFlags = 0;
    std::string FileName;
    std::vector<std::unique_ptr<TLOD>> LODs;

    uint8_t MapIcon = 0;
    std::array<int8_t, kSpecialLODKindCount> SpecialLODs;
    uint32_t MapIconColor = 0, MapIconSelectedColor = 0;

    bool AnimationActive = false;
    std::array<Vector3, 6> SavedDerived{};

    Vector3 AimPoint, RangeA, RangeB, ModelOffset, GeometryCenter, MassCenter;
    std::array<uint8_t, 5> InfoFlags{};  // [0] is Autocenter
    float Mass = 0;
    float BoundingRadius = 0;
    uint32_t InfoWord = 256;
    float ExtentX = 0, ExtentY = 0;
    std::array<uint32_t, 3> InfoWords{};
    std::array<float, 3> InfoTail{};
    std::array<Vector3, 3> InfoMatrix{};

    // ODOL model-info float after the map icon colours, carried through
    // load and save for a model read from ODOL (0 otherwise).
    float OdolInfoFloat = 0;

    // LODs.
    int LODCount() const { return static_cast<int>(LODs.size()); }
    TLOD* LOD(int index) const;
    TLOD* AddLOD();  // appends an empty LOD
    int FindLOD(float resolution) const;

    // Special LODs.
    int SpecialLOD(int kind) const;
    void SetSpecialLOD(int kind, int index);
    TLOD* SpecialLODPtr(int kind) const;

    // First LOD (in order) that has the property; empty text when none has.
    std::string PropertyValue(std::string_view name) const;

    // Map icon colours in the GUI's order (red lowest, alpha cleared).
    uint32_t GetMapIconColor(bool selected) const;
    uint32_t GetMapIconAlpha(bool selected) const;  // grey of the stored alpha
    void SetMapIconColor(bool selected, uint32_t guiColor);
    void SetMapIconAlpha(bool selected, uint8_t alpha);

    // LOD for a viewing distance d with factor f; nullptr when LOD 0 is special.
    TLOD* LODForDistance(float d, float f) const;

    // Centre and radius that frame the model in a view.
    void ViewFraming(Vector3& centre, float& radius) const;

    // Frees all LODs and resets the model info.
    void Clear();
};

// "ARGB(%d, %d, %d, %d)" of a stored colour word.
std::string ColorText(uint32_t argb);

}  // namespace mc
