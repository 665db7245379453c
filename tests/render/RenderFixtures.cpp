#include "RenderFixtures.h"

#include "DemoTexture.h"
#include "Model/LOD.h"
#include "Model/Model.h"

namespace mc::test {

std::unique_ptr<TModel> ModelWithLODs(const std::vector<float>& resolutions)
{
    auto model = std::make_unique<TModel>();
    model->Signature = kSignatureODOL;
    for (float r : resolutions) model->AddLOD()->Resolution = r;
    return model;
}

void AddQuad(TLOD& lod, uint32_t flags, uint16_t texture, float uMax, float vMax)
{
    AddQuadAt(lod, -1, -1, 1, 1, 0, flags, texture, uMax, vMax);
}

void AddQuadAt(TLOD& lod, float x0, float y0, float x1, float y1, float z, uint32_t flags, uint16_t texture,
               float uMax, float vMax)
{
    const auto base = uint16_t(lod.Positions.size());
    const Vector3 corners[4] = {{x0, y1, z}, {x1, y1, z}, {x1, y0, z}, {x0, y0, z}};
    const TUV uvs[4] = {{0, 0}, {uMax, 0}, {uMax, vMax}, {0, vMax}};
    for (int i = 0; i < 4; ++i) {
        lod.Positions.push_back(corners[i]);
        lod.Normals.push_back({0, 0, -1});
        lod.UVs.push_back(uvs[i]);
    }
    TFace face;
    face.Flags = flags;
    face.Texture = texture;
    face.Count = 4;
    face.Vertices = {base, uint16_t(base + 1), uint16_t(base + 2), uint16_t(base + 3)};
    lod.Faces.push_back(face);
}

void AddCube(TLOD& lod)
{
    const auto base = uint16_t(lod.Positions.size());
    for (int i = 0; i < 8; ++i) {
        const Vector3 p{(i & 1) ? 1.f : -1.f, (i & 2) ? 1.f : -1.f, (i & 4) ? 1.f : -1.f};
        lod.Positions.push_back(p);
        lod.Normals.push_back(p);
        lod.UVs.push_back({0, 0});
    }
    const uint16_t quads[6][4] = {{0, 1, 3, 2}, {4, 6, 7, 5}, {0, 4, 5, 1}, {2, 3, 7, 6}, {0, 2, 6, 4}, {1, 5, 7, 3}};
    for (const auto& q : quads)
        for (int t = 0; t < 2; ++t) {
            TFace face;
            face.Count = 3;
            face.Vertices = {uint16_t(base + q[0]), uint16_t(base + q[t + 1]), uint16_t(base + q[t + 2]), 0};
            lod.Faces.push_back(face);
        }
}

std::vector<uint8_t> SolidPaa(uint32_t argb)
{
    return demo::EncodePaaArgb4444(8, 8, [argb](int, int, int, int) { return argb; });
}

std::vector<uint8_t> TwoColourPaa(uint32_t left, uint32_t right)
{
    return demo::EncodePaaArgb4444(8, 8, [=](int x, int, int w, int) { return x < w / 2 ? left : right; });
}

}  // namespace mc::test
