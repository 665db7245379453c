// Texture loading must refuse any corrupted input cleanly: in display mode,
// in device mode (with and without DXT1 support), as stored (with the exact
// pictures made of it) and for the header alone.
// Whatever loads must hold levels of the sizes its pictures claim.
#include <cstdint>
#include <cstdlib>

#include "Core/Stream.h"
#include "Texture/DeviceCaps.h"
#include "Texture/Texture.h"
#include "Texture/TextureLoadOptions.h"
#include "Texture/TextureRgba.h"
#include "Texture/TextureTypes.h"

namespace {

void Check(const mc::TTexture& t, uint32_t options)
{
    for (int i = 0; i < t.LevelCount(); ++i) {
        const mc::TMipMap& m = *t.Level(i);
        if (m.Width < 0 || m.Height < 0) std::abort();
        if (options & mc::TextureLoad::AsStored) {
            mc::TRgbaImage image;
            if (mc::DecodeLevelToRgba(t, m, image) && (image.Width() != m.Width || image.Height() != m.Height))
                std::abort();
            continue;
        }
        if (!(options & mc::TextureLoad::DeviceMode)) {
            if (m.ColorImage && (m.ColorImage->Width() != m.Width || m.ColorImage->Height() != m.Height)) std::abort();
            if (m.ColorImage && !m.ColorImage->Empty())
                (void)m.ColorImage->Pixel(m.Width - 1, m.Height - 1);
            continue;
        }
        const int bpp = mc::TextureBytesPerPixel(m.MipType);
        if (bpp && m.Data.size() != size_t(m.Width) * size_t(m.Height) * size_t(bpp)) std::abort();
        if (mc::IsPaletteTextureType(m.MipType) && m.Width > 0 && m.Height > 0)
            (void)t.PaletteColor(m, m.Height - 1, m.Width - 1);
    }
}

void LoadWith(const uint8_t* data, size_t size, uint32_t options)
{
    mc::TTexture t;
    mc::TMemoryReader in(data, size);
    try {
        if (t.Load(in, options)) Check(t, options);
    } catch (const mc::EFileError&) {
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    LoadWith(data, size, mc::TextureLoad::Display);
    LoadWith(data, size, mc::TextureLoad::HeaderOnly);
    LoadWith(data, size, mc::TextureLoad::AsStored);
    LoadWith(data, size, mc::TextureLoad::RowsAsStored | mc::TextureLoad::SizeClass4 | 8);
    mc::SetDeviceCapabilities(0);
    LoadWith(data, size, mc::TextureLoad::Device);
    mc::SetDeviceCapabilities(mc::DeviceCap::DXT1);
    LoadWith(data, size, mc::TextureLoad::Device);
    return 0;
}
