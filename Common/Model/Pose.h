// Posing a loaded model: the rest pose is kept so that any pose can be
// undone exactly. An animation poses a model in passes:
//
//   BeginAnimation(model);
//   for every LOD:  TPoseStep step(lod);  step.Transform(selection, matrix) ...;  step.Finish();
//   ComputeDerivedData(model);
//
// and EndAnimation(model) returns it to the rest pose.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "Core/Matrix4.h"

namespace mc {

class TLOD;
class TModel;
class TModelComponent;

// Model level. Begin backs up every LOD and saves the six derived vectors
// (AimPoint .. MassCenter) once; a second begin changes nothing. End restores
// every LOD and, when an animation was begun, the saved vectors.
void BeginAnimation(TModel& model);
void EndAnimation(TModel& model);

// LOD level. Backing up copies positions and normals and allocates one usage
// counter per point, unless a backup exists. Restoring copies them back,
// frees the backups and recomputes the proxy placements; false when there
// was nothing to restore.
bool HasPoseBackup(const TLOD& lod);
void BackupPose(TLOD& lod);
bool RestorePose(TLOD& lod);

// Puts stored frame index over the positions (backing the LOD up first).
// False, changing nothing, when there is no such frame or its point count is
// not the LOD's vertex count.
bool ApplyStoredFrame(TLOD& lod, int index);

// Lists the vertices of every point, built from VertexToPoint: the vertices
// of one point need not be consecutive, nor start at PointToVertex.
class TPointVertices {
public:
    explicit TPointVertices(const TLOD& lod);

    int PointCount() const { return static_cast<int>(start_.size()) - 1; }
    // The vertices of point p, ascending; empty for a point out of range.
    std::span<const uint32_t> VerticesOf(int p) const
    {
        if (p < 0 || p >= PointCount()) return {};
        const size_t first = start_[static_cast<size_t>(p)], last = start_[static_cast<size_t>(p) + 1];
        return {vertices_.data() + first, last - first};
    }

private:
    std::vector<uint32_t> start_;
    std::vector<uint32_t> vertices_;
};

// One posing step on a LOD: created, it backs the LOD up and clears the
// usage counters; Transform moves named selections from the rest pose;
// Finish moves the untouched points and settles the normals.
class TPoseStep {
public:
    explicit TPoseStep(TLOD& lod);

    // Moves the points of selection by matrix from their rest positions plus
    // the saved ModelOffset. A point moved several times in one step ends at
    // the average of the results, its normal at the normalised sum. False
    // (with the log line "AnimVertexUsage Buffer overflow") when a point
    // would be moved a 256th time; the points before it keep their new values.
    bool Transform(const TModelComponent& selection, const TMatrix4& matrix);

    void Finish();

    TLOD& LOD() const { return lod_; }

private:
    TLOD& lod_;
    TPointVertices points_;
};

}  // namespace mc
