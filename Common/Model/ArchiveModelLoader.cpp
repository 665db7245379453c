#include "Model/ArchiveModelLoader.h"

#include "Archive/PbList.h"
#include "Core/AppServices.h"
#include "Core/Strings.h"
#include "Model/Model.h"
#include "Model/ModelLoader.h"

namespace mc {

namespace {

std::unique_ptr<TModel> LoadFromEntry(TStream& stream, const std::string& entryPath)
{
    auto model = std::make_unique<TModel>();
    if (!LoadModelFromStream(*model, stream, entryPath)) return nullptr;
    return model;
}

}  // namespace

std::unique_ptr<TModel> LoadModelFromArchive(const TPbFile& archive, const std::string& entryPath)
{
    const std::unique_ptr<TMemoryStream> stream = TPbList::ExtractFrom(archive, entryPath);
    if (!stream) return nullptr;
    return LoadFromEntry(*stream, entryPath);
}

std::unique_ptr<TModel> LoadModelFromArchives(const std::string& gamePath)
{
    const TPbList* list = PbList();
    if (!list) return nullptr;
    const std::unique_ptr<TMemoryStream> stream = list->Extract(gamePath);
    if (!stream) {
        AddLog(Format("Model file \"%s\" not found.", gamePath.c_str()));
        return nullptr;
    }
    return LoadFromEntry(*stream, gamePath);
}

}  // namespace mc
