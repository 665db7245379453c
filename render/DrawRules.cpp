#include "DrawRules.h"

#include "Model/LOD.h"
#include "Model/Model.h"
#include "Model/ModelTypes.h"

namespace mc {

static_assert(kDrawStateFlags == (FaceFlags::AlphaOther | FaceFlags::AlphaCompact | FaceFlags::Always |
                                  FaceFlags::Shining | FaceFlags::Transparent | FaceFlags::Proxy),
              "the bits FaceDrawn and FaceStateFor read");

int ChooseLOD(const TModel& model, const TDrawParameters& params)
{
    const int count = model.LODCount();
    if (count == 0) return -1;
    if (params.Flags & DrawFlag::AutoLOD) {
        const float threshold = params.Distance * kAutoLODFactor;
        int chosen = -1;
        for (int i = 0; i < count; ++i) {
            const TLOD& lod = *model.LOD(i);
            if (lod.IsSpecial()) break;
            chosen = i;
            if (lod.Resolution > threshold) break;
        }
        return chosen;
    }
    if (params.Flags & DrawFlag::GivenLOD) return params.LODIndex >= 0 && params.LODIndex < count ? params.LODIndex : -1;
    return 0;
}

bool FaceDrawn(uint32_t faceFlags, uint32_t drawFlags)
{
    if ((faceFlags & FaceFlags::Proxy) && !(drawFlags & DrawFlag::Optional)) return false;
    if ((faceFlags & FaceFlags::Shining) && !(drawFlags & DrawFlag::Shining)) return false;
    if ((faceFlags & FaceFlags::Transparent) && (drawFlags & DrawFlag::HideSorted)) return false;
    return true;
}

TFaceState FaceStateFor(uint32_t faceFlags)
{
    TFaceState s;
    s.U = (faceFlags & 0x8000) ? TAddress::Clamp : TAddress::Wrap;
    s.V = (faceFlags & 0x4000) ? TAddress::Clamp : TAddress::Wrap;
    if (faceFlags & FaceFlags::AlphaOther) {
        s.Blend = true;
        s.AlphaTest = true;
        s.AlphaReference = 1;
    } else {
        s.AlphaReference = 0xC0;
        s.AlphaTest = (faceFlags & FaceFlags::AlphaCompact) != 0;
        s.Blend = false;
    }
    return s;
}

}  // namespace mc
