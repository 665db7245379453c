// The texture headers that the conversion of editable models asks for, read
// by name from a game's archives (header only: type and average colour).
#pragma once

#include "Texture/TextureHeaderSource.h"

namespace mc {

class TGameData;

class TTextureHeaderLookup : public ITextureHeaderSource {
public:
    explicit TTextureHeaderLookup(const TGameData& game) : game_(game) {}
    // Nothing when the texture is not found or its header cannot be read.
    std::optional<TTextureHeaderInfo> Header(const std::string& gamePath) override;

private:
    const TGameData& game_;
};

}  // namespace mc
