#include "Animation/Animation.h"
#include "Archive/PbList.h"
#include "Core/AppServices.h"
#include "Core/Strings.h"

namespace mc {

std::unique_ptr<TAnimation> TAnimation::LoadFromArchives(const std::string& gamePath)
{
    const TPbList* list = PbList();
    std::unique_ptr<TMemoryStream> stream = list ? list->Extract(gamePath) : nullptr;
    if (!stream) {
        AddLog(Format("Animation file \"%s\" not found.", gamePath.c_str()));
        return nullptr;
    }
    auto animation = std::make_unique<TAnimation>();
    if (!animation->LoadFromStream(*stream)) return nullptr;
    return animation;
}

}  // namespace mc
