// Data derived from a model's geometry: bounding box, centres, mass, aiming
// point and offset, and the model information a converted model is given.
#pragma once

#include <cstdint>

#include "Core/Vector3.h"

namespace mc {

class TModel;
class TLOD;

// Recomputes RangeA, RangeB, GeometryCenter, Mass, MassCenter, AimPoint and
// ModelOffset from the current positions (after conversion, and after a pose
// has moved the geometry).
void ComputeDerivedData(TModel& model);

// Total mass and centre of mass of a Geometry LOD: from vertex 0 with the
// mass of point 0, a running mass-weighted mean over the following points'
// first vertices. Zero for a LOD without points, masses or vertices.
void ComputeMassCenter(const TLOD& geometry, float& mass, Vector3& center);

// Completes a model whose LODs were converted from the editable form: map
// icon and its colours, the special LOD table, the derived data, Autocenter,
// bounding radius, extents, the fixed model information and each LOD's
// LODVectors. LODVectors come from a generator with a fixed seed, so the same
// LODs always give the same values.
void CompleteConvertedModel(TModel& model);

// The pseudo-random integers of LODVectors: a linear congruential generator
// whose state starts at seed.
class TLODVectorRandom {
public:
    explicit TLODVectorRandom(uint32_t seed = 0) : state_(seed) {}
    // An integer in 0 .. range - 1.
    uint32_t Next(uint32_t range);

private:
    uint32_t state_;
};

}  // namespace mc
