#include "Archive/PbList.h"
#include "Config/StringTable.h"

namespace mc {

std::unique_ptr<TStringTable> LoadStringTableFromArchive(const std::string& gamePath)
{
    const TPbList* list = PbList();
    if (!list) return nullptr;
    const std::unique_ptr<TMemoryStream> stream = list->Extract(gamePath);
    if (!stream) return nullptr;
    return LoadStringTable(gamePath, *stream);
}

}  // namespace mc
