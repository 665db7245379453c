// RTM loading must refuse any corrupted input cleanly; whatever loads must
// save, load again and save to the same bytes, survive every edit, and pose
// a small model without harm.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "Animation/Animation.h"
#include "Core/Stream.h"
#include "Model/Model.h"
#include "Model/Pose.h"

using namespace mc;

namespace {

void Check(bool ok, const char* what)
{
    if (!ok) {
        std::fprintf(stderr, "fuzz_animation_rtm: %s\n", what);
        std::abort();
    }
}

std::vector<uint8_t> Save(const TAnimation& a)
{
    TMemoryStream out;
    a.SaveToStream(out);
    return out.TakeBytes();
}

// Two points of one vertex each, in selections named after the first bones.
std::unique_ptr<TModel> SmallModel(const TAnimation& a)
{
    auto model = std::make_unique<TModel>();
    TLOD& lod = *model->AddLOD();
    lod.Positions = {{0, 0, 0}, {1, 1, 1}};
    lod.Normals = {{0, 1, 0}, {1, 0, 0}};
    lod.UVs.resize(2);
    lod.PointToVertex = {0, 1};
    lod.VertexToPoint = {0, 1};
    for (int b = 0; b < a.BoneCount() && b < 3; ++b) {
        auto s = std::make_unique<TModelComponent>(&lod);
        s->Name = a.BoneName(b);
        s->Vertices = {static_cast<uint16_t>(b % 2), 1};
        lod.Selections.push_back(std::move(s));
    }
    return model;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TAnimation a;
    try {
        TMemoryReader in(data, size);
        if (!a.LoadFromStream(in)) return 0;
    } catch (const EReadError&) {
        return 0;
    }
    const std::vector<uint8_t> first = Save(a);
    TAnimation again;
    TMemoryReader in(first.data(), first.size());
    Check(again.LoadFromStream(in), "a saved animation does not load");
    Check(Save(again) == first, "saving again gives other bytes");

    auto model = SmallModel(a);
    const auto rest = model->LOD(0)->Positions;
    for (int f = 0; f < a.FrameCount() && f < 4; ++f) {
        a.CurrentFrameIndex = f;
        a.ApplyTotalMove = (f & 1) != 0;
        TMatrix4 m;
        for (int b = 0; b < a.BoneCount(); ++b) Check(a.GetBoneMatrix(b, m), "no matrix for a bone");
        a.ApplyToModel(model.get());
    }
    EndAnimation(*model);
    Check(model->LOD(0)->Positions == rest, "the rest pose did not come back");

    if (a.BoneCount() > 0) {
        a.CopyBoneMatrix(a.BoneName(0), 0, a.FrameCount() - 1);
        a.DeleteBone(a.BoneName(0));
    }
    a.AddBone("extra");
    a.AddFrame();
    a.CopyFrame(0, a.FrameCount() - 1);
    a.DeleteFrame(0);
    for (int f = 0; f < a.FrameCount(); ++f)
        Check(a.Frame(f)->Matrices.size() == static_cast<size_t>(a.BoneCount()), "frames and bones disagree");
    Save(a);
    return 0;
}
