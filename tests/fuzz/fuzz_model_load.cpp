// Model loading must refuse any corrupted input cleanly; whatever loads must
// save, load again and save to the same bytes.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "Core/Stream.h"
#include "Model/Model.h"
#include "Model/ModelLoader.h"
#include "Model/Odol.h"

namespace {

std::vector<uint8_t> Save(const mc::TModel& model)
{
    mc::TMemoryStream out;
    if (!mc::SaveOdol(model, out)) std::abort();
    return out.TakeBytes();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    auto model = mc::LoadModelFromMemory(data, size, "fuzz.p3d");
    if (!model) return 0;
    model->SaveFlags = mc::SaveFlags::Animation;
    const std::vector<uint8_t> first = Save(*model);
    auto again = mc::LoadModelFromMemory(first.data(), first.size(), "again.p3d");
    if (!again) std::abort();
    again->SaveFlags = mc::SaveFlags::Animation;
    if (Save(*again) != first) std::abort();
    return 0;
}
