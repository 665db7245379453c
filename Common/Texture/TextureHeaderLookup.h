// The texture headers that the conversion of editable models asks for, read
// by name from the game archives (header only: type and average colour).
#pragma once

#include "Model/TextureHeaders.h"

namespace mc {

class TTextureHeaderLookup : public ITextureHeaderSource {
public:
    // Nothing when the texture is not found or its header cannot be read.
    std::optional<TTextureHeaderInfo> Header(const std::string& gamePath) override;
};

// Installs one program-wide TTextureHeaderLookup as the model conversion's
// header source.
void InstallTextureHeaderLookup();

}  // namespace mc
