#include "DemoModel.h"

#include <algorithm>

#include "Model/Model.h"

namespace mc::demo {

namespace {

const Vector3 kCorners[8] = {
    {-0.5f, 0, -0.5f}, {0.5f, 0, -0.5f}, {0.5f, 1, -0.5f}, {-0.5f, 1, -0.5f},
    {-0.5f, 0, 0.5f},  {0.5f, 0, 0.5f},  {0.5f, 1, 0.5f},  {-0.5f, 1, 0.5f},
};

struct TSide {
    int Corners[4];
    Vector3 Normal;
};

const TSide kSides[6] = {
    {{0, 3, 2, 1}, {0, 0, -1}}, {{4, 5, 6, 7}, {0, 0, 1}},  {{0, 4, 7, 3}, {-1, 0, 0}},
    {{1, 2, 6, 5}, {1, 0, 0}},  {{3, 7, 6, 2}, {0, 1, 0}},  {{0, 1, 5, 4}, {0, -1, 0}},
};

// Visual LOD: every side has its own four vertices (own normal and UVs).
void FillVisual(TLOD& lod)
{
    lod.Resolution = 1.0f;
    lod.Textures.push_back({"data\\crate_co.paa"});
    lod.PointToVertex.assign(8, 0);
    std::vector<bool> seen(8, false);
    const TUV uvs[4] = {{0, 1}, {0, 0}, {1, 0}, {1, 1}};
    for (const TSide& side : kSides) {
        TFace face;
        face.Flags = 0x0000C000;
        face.Texture = 0;
        face.Count = 4;
        for (int k = 0; k < 4; ++k) {
            const int point = side.Corners[k];
            const auto v = static_cast<uint16_t>(lod.Positions.size());
            lod.Positions.push_back(kCorners[point]);
            lod.Normals.push_back(side.Normal);  // held as it looks: outwards
            lod.UVs.push_back(uvs[k]);
            lod.VertexToPoint.push_back(static_cast<uint16_t>(point));
            if (!seen[static_cast<size_t>(point)]) lod.PointToVertex[static_cast<size_t>(point)] = v, seen[static_cast<size_t>(point)] = true;
            face.Vertices[static_cast<size_t>(k)] = v;
        }
        lod.Faces.push_back(face);
    }
    auto lid = std::make_unique<TModelComponent>(&lod);
    lid->Name = "lid";
    lid->Faces = {4};
    for (int k = 0; k < 4; ++k) lid->Vertices.push_back(lod.Faces[4].Vertices[static_cast<size_t>(k)]);
    lod.Selections.push_back(std::move(lid));
    lod.AddProperty("class", "thing");
    lod.AddProperty("map", "building");
}

// Geometry LOD: one vertex per point, a mass on each.
void FillGeometry(TLOD& lod)
{
    lod.Resolution = ResolutionValue(ResGeometry);
    for (uint16_t p = 0; p < 8; ++p) {
        lod.Positions.push_back(kCorners[p]);
        lod.Normals.push_back({});
        lod.UVs.push_back({});
        lod.PointToVertex.push_back(p);
        lod.VertexToPoint.push_back(p);
        lod.Masses.push_back(12.5f);
    }
    for (const TSide& side : kSides) {
        TFace face;
        face.Flags = 0x0000C000;
        face.Count = 4;
        for (int k = 0; k < 4; ++k) face.Vertices[static_cast<size_t>(k)] = static_cast<uint16_t>(side.Corners[k]);
        lod.Faces.push_back(face);
    }
    lod.AddProperty("autocenter", "0");
}

}  // namespace

void FillProxyMemory(TLOD& lod, float height, const std::string& proxyName)
{
    lod.Resolution = ResolutionValue(ResMemory);
    const Vector3 points[4] = {{0, height / 2, 0}, {0, height, 0}, {0, height, 0.4f}, {0.2f, height, 0}};
    for (uint16_t p = 0; p < 4; ++p) {
        lod.Positions.push_back(points[p]);
        lod.Normals.push_back({});
        lod.UVs.push_back({});
        lod.PointToVertex.push_back(p);
        lod.VertexToPoint.push_back(p);
    }
    TFace tri;
    tri.Flags = 0x3000C000;
    tri.Count = 3;
    tri.Vertices = {1, 3, 2, 0};
    lod.Faces.push_back(tri);

    auto aim = std::make_unique<TModelComponent>(&lod);
    aim->Name = "zamerny";
    aim->Vertices = {0};
    lod.Selections.push_back(std::move(aim));

    auto sel = std::make_unique<TModelComponent>(&lod);
    sel->Name = "proxy:" + proxyName + ".1";
    sel->Faces = {0};
    sel->Vertices = {1, 2, 3};
    lod.Selections.push_back(std::move(sel));

    auto proxy = std::make_unique<TProxy>(&lod);
    proxy->Name = proxyName;
    proxy->ProxyId = 1;
    proxy->SelectionIndex = 1;
    lod.Selections[1]->BindProxy(proxy.get());
    lod.Proxies.push_back(std::move(proxy));
}

std::unique_ptr<TModel> MakeCrateModel()
{
    auto model = std::make_unique<TModel>();
    model->Signature = kSignatureODOL;
    model->FileName = "crate.p3d";
    FillVisual(*model->AddLOD());
    FillGeometry(*model->AddLOD());
    FillProxyMemory(*model->AddLOD(), 1.0f, "flag");
    model->SetSpecialLOD(SpecialGeometry, 1);
    model->SetSpecialLOD(SpecialMemory, 2);

    model->RangeA = {-0.5f, 0, -0.5f};
    model->RangeB = {0.5f, 1, 0.5f};
    model->BoundingRadius = std::max(Length(model->RangeA), Length(model->RangeB));
    model->GeometryCenter = {0, 0.5f, 0};
    model->MassCenter = {0, 0.5f, 0};
    model->AimPoint = {0, 0.5f, 0};
    model->ModelOffset = {0, 0, 0};
    model->Mass = 100;
    model->ExtentX = 1;
    model->ExtentY = 1;
    model->MapIcon = 3;
    model->MapIconColor = 0xFF808080;
    model->MapIconSelectedColor = 0xFFFF0000;
    model->InfoFlags = {0, 0, 0, 1, 0};
    model->InfoTail = {0.1f, 200.0f, 0.005f};
    model->InfoMatrix = {Vector3{1, 0, 0}, Vector3{0, 1, 0}, Vector3{0, 0, 1}};
    return model;
}

}  // namespace mc::demo
