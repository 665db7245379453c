// A two-bone arm and an animation of it, built in memory: two quads stacked
// along +Y, the lower named "bone1", the upper "bone2", sharing the two
// points of their common edge. Header-only so that tests can use it as well.
//
// Frames of the animation (bones "bone1" and "Bone2"; total move (0, 0, 4)):
//   0: both identity
//   1: bone1 moved +1 in z, bone2 +3 in z (the shared points end at +2)
//   2: bone1 identity, bone2 turned 90° about +Y (x goes to -z)
#pragma once

#include <cstdint>
#include <memory>

#include "Animation/Animation.h"
#include "Model/Model.h"

namespace mc::demo {

inline std::unique_ptr<TModel> MakeTwoBoneModel()
{
    auto model = std::make_unique<TModel>();
    model->Signature = kSignatureODOL;
    model->FileName = "twobone.p3d";
    TLOD& lod = *model->AddLOD();
    lod.Resolution = 1.0f;

    const Vector3 points[6] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}, {0, 2, 0}, {1, 2, 0}};
    // Each quad has its own vertices, so the points of the shared edge have
    // two each; point 3's are not consecutive.
    const uint16_t quadPoints[2][4] = {{0, 1, 3, 2}, {2, 3, 5, 4}};
    const TUV uvs[4] = {{0, 1}, {1, 1}, {1, 0}, {0, 0}};
    lod.PointToVertex.assign(6, 0xFFFF);
    for (int q = 0; q < 2; ++q) {
        TFace face;
        face.Flags = 0x0000C000;
        face.Count = 4;
        auto selection = std::make_unique<TModelComponent>(&lod);
        selection->Name = q == 0 ? "bone1" : "bone2";
        selection->Faces = {static_cast<uint16_t>(q)};
        for (int k = 0; k < 4; ++k) {
            const uint16_t p = quadPoints[q][k];
            const auto v = static_cast<uint16_t>(lod.Positions.size());
            lod.Positions.push_back(points[p]);
            lod.Normals.push_back({0, 0, 1});
            lod.UVs.push_back(uvs[k]);
            lod.VertexToPoint.push_back(p);
            if (lod.PointToVertex[p] == 0xFFFF) lod.PointToVertex[p] = v;
            face.Vertices[static_cast<size_t>(k)] = v;
            selection->Vertices.push_back(v);
        }
        lod.Faces.push_back(face);
        lod.Selections.push_back(std::move(selection));
    }

    model->RangeA = {0, 0, 0};
    model->RangeB = {1, 2, 0};
    model->BoundingRadius = Length(model->RangeB);
    model->GeometryCenter = {0.5f, 1, 0};
    model->MassCenter = {0.5f, 1, 0};
    model->AimPoint = {0.5f, 1, 0};
    model->InfoFlags = {0, 0, 0, 1, 0};
    model->InfoTail = {0.1f, 200.0f, 0.005f};
    model->InfoMatrix = {Vector3{1, 0, 0}, Vector3{0, 1, 0}, Vector3{0, 0, 1}};
    return model;
}

inline std::unique_ptr<TAnimation> MakeTwoBoneAnimation()
{
    auto animation = std::make_unique<TAnimation>();
    animation->TotalMove = {0, 0, 4};
    animation->AddBone("bone1");
    animation->AddBone("Bone2");
    for (int i = 0; i < 3; ++i) animation->AddFrame();
    animation->Frame(1)->Matrices[0] = TMatrix4::Translation({0, 0, 1});
    animation->Frame(1)->Matrices[1] = TMatrix4::Translation({0, 0, 3});
    animation->Frame(2)->Matrices[1] = RotationAboutY(1.5707964f);
    animation->Modified = false;
    return animation;
}

// The arm swung about +Z at the shoulder (the origin) and bent at the elbow
// (0.5, 1, 0), the angles (degrees) going evenly from the first frame's to
// the last's. The move states of the demo game play these.
inline std::unique_ptr<TAnimation> MakeArmSwing(int frames, float shoulderFrom, float shoulderTo, float elbowFrom,
                                                float elbowTo)
{
    constexpr float kDegree = 3.14159265f / 180.0f;
    auto animation = std::make_unique<TAnimation>();
    animation->AddBone("bone1");
    animation->AddBone("bone2");
    const Vector3 elbow{0.5f, 1, 0};
    for (int i = 0; i < frames; ++i) {
        animation->AddFrame();
        const float t = frames > 1 ? float(i) / float(frames - 1) : 0.0f;
        const TMatrix4 shoulder = RotationAboutAxis({0, 0, 1}, (shoulderFrom + (shoulderTo - shoulderFrom) * t) * kDegree);
        const TMatrix4 bend = TMatrix4::Translation(-elbow) *
                              RotationAboutAxis({0, 0, 1}, (elbowFrom + (elbowTo - elbowFrom) * t) * kDegree) *
                              TMatrix4::Translation(elbow);
        animation->Frame(i)->Matrices[0] = shoulder;
        animation->Frame(i)->Matrices[1] = bend * shoulder;
    }
    animation->Modified = false;
    return animation;
}

}  // namespace mc::demo
