#include "Model/Proxy.h"

#include "Model/LOD.h"
#include "Model/Model.h"

namespace mc {

TProxy::~TProxy() = default;

void TProxy::ComputePlacement()
{
    if (!LOD) return;
    const auto& pos = LOD->Positions;
    if (CornerVertex >= pos.size() || LongVertex >= pos.size() || ShortVertex >= pos.size()) return;
    ProxyPosition = pos[CornerVertex];
    const Vector3 longDir = Normalize(pos[LongVertex] - ProxyPosition);
    ShortAxis = Normalize(pos[ShortVertex] - ProxyPosition);
    // The long axis is kept orthogonal to the short one, as the game's own
    // files store it.
    LongAxis = Normalize(longDir - ShortAxis * Dot(longDir, ShortAxis));
    ProxyNormal = Normalize(Cross(LongAxis, ShortAxis));
}

void TModelComponent::BindProxy(TProxy* p)
{
    if (Faces.empty()) return;
    Proxy = p;
    if (!p || !LOD) return;
    const uint16_t first = Faces.front();
    if (first >= LOD->Faces.size()) return;
    const TFace& face = LOD->Faces[first];
    const uint16_t i0 = face.Vertices[0], i1 = face.Vertices[1], i2 = face.Vertices[2];
    const auto& pos = LOD->Positions;
    if (i0 >= pos.size() || i1 >= pos.size() || i2 >= pos.size()) return;
    const Vector3 p0 = pos[i0], p1 = pos[i1], p2 = pos[i2];
    const float e01 = Length(p0 - p1), e02 = Length(p0 - p2), e12 = Length(p1 - p2);

    uint16_t corner, longer, shorter;
    if (e01 >= e02 && e01 >= e12) {
        corner = i2;
        if (e02 < e12) longer = i1, shorter = i0;
        else longer = i0, shorter = i1;
    } else if (e02 >= e01 && e02 >= e12) {
        corner = i1;
        if (e01 < e12) longer = i2, shorter = i0;
        else longer = i0, shorter = i2;
    } else {
        corner = i0;
        if (e01 < e02) longer = i2, shorter = i1;
        else longer = i1, shorter = i2;
    }
    p->CornerVertex = corner;
    p->LongVertex = longer;
    p->ShortVertex = shorter;
    p->HasCorners = true;
    p->ComputePlacement();
}

}  // namespace mc
