#include "ViewSelection.h"

#include <vector>

#include "Model/Model.h"
#include "ViewGeometry.h"

namespace mc {

void SelectInBand(TLOD& lod, int kind, uint8_t mode, Vector3 start, Vector3 finish)
{
    lod.ClearSelection();
    // A LOD edited since its selection was made gets arrays of its sizes.
    lod.VertexSelected.resize(lod.Positions.size(), 0);
    lod.FaceSelected.resize(lod.Faces.size(), 0);
    lod.ComponentSelected.resize(lod.Selections.size(), 0);
    const TBandBox box(kind, start, finish);
    if (!box.Selects()) return;

    const size_t vertexCount = lod.Positions.size();
    if (mode == SelectVertices) {
        for (size_t v = 0; v < vertexCount; ++v)
            if (box.Contains(lod.Positions[v])) lod.VertexSelected[v] = 1;
        return;
    }

    std::vector<uint8_t> inside(vertexCount, 0);
    for (size_t v = 0; v < vertexCount; ++v) inside[v] = box.Contains(lod.Positions[v]) ? 1 : 0;
    const auto faceInside = [&](size_t f) {
        const TFace& face = lod.Faces[f];
        const int count = face.Count == 4 ? 4 : 3;
        for (int k = 0; k < count; ++k) {
            const uint16_t v = face.Vertices[size_t(k)];
            if (v < vertexCount && inside[v]) return true;
        }
        return false;
    };

    if (mode == SelectPolygons) {
        for (size_t f = 0; f < lod.Faces.size(); ++f)
            if (faceInside(f)) lod.SelectFace(int(f));
        return;
    }

    for (size_t s = 0; s < lod.Selections.size(); ++s) {
        const TModelComponent& component = *lod.Selections[s];
        bool hit = false;
        for (uint16_t v : component.Vertices)
            if (v < vertexCount && inside[v]) {
                hit = true;
                break;
            }
        if (!hit) continue;
        lod.SelectComponent(int(s));
        for (uint16_t f : component.Faces)
            if (f < lod.Faces.size() && faceInside(f)) {
                lod.SelectFace(f);
                break;
            }
    }
}

}  // namespace mc
