#include <vector>

#include "Animation/Animation.h"
#include "Core/Stream.h"

namespace mc {

std::unique_ptr<TAnimation> TAnimation::LoadFromFile(const std::string& path)
{
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(path, bytes)) return nullptr;
    TMemoryReader reader(bytes.data(), bytes.size());
    auto animation = std::make_unique<TAnimation>();
    if (!animation->LoadFromStream(reader)) return nullptr;
    return animation;
}

}  // namespace mc
