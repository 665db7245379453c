// A sub-model placed by a named selection of a LOD.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "Core/Vector3.h"

namespace mc {

class TLOD;
class TModel;

class TProxy {
public:
    explicit TProxy(TLOD* lod) : LOD(lod) {}
    ~TProxy();

    TLOD* LOD;
    std::string Name;  // model name: selection text after "proxy:" up to the first dot
    int32_t ProxyId = 0;
    int32_t SelectionIndex = -1;

    Vector3 ProxyNormal, LongAxis, ShortAxis, ProxyPosition;

    bool ShowModel = false;
    std::unique_ptr<TModel> ProxyModel;

    uint16_t CornerVertex = 0, LongVertex = 0, ShortVertex = 0;
    bool HasCorners = false;  // the three vertices above were chosen from a face

    // The 48 placement bytes as an ODOL file stored them, written back
    // unchanged for a LOD read from ODOL.
    std::optional<std::array<Vector3, 4>> StoredPlacement;

    // Recomputes the placement frame from the three corner vertices.
    void ComputePlacement();

    std::array<Vector3, 4> Placement() const { return {ProxyNormal, LongAxis, ShortAxis, ProxyPosition}; }
    void SetPlacement(const std::array<Vector3, 4>& p)
    {
        ProxyNormal = p[0];
        LongAxis = p[1];
        ShortAxis = p[2];
        ProxyPosition = p[3];
    }
};

}  // namespace mc
