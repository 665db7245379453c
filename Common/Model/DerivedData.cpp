#include "Model/DerivedData.h"

#include <algorithm>

#include "Model/Model.h"

namespace mc {

namespace {

constexpr uint32_t kConvertedMapIconColor = 0xFF000000;
constexpr uint32_t kConvertedInfoWord = 256;
constexpr std::array<float, 3> kConvertedInfoTail = {0.1f, 200.0f, 0.005f};
constexpr std::array<Vector3, 3> kConvertedInfoMatrix = {
    Vector3{0.00063f, 0.000002f, 0.000001f},
    Vector3{0.000002f, 0.000706f, 0.000124f},
    Vector3{0.000001f, 0.000124f, 0.001424f},
};


const Vector3 kBoxStart{1e10f, 1e10f, 1e10f};

void ComputeRanges(TModel& m)
{
    if (m.LODs.empty()) {
        m.RangeA = m.RangeB = {};
        return;
    }
    Vector3 lo = kBoxStart, hi = -kBoxStart;
    for (const auto& lod : m.LODs)
        for (const Vector3& p : lod->Positions) {
            lo = Min(lo, p);
            hi = Max(hi, p);
        }
    m.RangeA = lo;
    m.RangeB = hi;
}

void ComputeGeometryCenter(TModel& m, const TLOD* geometry)
{
    m.GeometryCenter = {};
    if (!geometry) return;
    Vector3 lo = kBoxStart, hi = -kBoxStart;
    for (const Vector3& p : geometry->Positions) {
        lo = Min(lo, p);
        hi = Max(hi, p);
    }
    m.GeometryCenter = (lo + hi) / 2;
}

void ComputeAimPoint(TModel& m)
{
    m.AimPoint = m.GeometryCenter;
    const TLOD* memory = m.SpecialLODPtr(SpecialMemory);
    if (!memory) return;
    const TModelComponent* aim = memory->SelectionByName("zamerny");
    if (aim && !aim->Vertices.empty() && aim->Vertices[0] < memory->Positions.size())
        m.AimPoint = memory->Positions[aim->Vertices[0]];
}

void ComputeOffset(TModel& m, const TLOD* geometry)
{
    m.ModelOffset = {};
    const TLOD* contact = m.SpecialLODPtr(SpecialLandContact);
    if (contact && !contact->Positions.empty()) {
        m.ModelOffset = {0, -contact->Positions[0].y, 0};
        return;
    }
    if (!geometry) return;
    float ymin = m.RangeA.y;
    if (!geometry->Positions.empty()) {
        ymin = geometry->Positions[0].y;
        for (const Vector3& p : geometry->Positions) ymin = std::min(ymin, p.y);
    }
    m.ModelOffset = {-(m.RangeA.x + m.RangeB.x) / 2, -ymin, -(m.RangeA.z + m.RangeB.z) / 2};
}

}  // namespace

uint32_t TLODVectorRandom::Next(uint32_t range)
{
    state_ = state_ * 0x08088405u + 1;
    return static_cast<uint32_t>((uint64_t{state_} * range) >> 32);
}

void ComputeMassCenter(const TLOD& geometry, float& mass, Vector3& center)
{
    mass = 0;
    center = {};
    const auto& masses = geometry.Masses;
    const auto& positions = geometry.Positions;
    if (geometry.PointToVertex.empty() || masses.empty() || positions.empty()) return;
    center = positions[0];
    mass = masses[0];
    const size_t points = std::min(geometry.PointToVertex.size(), masses.size());
    for (size_t p = 1; p < points; ++p) {
        const float m = masses[p];
        if (m == 0) continue;
        mass += m;
        if (mass == 0) continue;
        const uint16_t v = geometry.PointToVertex[p];
        if (v >= positions.size()) continue;
        const Vector3 d = positions[v] - center;
        if (Length(d) != 0) center = center + d * (m / mass);
    }
}

void ComputeDerivedData(TModel& model)
{
    const TLOD* geometry = model.SpecialLODPtr(SpecialGeometry);
    ComputeRanges(model);
    ComputeGeometryCenter(model, geometry);
    model.Mass = 0;
    model.MassCenter = {};
    if (geometry) ComputeMassCenter(*geometry, model.Mass, model.MassCenter);
    ComputeAimPoint(model);
    ComputeOffset(model, geometry);
}

void CompleteConvertedModel(TModel& model)
{
    model.MapIconColor = model.MapIconSelectedColor = kConvertedMapIconColor;

    // A special LOD index is stored in a signed byte: a LOD past index 127
    // cannot be one.
    for (int k = 0; k < kSpecialLODKindCount; ++k) {
        const int index = model.FindLOD(ResolutionValue(SpecialKindRow(k)));
        model.SpecialLODs[static_cast<size_t>(k)] = static_cast<int8_t>(index <= INT8_MAX ? index : -1);
    }

    model.MapIcon = kMapIconHide;
    if (const TLOD* geometry = model.SpecialLODPtr(SpecialGeometry); geometry && geometry->FindProperty("map") >= 0) {
        const uint8_t icon = MapIconCode(geometry->PropertyValue("map"));
        if (icon != kMapIconUnknown) model.MapIcon = icon;
    }

    ComputeDerivedData(model);

    model.InfoFlags = {static_cast<uint8_t>(model.PropertyValue("autocenter") == "0" ? 0 : 1), 0, 0, 1, 0};
    model.BoundingRadius = std::max(Length(model.RangeA), Length(model.RangeB));
    model.ExtentX = model.RangeB.x - model.RangeA.x;
    model.ExtentY = model.RangeB.y - model.RangeA.y;
    model.InfoMatrix = kConvertedInfoMatrix;
    model.InfoWord = kConvertedInfoWord;
    model.InfoTail = kConvertedInfoTail;
    model.InfoWords = {};
    model.OdolInfoFloat = 0;

    TLODVectorRandom random;
    for (const auto& lod : model.LODs)
        for (Vector3& v : lod->LODVectors) {
            v.x = static_cast<float>(random.Next(2)) - 1;
            v.y = static_cast<float>(random.Next(2)) - 1;
            v.z = static_cast<float>(random.Next(2)) - 1;
        }
}

}  // namespace mc
