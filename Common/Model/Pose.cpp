#include "Model/Pose.h"

#include <algorithm>

#include "Core/AppServices.h"
#include "Model/LOD.h"
#include "Model/Model.h"

namespace mc {

namespace {

// Positions of the six derived vectors in TModel::SavedDerived.
enum TSavedVector { SavedAimPoint, SavedRangeA, SavedRangeB, SavedModelOffset, SavedGeometryCenter, SavedMassCenter };

// Usage counters are bytes: a point may be moved at most 255 times per step.
constexpr uint8_t kMaxUsage = 254;

// The rest ModelOffset every posed point is shifted by.
Vector3 RestModelOffset(const TLOD& lod)
{
    return lod.Model ? lod.Model->SavedDerived[SavedModelOffset] : Vector3{};
}

void ComputeProxyPlacements(TLOD& lod)
{
    for (const auto& proxy : lod.Proxies)
        if (proxy->HasCorners) proxy->ComputePlacement();
}

template <class T>
void Free(std::vector<T>& v)
{
    std::vector<T>().swap(v);
}

}  // namespace

void BeginAnimation(TModel& model)
{
    if (model.AnimationActive) return;
    for (const auto& lod : model.LODs) BackupPose(*lod);
    model.SavedDerived = {model.AimPoint,       model.RangeA,        model.RangeB,
                          model.ModelOffset,    model.GeometryCenter, model.MassCenter};
    model.AnimationActive = true;
}

void EndAnimation(TModel& model)
{
    for (const auto& lod : model.LODs) RestorePose(*lod);
    // Stored frames back a LOD up without beginning an animation; the saved
    // vectors are only meaningful after a begin.
    if (!model.AnimationActive) return;
    const auto& s = model.SavedDerived;
    model.AimPoint = s[SavedAimPoint];
    model.RangeA = s[SavedRangeA];
    model.RangeB = s[SavedRangeB];
    model.ModelOffset = s[SavedModelOffset];
    model.GeometryCenter = s[SavedGeometryCenter];
    model.MassCenter = s[SavedMassCenter];
    model.AnimationActive = false;
}

bool HasPoseBackup(const TLOD& lod)
{
    // A LOD without points still has vertices to back up, so the usage
    // counters alone do not tell.
    return !lod.AnimUsage.empty() || !lod.AnimPositions.empty() || !lod.AnimNormals.empty();
}

void BackupPose(TLOD& lod)
{
    if (HasPoseBackup(lod)) return;
    lod.AnimPositions = lod.Positions;
    lod.AnimNormals = lod.Normals;
    lod.AnimUsage.assign(static_cast<size_t>(lod.PointCount()), 0);
}

bool RestorePose(TLOD& lod)
{
    if (!HasPoseBackup(lod)) return false;
    lod.Positions = lod.AnimPositions;
    lod.Normals = lod.AnimNormals;
    Free(lod.AnimPositions);
    Free(lod.AnimNormals);
    Free(lod.AnimUsage);
    ComputeProxyPlacements(lod);
    return true;
}

bool ApplyStoredFrame(TLOD& lod, int index)
{
    const TFrame* frame = lod.Frame(index);
    if (!frame || frame->PointCount() != lod.VertexCount()) return false;
    BackupPose(lod);
    lod.Positions = frame->Positions;
    return true;
}

TPointVertices::TPointVertices(const TLOD& lod)
{
    const size_t points = static_cast<size_t>(lod.PointCount());
    const size_t vertices = std::min(lod.Positions.size(), lod.VertexToPoint.size());
    start_.assign(points + 1, 0);
    for (size_t w = 0; w < vertices; ++w) {
        const uint16_t p = lod.VertexToPoint[w];
        if (p < points) ++start_[p + 1];
    }
    for (size_t p = 0; p < points; ++p) start_[p + 1] += start_[p];
    vertices_.resize(start_[points]);
    std::vector<uint32_t> next(start_.begin(), start_.end() - 1);
    for (size_t w = 0; w < vertices; ++w) {
        const uint16_t p = lod.VertexToPoint[w];
        if (p < points) vertices_[next[p]++] = static_cast<uint32_t>(w);
    }
}

TPoseStep::TPoseStep(TLOD& lod) : lod_(lod), points_(lod)
{
    BackupPose(lod_);
    std::fill(lod_.AnimUsage.begin(), lod_.AnimUsage.end(), 0);
}

bool TPoseStep::Transform(const TModelComponent& selection, const TMatrix4& matrix)
{
    TLOD& lod = lod_;
    BackupPose(lod);
    const Vector3 offset = RestModelOffset(lod);
    const size_t vertexCount = lod.Positions.size();
    const size_t normalCount = std::min(lod.Normals.size(), lod.AnimNormals.size());
    const size_t pointCount = std::min(lod.AnimUsage.size(), static_cast<size_t>(points_.PointCount()));

    int previous = -1;
    for (const uint16_t v : selection.Vertices) {
        if (v >= vertexCount || v >= lod.VertexToPoint.size() || v >= lod.AnimPositions.size()) continue;
        const int p = lod.VertexToPoint[v];
        if (p == previous) continue;
        previous = p;
        if (static_cast<size_t>(p) >= pointCount) continue;

        const uint8_t u = lod.AnimUsage[static_cast<size_t>(p)];
        if (u > kMaxUsage) {
            AddLog("AnimVertexUsage Buffer overflow");
            return false;
        }
        Vector3 t = matrix.TransformPoint(lod.AnimPositions[v] + offset);
        if (u > 0) {
            const Vector3 current = lod.Positions[v];
            t = current + (t - current) / static_cast<float>(u + 1);
        }
        for (const uint32_t w : points_.VerticesOf(p)) {
            lod.Positions[w] = t;
            if (w >= normalCount) continue;
            Vector3 n = matrix.TransformVector(lod.AnimNormals[w]);
            if (u > 0) n = n + lod.Normals[w];
            lod.Normals[w] = n;
        }
        lod.AnimUsage[static_cast<size_t>(p)] = static_cast<uint8_t>(u + 1);
    }
    if (selection.Proxy && selection.Proxy->HasCorners) selection.Proxy->ComputePlacement();
    return true;
}

void TPoseStep::Finish()
{
    TLOD& lod = lod_;
    BackupPose(lod);
    const Vector3 offset = RestModelOffset(lod);
    const size_t vertexCount = std::min(lod.Positions.size(), lod.AnimPositions.size());
    const size_t normalCount = std::min(lod.Normals.size(), lod.AnimNormals.size());
    for (size_t w = 0; w < vertexCount; ++w) {
        const size_t p = w < lod.VertexToPoint.size() ? lod.VertexToPoint[w] : SIZE_MAX;
        const uint8_t usage = p < lod.AnimUsage.size() ? lod.AnimUsage[p] : 0;
        if (usage == 0) {
            lod.Positions[w] = lod.AnimPositions[w] + offset;
            if (w < normalCount) lod.Normals[w] = lod.AnimNormals[w];
        } else if (usage > 1 && w < normalCount) {
            const float len = Length(lod.Normals[w]);
            if (len >= 1e-6f) lod.Normals[w] = lod.Normals[w] / len;
        }
    }
    ComputeProxyPlacements(lod);
}

}  // namespace mc
