#include "Core/AppServices.h"
#include "Core/Strings.h"
#include "Model/Conversion.h"
#include "Model/Model.h"
#include "Texture/TextureHeaderSource.h"
#include "Texture/TextureTypes.h"

namespace mc {

namespace {

bool IsCompactAlphaType(uint16_t type)
{
    return type == kTextureTypeARGB1555 || type == kTextureTypeARGB1555Alt || type == kTextureTypeDXT1;
}

std::optional<TTextureHeaderInfo> FindHeader(ITextureHeaderSource* source, const std::string& name)
{
    if (!source) return std::nullopt;
    // A lookup can fail once while the texture is being brought in: ask twice.
    if (auto header = source->Header(name)) return header;
    return source->Header(name);
}

// The face flags of one texture, from its header.
uint32_t HeaderFlags(ITextureHeaderSource* source, const std::string& name)
{
    const auto header = FindHeader(source, name);
    if (!header) {
        AddLog(Format("Texture \"%s\" not loaded. Cannot create right texture flags.", name.c_str()));
        return 0;
    }
    if (!header->Transparent) return 0;
    return FaceFlags::Transparent | (IsCompactAlphaType(header->Type) ? FaceFlags::AlphaCompact : FaceFlags::AlphaOther);
}

}  // namespace

std::vector<uint32_t> TextureFaceFlags(const TLOD& lod, TTextureFlagCache* known)
{
    std::vector<uint32_t> flags(lod.Textures.size(), 0);
    for (size_t i = 0; i < lod.Textures.size(); ++i) {
        const std::string& name = lod.Textures[i].Name;
        if (name.empty()) continue;
        if (known) {
            const auto it = known->Flags.find(name);
            if (it != known->Flags.end()) {
                flags[i] = it->second;
                continue;
            }
        }
        flags[i] = HeaderFlags(known ? known->Headers : nullptr, name);
        if (known) known->Flags.emplace(name, flags[i]);
    }
    return flags;
}

}  // namespace mc
