// What a rubber band in the model view selects in a LOD.
#pragma once

#include <cstdint>

#include "Core/Vector3.h"

namespace mc {

class TLOD;

enum TSelectionMode : uint8_t { SelectVertices = 0, SelectPolygons = 1, SelectComponents = 2 };

// The rubber band of the model view.
struct TSelection {
    uint8_t Mode = SelectComponents;
    Vector3 Start, Finish;  // model points where the band began and where the mouse is
    bool Active = false;
};

// Clears the LOD's selection, then selects by mode what lies inside the box
// the view kind sees between start and finish, through the LOD's own
// selection operations (a face brings its vertices, a named selection its
// vertices and faces):
//   vertices   - every vertex inside;
//   polygons   - every face with a vertex inside;
//   components - every named selection with a vertex inside, and the first
//                of its faces that has a vertex inside.
// The 3D view selects nothing. Indices outside the LOD are passed over.
void SelectInBand(TLOD& lod, int kind, uint8_t mode, Vector3 start, Vector3 finish);

}  // namespace mc
