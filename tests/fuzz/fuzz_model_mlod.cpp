// Editable model loading must refuse any corrupted input cleanly. Whatever
// loads must save in both forms under the converter options the first byte
// names, and each saved file must load again.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "Core/Stream.h"
#include "Model/Mlod.h"
#include "Model/Model.h"
#include "Model/ModelLoader.h"
#include "Model/ObjExport.h"
#include "Model/ModelChecks.h"
#include "Model/Odol.h"

namespace {

template <class TSave>
std::vector<uint8_t> Save(const mc::TModel& model, TSave save)
{
    mc::TMemoryStream out;
    if (!save(model, out)) std::abort();
    return out.TakeBytes();
}

std::unique_ptr<mc::TModel> Reload(const std::vector<uint8_t>& bytes, uint32_t flags)
{
    auto model = mc::LoadModelFromMemory(bytes.data(), bytes.size(), "again.p3d");
    if (!model) std::abort();
    model->SaveFlags = flags;
    return model;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1) return 0;
    const uint32_t flags = data[0] & 0x1F;
    // The signature and version are given: the body is fuzzed.
    std::vector<uint8_t> file = {'M', 'L', 'O', 'D', 1, 1, 0, 0};
    file.insert(file.end(), data + 1, data + size);
    auto model = mc::LoadModelFromMemory(file.data(), file.size(), "fuzz.p3d");
    if (!model) return 0;
    model->SaveFlags = flags;

    const auto odol = Save(*model, mc::SaveOdol);
    if (Save(*Reload(file, flags), mc::SaveOdol) != odol) std::abort();  // converting is repeatable
    auto fromOdol = Reload(odol, flags);
    (void)Save(*fromOdol, mc::SaveOdol);

    const auto mlod = Save(*model, mc::SaveMlod);
    auto fromMlod = Reload(mlod, flags);
    (void)Save(*fromMlod, mc::SaveOdol);

    mc::TMemoryStream report;
    mc::WriteMassReport(*model, report);
    mc::WriteNormalsReport(*model, report);
    mc::WriteUVReport(*model, report);
    if (model->LODCount() > 0) mc::WriteObjFile(*model, 0, report);
    return 0;
}
