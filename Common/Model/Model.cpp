#include "Model/Model.h"

#include <algorithm>

#include "Core/Misc.h"
#include "Core/Strings.h"

namespace mc {

TModel::TModel() { SpecialLODs.fill(-1); }
TModel::~TModel() = default;

TLOD* TModel::LOD(int index) const
{
    return index >= 0 && index < LODCount() ? LODs[static_cast<size_t>(index)].get() : nullptr;
}

TLOD* TModel::AddLOD()
{
    LODs.push_back(std::make_unique<TLOD>(this));
    return LODs.back().get();
}

int TModel::FindLOD(float resolution) const
{
    for (int i = 0; i < LODCount(); ++i)
        if (LODs[static_cast<size_t>(i)]->Resolution == resolution) return i;
    return -1;
}

int TModel::SpecialLOD(int kind) const
{
    return kind >= 0 && kind < kSpecialLODKindCount ? SpecialLODs[static_cast<size_t>(kind)] : -1;
}

void TModel::SetSpecialLOD(int kind, int index)
{
    if (kind < 0 || kind >= kSpecialLODKindCount || index < -1 || index >= LODCount()) return;
    SpecialLODs[static_cast<size_t>(kind)] = static_cast<int8_t>(index);
}

TLOD* TModel::SpecialLODPtr(int kind) const { return LOD(SpecialLOD(kind)); }

std::string TModel::PropertyValue(std::string_view name) const
{
    for (const auto& lod : LODs) {
        const int i = lod->FindProperty(name);
        if (i >= 0) return lod->PropertyValue(name);
    }
    return {};
}

uint32_t TModel::GetMapIconColor(bool selected) const
{
    return SwapRedBlue(selected ? MapIconSelectedColor : MapIconColor);
}

uint32_t TModel::GetMapIconAlpha(bool selected) const
{
    const uint32_t a = (selected ? MapIconSelectedColor : MapIconColor) >> 24;
    return a | (a << 8) | (a << 16);
}

void TModel::SetMapIconColor(bool selected, uint32_t guiColor)
{
    (selected ? MapIconSelectedColor : MapIconColor) = SwapRedBlue(guiColor);
}

void TModel::SetMapIconAlpha(bool selected, uint8_t alpha)
{
    (selected ? MapIconSelectedColor : MapIconColor) |= static_cast<uint32_t>(alpha) << 24;
}

TLOD* TModel::LODForDistance(float d, float f) const
{
    TLOD* taken = nullptr;
    for (int i = 0; i < LODCount(); ++i) {
        TLOD* lod = LODs[static_cast<size_t>(i)].get();
        if (lod->IsSpecial()) break;
        taken = lod;
        if (f * d < lod->Resolution || i == LODCount() - 1) break;
    }
    return taken;
}

void TModel::ViewFraming(Vector3& centre, float& radius) const
{
    centre = (RangeA + RangeB) / 2;
    radius = Length(RangeA - centre);
    if (LODs.empty() || LODs[0]->IsSpecial()) return;
    const TLOD& lod = *LODs[0];
    Vector3 lo{1e10f, 1e10f, 1e10f}, hi{-1e10f, -1e10f, -1e10f};
    for (const TFace& face : lod.Faces) {
        if (face.Flags & (FaceFlags::Proxy | FaceFlags::Shining)) continue;
        for (int k = 0; k < face.Count && k < 4; ++k) {
            const uint16_t v = face.Vertices[static_cast<size_t>(k)];
            if (v >= lod.Positions.size()) continue;
            const Vector3 p = lod.Positions[v];
            lo = {std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z)};
            hi = {std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z)};
        }
    }
    centre = (lo + hi) / 2;
    radius = Length(hi - centre);
}

void TModel::Clear()
{
    LODs.clear();
    SpecialLODs.fill(-1);
    MapIcon = 0;
    MapIconColor = MapIconSelectedColor = 0;
    AnimationActive = false;
    SavedDerived = {};
    AimPoint = RangeA = RangeB = ModelOffset = GeometryCenter = MassCenter = {};
    InfoFlags = {};
    Mass = BoundingRadius = 0;
    InfoWord = 256;
    ExtentX = ExtentY = 0;
    InfoWords = {};
    InfoTail = {};
    InfoMatrix = {};
    OdolInfoFloat = 0;
}

std::string ColorText(uint32_t argb)
{
    return Format("ARGB(%d, %d, %d, %d)", static_cast<int>(argb >> 24), static_cast<int>((argb >> 16) & 0xFF),
                  static_cast<int>((argb >> 8) & 0xFF), static_cast<int>(argb & 0xFF));
}

}  // namespace mc
