#include "Animation/Animation.h"
#include "Game/GameData.h"
#include "Core/AppServices.h"
#include "Core/Strings.h"

namespace mc {

std::unique_ptr<TAnimation> TAnimation::LoadFromArchives(const TGameData& game, const std::string& gamePath)
{
    std::unique_ptr<TMemoryStream> stream = game.PbList.Extract(gamePath);
    if (!stream) {
        AddLog(Format("Animation file \"%s\" not found.", gamePath.c_str()));
        return nullptr;
    }
    auto animation = std::make_unique<TAnimation>();
    if (!animation->LoadFromStream(*stream)) return nullptr;
    return animation;
}

}  // namespace mc
